#include <SDL.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/process.h"
#include "drivers/event_rect.h"
#include "platform/event_pump.h"
#include "platform/picture_scaler.h"
#include "platform/screen_surface.h"
#include "platform/screen_window.h"
#include "view/game_view.h"
#include "view/player_root.h"

namespace {

namespace fs = std::filesystem;
using namespace zelk;

void Paint(ScreenSurface& surface, const ScreenRect& rect, std::uint8_t value) {
    std::lock_guard<std::mutex> lock(surface.Mutex());
    for (int y = rect.top; y < rect.bottom; ++y) {
        std::memset(surface.Pixels() + static_cast<size_t>(y) * surface.Stride() + rect.left * 3,
                    value, static_cast<size_t>(rect.right - rect.left) * 3);
    }
}

void PresentFrame(benchmark::State& state, ScreenRect rect) {
    ScreenWindow window("bench", 640, 480);
    ScreenSurface surface(640, 480);
    window.Show(true);
    window.Upload(surface);
    std::uint8_t value = 0;
    for (auto _ : state) {
        Paint(surface, rect, ++value);
        surface.Presented(rect);
        window.Upload(surface);
        window.Render({});
    }
}

void BM_PresentWholeFrame(benchmark::State& state) {
    PresentFrame(state, {0, 0, 640, 480});
}
BENCHMARK(BM_PresentWholeFrame)->Unit(benchmark::kMillisecond);

void BM_PresentSmallRectangle(benchmark::State& state) {
    PresentFrame(state, {300, 200, 332, 232});
}
BENCHMARK(BM_PresentSmallRectangle)->Unit(benchmark::kMillisecond);

// Full screen on a 4K display in software: a whole frame of the game's
// picture scaled (a cross-fade's frame) and one glyph's rectangle with its
// filter margin (typing), for a 640 x 480 game (4.5 times, smooth) and a
// 1280 x 720 one (3 times, sharp).
void ScaleToFourK(benchmark::State& state, int width, int height, SDL_Rect changed) {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> target(
        SDL_CreateRGBSurfaceWithFormat(0, 3840, 2160, 32, SDL_PIXELFORMAT_RGB888), SDL_FreeSurface);
    const PictureSource source{pixels.data(), width, height, width * 3};
    const SDL_Rect place = LetterboxRect(3840, 2160, 0, width, height);
    const SDL_Rect reach = PictureScaler::Reach(source, place, changed);
    PictureScaler scaler;
    for (auto _ : state)
        scaler.Draw(source, *target, place, reach);
    state.counters["pixels"] = static_cast<double>(reach.w) * reach.h;
}

void BM_ScaleWholeFrameTo4K(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    ScaleToFourK(state, width, height, SDL_Rect{0, 0, width, height});
}
BENCHMARK(BM_ScaleWholeFrameTo4K)
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond);

void BM_ScaleGlyphTo4K(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    ScaleToFourK(state, width, height, SDL_Rect{width / 2, height * 3 / 4, 23, 23});
}
BENCHMARK(BM_ScaleGlyphTo4K)->Args({640, 480})->Args({1280, 720})->Unit(benchmark::kMicrosecond);

// A mode that answers a click by changing the screen, as the engine would.
class ClickRoot : public PlayerRoot {
public:
    Configuration* Cfg() const override { return nullptr; }
    clsGameView* GameView() const override { return view; }
    clsInterpreter* Intprt() const override { return nullptr; }
    clsLumoDriver* Lumo() const override { return nullptr; }
    clsWavoDriver* Wavo() const override { return nullptr; }
    clsSaveData* SD() const override { return nullptr; }
    zelk::SharedData* SharedData() const override { return nullptr; }
    INIFile* SystemInfo() const override { return nullptr; }
    INIFile* GamemodeInfo() const override { return nullptr; }
    INIFile* OmakemodeInfo() const override { return nullptr; }
    long VellMode() const override { return 2; }
    void ChangeMode(long, long, std::any) override {}
    void ModeScreenCmd(long, long, clsEventRect*) override {
        const ScreenRect rect{0, 400, 640, 480};
        Paint(*view->pic(), rect, ++value);
        view->pic()->Presented(rect);
    }
    void ModeScreenModeChanged() override {}
    void ModeLogStart() override {}
    bool IsSkipMode() const override { return false; }
    void IsSkipMode(bool) override {}
    void MakeAutoClickTimer(long, long, long) override {}
    long CurrentAutoClickTimer() const override { return 0; }
    void SDMakeData() override {}
    void SDRestoreData(bool) override {}
    void QuickSave(bool) override {}
    void QuickLoad(bool) override {}
    bool PlayMovie(const std::string&, long) override { return false; }
    long ThumbWidth() const override { return 0; }
    long ThumbHeight() const override { return 0; }
    long Msg(const std::string&, long) override { return 1; }
    void Log(const std::string&) override {}
    void RestartTitle() override {}
    void CloseVell() override {}

