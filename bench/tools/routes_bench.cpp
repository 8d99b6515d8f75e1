// How long `zelk-tool routes` takes: on the demo game, and on a large game
// of 200 scenarios with 1,000 choices (five a scenario). Each choice sets a
// variable that the next scene reads, so roads part and meet again at every
// scene; the last scenario rolls the staff and marks a shared flag, which
// opens a secret choice in the first scene: the whole game is played twice.
// The whole program is timed, start to exit, as an author runs it. The game
// stays in $TMPDIR/zelk-routes-bench for timing the command by hand.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/text.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

constexpr int kScenarios = 200;
constexpr int kChoicesPerScenario = 5;
constexpr int kPictures = 60;
constexpr int kSounds = 40;

void WriteText(const fs::path& path, const std::string& utf8) {
    fs::create_directories(path.parent_path());
    WriteTextFile(path.string(), ReplaceText(utf8, "\n", "\r\n"));
}

// Where the road goes after the scene's choice.
std::string Next(int scenario, int scene) {
    if (scene + 1 < kChoicesPerScenario)
        return "s" + std::to_string(scenario) + ".c" + std::to_string(scene + 1);
    if (scenario + 1 < kScenarios) return "s" + std::to_string(scenario + 1) + ".c0";
    return "s" + std::to_string(scenario) + ".fin";
}

// One scene: a transition, three pages (one that depends on the last
// choice), a choice of two (three once the secret is open) and the two
// short branches it leads to.
std::string Scene(int scenario, int scene) {
    const std::string s = "s" + std::to_string(scenario) + ".";
    const std::string n = std::to_string(scene);
    std::string text = "c" + n + ":\n" + "wto bg" + std::to_string((scenario + scene) % kPictures) +
                       "\n" + "bgm bgm" + std::to_string(scene % kSounds) + "\n" + "cg st_a01_c" +
                       std::to_string(scene % 10) + ", center\n" + "\\v(a01_" +
                       std::to_string(scene % kSounds) + ")【ユキ】「おはよう。\n" +
                       "\\n今日もいい天気ですね」\\b\n" + "そう言って、彼女は窓の外を見た。\n" +
                       "\\n空はどこまでも青く、雲ひとつない。\\b\n" + "cgh\n" + "item 海へ行く, " +
                       s + "a" + n + "\n" + "item 町に残る, " + s + "b" + n + "\n";
    // The first scene follows no choice; the others tell of the last one.
    if (scenario > 0 || scene > 0) {
        text.insert(text.find("cgh\n"),
                    "if route == 1\n海の話をした。\n\\b\nelseif route == 2\n町の話をした。\n\\b\n"
                    "endif\n");
    }
    if (scenario == 0 && scene == 0) text += "if secret == 1\nitem 秘密の道, " + s + "a0\nendif\n";
    text += "select\n";
    text += "a" + n + ":\nlet route, 1\nse se" + std::to_string(scene % kSounds) +
            "\n波の音がした。\n\\b\ngo " + Next(scenario, scene) + "\n";
    text +=
        "b" + n + ":\nlet route, 2\n町の灯りがともる。\n\\b\ngo " + Next(scenario, scene) + "\n";
    return text;
}

fs::path MakeGame() {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path game = fs::path(tmp && *tmp ? tmp : "/tmp") / "zelk-routes-bench";
    if (fs::exists(game / "scenario" / ("s" + std::to_string(kScenarios - 1) + ".txt"))) {
        return game;
    }
    fs::remove_all(game);
    std::string systemInfo =
        "[Game]\nTitle=bench\nEntryPoint=s0.c0\n[TextBlock]\nCharCount=22\nLineCount=3\n"
        "[const]\ncenter=320\n[var]\nroute=0\n[shared]\nsecret=0\n[Instruction]\n";
    for (const char* line : {"put\t*", "bgm\t%\t%", "cg\t*\t%\t%\t%\t%", "cgh\t%", "se\t%",
                             "if\t*\t%\t%", "let\t*\t*", "item\t*\t*", "select", "wto\t*", "go\t*",
                             "nop\t%\t%", "restarttitle", "playending\t*\t%\t%\t%"}) {
        systemInfo += std::string(line) + "\n";
    }
    WriteText(game / "SystemInfo.ini", systemInfo);
    fs::create_directories(game / "image");
    for (int i = 0; i < kPictures; ++i)
        std::ofstream(game / "image" / ("bg" + std::to_string(i) + ".png")) << "x";
    for (int i = 0; i < 10; ++i)
        std::ofstream(game / "image" / ("st_a01_c" + std::to_string(i) + ".png")) << "x";
    fs::create_directories(game / "sound");
    for (int i = 0; i < kSounds; ++i) {
        for (const std::string prefix : {"bgm", "se", "a01_"})
            std::ofstream(game / "sound" / (prefix + std::to_string(i) + ".ogg")) << "x";
    }
    for (int s = 0; s < kScenarios; ++s) {
        std::string text;
        for (int scene = 0; scene < kChoicesPerScenario; ++scene)
            text += Scene(s, scene);
        if (s + 1 == kScenarios) {
            text += "fin:\nlet secret, 1\nplayending 30000, bg0, bg1\nrestarttitle\n";
        }
        WriteText(game / "scenario" / ("s" + std::to_string(s) + ".txt"), text);
    }
    return game;
}

void Run(benchmark::State& state, const std::string& game) {
    const std::string command = ZELK_BIN_DIR "/zelk-tool routes '" + game + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("routes found errors");
    }
}

void BM_RoutesDemo(benchmark::State& state) {
    Run(state, ZELK_SOURCE_DIR "/games/demo");
}
BENCHMARK(BM_RoutesDemo)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RoutesLargeGame(benchmark::State& state) {
    const fs::path game = MakeGame();
    Run(state, game.string());
    state.counters["choices/s"] = benchmark::Counter(
        double(kScenarios) * kChoicesPerScenario * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RoutesLargeGame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A game whose roads never meet: twenty choices in a row, each setting a
// flag of its own that the last scene reads, make a million roads. The
// state limit stops it; this is how long an author waits for that.
fs::path MakeFlagsGame() {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path game = fs::path(tmp && *tmp ? tmp : "/tmp") / "zelk-routes-flags-bench";
    fs::remove_all(game);
    std::string systemInfo =
        "[Game]\nTitle=flags\nEntryPoint=main.start\n[TextBlock]\nCharCount=22\nLineCount=3\n"
        "[var]\n";
    std::string text = "start:\nda\n";
    std::string last = "last:\n";
    for (int i = 0; i < 20; ++i) {
        const std::string n = std::to_string(i);
        systemInfo += "f" + n + "=0\n";
        text += "item 右, main.r" + n + "\nitem 左, main.l" + n + "\nselect\nr" + n + ":\nlet f" +
                n + ", 1\nl" + n + ":\nページ。\n\\b\n";
        last += "if f" + n + " == 1\nnop\nendif\n";
    }
    systemInfo +=
        "[Instruction]\nput\t*\nif\t*\t%\t%\nlet\t*\t*\nitem\t*\t*\nselect\nnop\t%\t%\n"
        "da\nrestarttitle\n";
    WriteText(game / "SystemInfo.ini", systemInfo);
    WriteText(game / "scenario" / "main.txt", text + last + "restarttitle\n");
    return game;
}

void BM_RoutesUntilTheStateLimit(benchmark::State& state) {
    Run(state, MakeFlagsGame().string());
}
BENCHMARK(BM_RoutesUntilTheStateLimit)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace zelk

BENCHMARK_MAIN();
