// How long `zelk-tool check` takes on a large game: 200 scenarios of 500
// lines (100,000 lines), with story text, scene changes, music, voices,
// choices, jumps between scenarios and if-blocks, and the pictures and
// sounds they name. The whole program is timed, start to exit, as an author
// runs it. The game stays in $TMPDIR/zelk-check-bench for timing the
// command by hand.
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
constexpr int kLinesPerScenario = 500;
constexpr int kPictures = 60;
constexpr int kSounds = 40;

// A game's text: CP932 with CR LF line ends.
void WriteText(const fs::path& path, const std::string& utf8) {
    fs::create_directories(path.parent_path());
    WriteTextFile(path.string(), ReplaceText(utf8, "\n", "\r\n"));
}

// One scene of 25 lines; twenty make a scenario.
std::string Scene(int scenario, int scene) {
    const std::string n = std::to_string(scene);
    const std::string next = "s" + std::to_string((scenario + 1) % kScenarios) + ".scene0";
    return "scene" + n + ":\n" +                                                       // 1
           "bg bg" + std::to_string((scenario + scene) % kPictures) + "\n" +           // 2
           "bgm bgm" + std::to_string(scene % kSounds) + "\n" +                        // 3
           "cg st_a01_c" + std::to_string(scene % 10) + ", center\n" +                 // 4
           "\\v(a01_" + std::to_string(scene % kSounds) + ")【ユキ】「おはよう。\n" +  // 5
           "\\n今日もいい天気ですね」\\b\n" +                                          // 6
           "そう言って、彼女は窓の外を見た。\n" +                                      // 7
           "\\n空はどこまでも青く、雲ひとつない。\\b\n" +                              // 8
           "if route == 1\n" +                                                         // 9
           "let count, " + n + "\n" +                                                  // 10
           "elseif route == 2\n" +                                                     // 11
           "add count, count, 2\n" +                                                   // 12
           "else\n" +                                                                  // 13
           "up count\n" +                                                              // 14
           "endif\n" +                                                                 // 15
           "se se" + std::to_string(scene % kSounds) + "\n" +                          // 16
           "// a remark of the author's\n" +                                           // 17
           "item 海へ行く, s" + std::to_string(scenario) + ".scene" + n + "\n" +       // 18
           "item 町に残る, " + next + "\n" +                                           // 19
           "select\n" +                                                                // 20
           "wto bg" + std::to_string(scene % kPictures) + "\n" +                       // 21
           "町の灯りが、ひとつずつともっていく。\n" +                                  // 22
           "\\b\n" +                                                                   // 23
           "call " + next + "\n" +                                                     // 24
           "\n";                                                                       // 25
}

fs::path MakeGame() {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path game = fs::path(tmp && *tmp ? tmp : "/tmp") / "zelk-check-bench";
    if (fs::exists(game / "scenario" / ("s" + std::to_string(kScenarios - 1) + ".txt"))) {
        return game;
    }
    fs::remove_all(game);
    std::string systemInfo =
        "[Game]\nTitle=bench\nEntryPoint=s0.scene0\n[TextBlock]\nCharCount=22\nLineCount=3\n"
        "[Nameplate]\nCount=2\nItem:1=【ユキ】\n[const]\ncenter=320\n[var]\nroute=0\n"
        "count=0\n[Instruction]\n";
    for (const char* line : {"put\t*", "bg\t*\t%\t%", "bgm\t%\t%", "cg\t*\t%\t%\t%\t%", "se\t%",
                             "if\t*\t%\t%", "let\t*\t*", "add\t*\t*\t*", "up\t*\t%", "item\t*\t*",
                             "select", "wto\t*", "call\t*", "go\t*", "nop\t%\t%", "return"}) {
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
        for (int scene = 0; scene < kLinesPerScenario / 25; ++scene)
            text += Scene(s, scene);
        WriteText(game / "scenario" / ("s" + std::to_string(s) + ".txt"), text);
    }
    return game;
}

void BM_CheckLargeGame(benchmark::State& state) {
    const fs::path game = MakeGame();
    const std::string command = ZELK_BIN_DIR "/zelk-tool check '" + game.string() + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("the check found errors");
    }
    state.counters["lines/s"] = benchmark::Counter(
        double(kScenarios) * kLinesPerScenario * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckLargeGame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zelk

BENCHMARK_MAIN();