    clsGameView* view = nullptr;
    std::uint8_t value = 0;
};

void BM_ClickToPresentedFrame(benchmark::State& state) {
    ClickRoot root;
    clsGameView view(root);
    root.view = &view;
    view.ScreenMode(kScreenWindow);
    view.Visible(true);
    view.EventEnabled(true);
    EventPump& pump = EventPump::Instance();
    pump.SetEventHandler([&view](const SDL_Event& event) { view.HandleEvent(event); });
    pump.SetIdleHandler([&view] { view.Paint(); });
    pump.ProcessPendingEvents();
    for (auto _ : state) {
        SDL_Event click{};
        click.type = SDL_MOUSEBUTTONDOWN;
        click.button.button = SDL_BUTTON_LEFT;
        click.button.clicks = 1;
        click.button.x = 320;
        click.button.y = 240;
        SDL_PushEvent(&click);
        pump.ProcessPendingEvents();
    }
    pump.SetIdleHandler({});
    pump.SetEventHandler({});
}
BENCHMARK(BM_ClickToPresentedFrame)->Unit(benchmark::kMillisecond);

// User and system time of a running process, from /proc.
double ProcessCpuSeconds(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return 0;
    char text[2048] = {};
    const size_t got = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[got] = '\0';
    // Fields after the command name, which is in parentheses.
    const char* rest = std::strrchr(text, ')');
    if (!rest) return 0;
    unsigned long utime = 0, stime = 0;
    std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime);
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The whole player on the packed demo game, left alone at its first screen:
// the child's CPU time over 10 s of wall time. Run it under xvfb-run.
void BM_PlayerIdleCpu(benchmark::State& state) {
    const fs::path packed = ZELK_DEMO_BUILD_DIR;
    if (!fs::exists(packed / "scenario.quor")) {
        state.SkipWithError("the demo game is not packed");
        return;
    }
    const fs::path folder = fs::temp_directory_path() / "zelk-idle-bench";
    fs::remove_all(folder);
    fs::create_directories(folder / "savedata");
    for (const auto& entry : fs::directory_iterator(packed)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    }
    const fs::path script = folder / "input.txt";
    {
        FILE* file = std::fopen(script.c_str(), "w");
        std::fputs("idle\n", file);
        std::fclose(file);
    }
    double share = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            setenv("ZELK_INPUT", script.c_str(), 1);
            // On a display (xvfb-run) the player sleeps in the window system's
            // wait; SDL's dummy driver polls instead, which is not the
            // player's cost.
            if (std::getenv("DISPLAY")) unsetenv("SDL_VIDEODRIVER");
            setenv("ZELK_ANSWERS", "", 1);
            if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
                _exit(127);
            execl(ZELK_BIN_DIR "/zelk", "zelk", folder.c_str(), nullptr);
            _exit(127);
        }
        // Start-up is not idling: measure the ten seconds after it.
        usleep(4000 * 1000);
        const double before = ProcessCpuSeconds(child);
        usleep(10000 * 1000);
        const double after = ProcessCpuSeconds(child);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        share = (after - before) / 10.0;
    }
    state.counters["cpu_percent_of_a_core"] = share * 100;
    fs::remove_all(folder);
}
BENCHMARK(BM_PlayerIdleCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    Process().ScreenSizeX = 640;
    Process().ScreenSizeY = 480;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
