#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A fresh copy of the packed demo game with the input script; empty when the
// demo game is not packed.
fs::path DemoWithScript(const std::string& name, const std::string& script) {
    const fs::path packed = ZELK_DEMO_BUILD_DIR;
    if (!fs::exists(packed / "scenario.quor")) return {};
    const fs::path folder = fs::temp_directory_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder / "savedata");
    for (const auto& entry : fs::directory_iterator(packed))
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    FILE* file = std::fopen((folder / "input.txt").c_str(), "w");
    std::fputs(script.c_str(), file);
    std::fclose(file);
    return folder;
}

std::string Command(const fs::path& folder) {
    return "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS= ZELK_INPUT='" +
           (folder / "input.txt").string() + "' exec " ZELK_BIN_DIR "/zelk '" + folder.string() +
           "' 2>/dev/null";
}

double Milliseconds(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// From the process start to the logo on the screen (the title's first
// frame), and on to the menu after a right click skips the logo (the menu's
// fade included).
void BM_StartUpToTitle(benchmark::State& state) {
    const fs::path folder =
        DemoWithScript("zelk-title-bench", "idle\nstate\nrclick 320 240\nidle\nstate\nquit\n");
    if (folder.empty()) {
        state.SkipWithError("the demo game is not packed");
        return;
    }
    double logo = 0, menu = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        FILE* player = popen(Command(folder).c_str(), "r");
        char line[4096];
        int states = 0;
        while (std::fgets(line, sizeof line, player)) {
            if (std::strncmp(line, "state ", 6) != 0) continue;
            ++states;
            if (states == 1) logo += Milliseconds(start);
            if (states == 2) menu += Milliseconds(start);
        }
        pclose(player);
    }
    state.counters["to_logo_ms"] = logo / static_cast<double>(state.iterations());
    state.counters["to_menu_ms"] = menu / static_cast<double>(state.iterations());
    fs::remove_all(folder);
}
BENCHMARK(BM_StartUpToTitle)->Iterations(5)->Unit(benchmark::kMillisecond);

// User and system time of a running process, from /proc.
double ProcessCpuSeconds(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return 0;
    char text[2048] = {};
    const size_t got = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[got] = '\0';
    const char* rest = std::strrchr(text, ')');
    if (!rest) return 0;
    unsigned long utime = 0, stime = 0;
    std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime);
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A page typed and waiting for the reader (cursor blinking, music playing):
// the player's CPU over 10 s of wall time.
void BM_ReadingCpu(benchmark::State& state) {
    const fs::path folder = DemoWithScript(
        "zelk-reading-bench",
        "idle\nrclick 320 240\nidle\nclick 150 254\nidle\nclick 320 240\nidle\nclick 320 240\n"
        "idle\n");
    if (folder.empty()) {
        state.SkipWithError("the demo game is not packed");
        return;
    }
    double share = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            setenv("ZELK_INPUT", (folder / "input.txt").c_str(), 1);
            setenv("ZELK_ANSWERS", "", 1);
            if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
                _exit(127);
            execl(ZELK_BIN_DIR "/zelk", "zelk", folder.c_str(), nullptr);
            _exit(127);
        }
        // The script reaches the second page within a few seconds.
        usleep(8000 * 1000);
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
BENCHMARK(BM_ReadingCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
