// The player as a reader feels it, on the packed demo game driven through
// its scripted input: how soon the first picture and the first page come,
// how much of a core it takes on each screen, how fast skip mode reads, and
// how much memory it holds over many play-throughs.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "modes/play_support.h"
#include "window_watch.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using zelk::testing::EventRect;
using zelk::testing::Field;
using zelk::testing::Reader;

double MillisecondsSince(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// A fresh copy of the packed demo game; empty when it is not packed.
fs::path Demo(const std::string& name) {
    const fs::path packed = fs::path(ZELK_BIN_DIR) / ".." / "games" / "demo";
    if (!fs::exists(packed / "scenario.quor")) return {};
    const fs::path folder = fs::temp_directory_path() / ("zelk-bench-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder / "savedata");
    for (const auto& entry : fs::directory_iterator(packed))
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    return folder;
}

// The player's environment: SDL's dummy drivers unless ZELK_BENCH_VIDEO
// names a video driver (x11 under Xvfb measures a real window's costs).
struct Environment {
    explicit Environment(fs::path f) : folder(std::move(f)) {
        if (const char* video = std::getenv("ZELK_BENCH_VIDEO"))
            variables.emplace_back("SDL_VIDEODRIVER", video);
    }
    fs::path folder;
    std::vector<std::pair<std::string, std::string>> variables;
};

class Player : public Reader {
public:
    explicit Player(const Environment& e) : Reader(e.folder, e.variables) {}
};

// What /proc says of the player: CPU seconds used so far and resident
// memory in MiB.
std::string Stat(pid_t pid, const char* file) {
    return zelk::testing::ReadAll("/proc/" + std::to_string(pid) + "/" + file);
}

// The scheduler's own count, in nanoseconds: the clock ticks of "stat" are
// 10 ms, too coarse for a screen at rest.
double ThreadCpuSeconds(const fs::path& task) {
    const std::string text = zelk::testing::ReadAll(task / "schedstat");
    unsigned long long nanoseconds = 0;
    if (std::sscanf(text.c_str(), "%llu", &nanoseconds) != 1) return 0;
    return double(nanoseconds) / 1e9;
}

// The CPU seconds of the player's threads: all of them, and those of its
// own (without the software renderer's threads, which a GPU takes over).
struct CpuUse {
    double all = 0, own = 0;
};

CpuUse CpuSeconds(pid_t pid) {
    CpuUse use;
    std::error_code error;
    for (const auto& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        const double seconds = ThreadCpuSeconds(task.path());
        use.all += seconds;
        if (!zelk::testing::ReadAll(task.path() / "comm").starts_with("llvmpipe"))
            use.own += seconds;
    }
    return use;
}

double ResidentMiB(pid_t pid) {
    const std::string text = Stat(pid, "status");
    const size_t at = text.find("VmRSS:");
    return at == std::string::npos ? 0 : std::stod(text.substr(at + 6)) / 1024;
}

// The share of a core the player takes over `seconds` of real time while the
// reader does nothing, in percent, under `name` (and `name`_own for its own
// threads when a software renderer runs beside them).
void MeasureCpu(benchmark::State& state, const std::string& name, Reader& reader, int seconds) {
    const CpuUse before = CpuSeconds(reader.Pid());
    const Clock::time_point start = Clock::now();
    reader.Do("wait " + std::to_string(seconds * 1000));
    const double wall = MillisecondsSince(start) / 1000;
    const CpuUse after = CpuSeconds(reader.Pid());
    state.counters[name] = (after.all - before.all) / wall * 100;
    if (after.own != after.all)
        state.counters[name + "_own"] = (after.own - before.own) / wall * 100;
}

void StartGame(Reader& reader) {
    reader.Click(reader.Rects("main_menu")[0]);
    reader.Do("click 320 240");  // the opening movie
    reader.Do("idle");
}

// Clicks every page, answers each choice with `choice` and each clickable
// area with its first, until the game mode ends; the pages clicked.
int ReadEveryPage(Reader& reader, size_t choice) {
    int pages = 0;
    for (int i = 0; i < 400 && reader.Get("mode") == "2"; ++i) {
        if (reader.Choose(choice)) continue;
        reader.Do("click 320 240");
        reader.Do("idle");
        ++pages;
    }
    return pages;
}

// Skips with the control key held through the story to the staff roll;
// the seconds it took.
double SkipToTheRoll(Reader& reader, size_t choice) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 200 && reader.Get("mode") == "2"; ++i) {
        if (reader.Choose(choice)) continue;
        reader.Do("hold ctrl 500");
    }
    return MillisecondsSince(start) / 1000;
}

void EndTheRoll(Reader& reader) {
    reader.Do("rclick 320 240");
    reader.AtTitle();
}

// From the process start to the window's event loop (the first command
// answered), to the logo's fade beginning, and to the logo fully shown. The
// fade cannot be cut short, so the player takes no command during it: its
// start is the last answer before that pause. The player's start timer
// alone is 600 ms of the way.
void BM_StartUp(benchmark::State& state) {
    const fs::path folder = Demo("start-up");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    double loop = 0, fade = 0, logo = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Player reader{Environment(folder)};
        double first = -1, previous = 0, fadeStart = 0, longest = 0;
        for (int i = 0; i < 100000; ++i) {
            const std::string mode = reader.Get("mode");
            const double now = MillisecondsSince(start);
            if (first < 0) {
                first = now;
            } else if (now - previous > longest) {
                longest = now - previous;
                fadeStart = previous;
            }
            previous = now;
            if (mode == "1" || mode.empty()) break;
        }
        loop += first;
        fade += fadeStart;
        logo += previous;
        reader.Quit();
    }
    const double n = double(state.iterations());
    state.counters["to_event_loop_ms"] = loop / n;
    state.counters["to_logo_fade_start_ms"] = fade / n;
    state.counters["to_logo_shown_ms"] = logo / n;
    fs::remove_all(folder);
}
BENCHMARK(BM_StartUp)->Iterations(5)->Unit(benchmark::kMillisecond);

// From the title's start button to the opening movie's first frame, and from
// the click that ends the movie to the first page's text.
void BM_NewGameToFirstPage(benchmark::State& state) {
    const fs::path folder = Demo("first-page");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    double movie = 0, page = 0;
    for (auto _ : state) {
        Player reader{Environment(folder)};
        reader.AtTitle();
        const EventRect start = reader.Rects("main_menu")[0];
        Clock::time_point from = Clock::now();
        reader.Do("click " + start.Centre());
        for (int i = 0; i < 5000 && reader.Get("movie") != "1"; ++i) {
        }
        movie += MillisecondsSince(from);
        reader.Do("wait 500");
        from = Clock::now();
        reader.Do("click 320 240");
        for (int i = 0; i < 5000 && reader.Get("text").empty(); ++i) {
        }
        page += MillisecondsSince(from);
        reader.Quit();
    }
    const double n = double(state.iterations());
    state.counters["start_to_movie_ms"] = movie / n;
    state.counters["movie_click_to_first_page_ms"] = page / n;
    fs::remove_all(folder);
}
BENCHMARK(BM_NewGameToFirstPage)->Iterations(3)->Unit(benchmark::kMillisecond);

// The share of a core at rest on the title menu and while a page waits for
// the reader (its cursor blinking).
void BM_CpuAtRestAndReading(benchmark::State& state) {
    const fs::path folder = Demo("cpu");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    for (auto _ : state) {
        Player reader{Environment(folder)};
        reader.AtTitle();
        reader.Do("wait 2000");  // the menu's fade and the music's start
        MeasureCpu(state, "title_cpu_percent", reader, 10);
        StartGame(reader);
        reader.Do("click 320 240");
        reader.Do("idle");
        MeasureCpu(state, "reading_cpu_percent", reader, 10);
        reader.Quit();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_CpuAtRestAndReading)->Iterations(1)->Unit(benchmark::kSecond);

// At rest where a reader rests longest: the logo once it is fully shown (on
// a copy whose logo waits for a click instead of its 3 s), and the first
// page waiting for its click with its cursor blinking and its music
// playing; the resident memory there. Run it under Xvfb with
// ZELK_BENCH_VIDEO=x11 for what a real window costs.
void BM_RestingScreens(benchmark::State& state) {
    const fs::path folder = Demo("resting");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    std::string title =
        zelk::testing::ReadAll(fs::path(ZELK_SOURCE_DIR) / "games" / "demo" / "title_mode.ini");
    const size_t at = title.find("AutoclickTime=3000");
    if (at == std::string::npos) return state.SkipWithError("the logo's time is not 3000");
    title.replace(at, 18, "AutoclickTime=0");
    if (FILE* file = std::fopen((folder / "title_mode.ini").c_str(), "wb")) {
        std::fwrite(title.data(), 1, title.size(), file);
        std::fclose(file);
    }
    for (auto _ : state) {
        Player reader{Environment(folder)};
        // The logo's fade takes no command; the first answer after it is
        // in the title mode.
        for (int i = 0; i < 1000 && reader.Get("mode") != "1"; ++i) {
        }
        reader.Do("wait 1000");
        MeasureCpu(state, "logo_cpu_percent", reader, 5);
        reader.Do("click 320 240");
        reader.AtTitle();
        StartGame(reader);
        reader.Do("wait 1500");  // the page's text is typed and its cursor blinks
        MeasureCpu(state, "page_cpu_percent", reader, 10);
        state.counters["page_rss_mib"] = ResidentMiB(reader.Pid());
        state.counters["page_music_playing"] = reader.Get("bgm") != "-";
        reader.Quit();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_RestingScreens)->Iterations(1)->Unit(benchmark::kSecond);

// A whole play page by page, the staff roll and the extras, then ten
// play-throughs in skip mode: the CPU on each screen, skip mode's pages per
// second, and the resident memory after each play.
void BM_PlayThroughs(benchmark::State& state) {
    const fs::path folder = Demo("plays");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    for (auto _ : state) {
        Player reader{Environment(folder)};
        reader.AtTitle();
        state.counters["title_rss_mib"] = ResidentMiB(reader.Pid());

        StartGame(reader);
        const int pages = ReadEveryPage(reader, 0);
        state.counters["pages_a"] = pages;
        reader.Do("wait 1000");
        MeasureCpu(state, "roll_cpu_percent", reader, 10);
        EndTheRoll(reader);
        state.counters["after_play_rss_mib"] = ResidentMiB(reader.Pid());

        reader.Click(reader.Rects("main_menu")[3]);
        reader.Do("wait 1000");
        MeasureCpu(state, "gallery_cpu_percent", reader, 5);
        reader.Click(reader.Rects("mode")[1]);
        reader.Do("wait 1000");
        MeasureCpu(state, "replay_cpu_percent", reader, 5);
        reader.Click(reader.Rects("mode")[2]);
        reader.Click(reader.Rects("panel")[1]);
        reader.Do("wait 1000");
        MeasureCpu(state, "music_cpu_percent", reader, 5);
        reader.Click(reader.Rects("ret")[0]);
        reader.AtTitle();

        std::vector<double> rss;
        double skipSeconds = 0;
        for (int play = 0; play < 10; ++play) {
            StartGame(reader);
            const double seconds = SkipToTheRoll(reader, 0);
            if (play == 0) skipSeconds = seconds;
            EndTheRoll(reader);
            rss.push_back(ResidentMiB(reader.Pid()));
        }
        state.counters["skip_pages_per_s"] = pages / skipSeconds;
        state.counters["skip_play_s"] = skipSeconds;
        state.counters["rss_after_1st_skip_mib"] = rss.front();
        state.counters["rss_after_10th_skip_mib"] = rss.back();
        state.counters["rss_peak_mib"] = *std::max_element(rss.begin(), rss.end());
        reader.Quit();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_PlayThroughs)->Iterations(1)->Unit(benchmark::kSecond);

// [Full screen] ------------------------------------------------------------

// The display named by ZELK_BENCH_DISPLAY ("3840x2160"); false when it is not
// named or not what the video driver shows.
bool BenchDisplay(int& width, int& height, std::string& problem) {
    const char* named = std::getenv("ZELK_BENCH_DISPLAY");
    if (!named || std::sscanf(named, "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        problem = "name a display as ZELK_BENCH_DISPLAY=WIDTHxHEIGHT";
        return false;
    }
    if (const char* video = std::getenv("ZELK_BENCH_VIDEO")) setenv("SDL_VIDEODRIVER", video, 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        problem = std::string("no video: ") + SDL_GetError();
        return false;
    }
    SDL_DisplayMode desktop{};
    const bool known = SDL_GetDesktopDisplayMode(0, &desktop) == 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!known || desktop.w != width || desktop.h != height) {
        problem = "the display is " + std::to_string(desktop.w) + "x" + std::to_string(desktop.h) +
                  ": run under xvfb-run -s \"-screen 0 " + named +
                  "x24\" with ZELK_BENCH_VIDEO=x11";
        return false;
    }
    return true;
}

struct PageCost {
    double cpuMs = 0, ownCpuMs = 0, mainCpuMs = 0, wallMs = 0;
    int pages = 0;
};

// Reads up to `most` pages from the first one (each clicked and waited for
// until the player is idle): the CPU and real time per page.
PageCost ReadPagesTimed(Reader& reader, int most) {
    PageCost cost;
    // The main thread (where the picture is scaled) on its own.
    const fs::path main =
        "/proc/" + std::to_string(reader.Pid()) + "/task/" + std::to_string(reader.Pid());
    const double mainBefore = ThreadCpuSeconds(main);
    const CpuUse before = CpuSeconds(reader.Pid());
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < most * 4 && cost.pages < most && reader.Get("mode") == "2"; ++i) {
        if (reader.Choose(0)) continue;
        reader.Do("click 320 240");
        reader.Do("idle");
        ++cost.pages;
    }
    const CpuUse after = CpuSeconds(reader.Pid());
    const double n = std::max(cost.pages, 1);
    cost.wallMs = MillisecondsSince(start) / n;
    cost.cpuMs = (after.all - before.all) * 1000 / n;
    cost.ownCpuMs = (after.own - before.own) * 1000 / n;
    cost.mainCpuMs = (ThreadCpuSeconds(main) - mainBefore) * 1000 / n;
    return cost;
}

// The same first pages read in a window and full screen on the display
// named by ZELK_BENCH_DISPLAY: the CPU per page of each (all threads, and
// the player's own without a software GL's), their ratio, and each page's
// real time (a page that keeps its time takes as long full screen as in a
// window). ZELK_BENCH_PAGES sets how many pages (10).
void BM_FullScreenPages(benchmark::State& state) {
    int width = 0, height = 0;
    std::string problem;
    if (!BenchDisplay(width, height, problem)) return state.SkipWithError(problem.c_str());
    const fs::path folder = Demo("full-screen");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    const char* named = std::getenv("ZELK_BENCH_PAGES");
    const int pages = named ? std::max(1, std::atoi(named)) : 10;
    PageCost window, full;
    for (auto _ : state) {
        for (const bool fullScreen : {false, true}) {
            Player reader{Environment(folder)};
            reader.AtTitle();
            if (fullScreen) {
                reader.Do("menu screen!full");
                reader.Do("wait 1000");
                if (reader.Get("screen") != "0") {
                    reader.Quit();
                    return state.SkipWithError("the player did not go full screen");
                }
            }
            StartGame(reader);
            (fullScreen ? full : window) = ReadPagesTimed(reader, pages);
            reader.Quit();
        }
    }
    state.counters["display_w"] = width;
    state.counters["display_h"] = height;
    state.counters["pages"] = std::min(window.pages, full.pages);
    state.counters["window_cpu_ms_per_page"] = window.cpuMs;
    state.counters["full_cpu_ms_per_page"] = full.cpuMs;
    state.counters["full_over_window_cpu"] = window.cpuMs > 0 ? full.cpuMs / window.cpuMs : 0;
    if (full.ownCpuMs != full.cpuMs || window.ownCpuMs != window.cpuMs) {
        state.counters["window_own_cpu_ms_per_page"] = window.ownCpuMs;
        state.counters["full_own_cpu_ms_per_page"] = full.ownCpuMs;
    }
    state.counters["window_main_cpu_ms_per_page"] = window.mainCpuMs;
    state.counters["full_main_cpu_ms_per_page"] = full.mainCpuMs;
    state.counters["window_wall_ms_per_page"] = window.wallMs;
    state.counters["full_wall_ms_per_page"] = full.wallMs;
    fs::remove_all(folder);
}
BENCHMARK(BM_FullScreenPages)->Iterations(1)->Unit(benchmark::kSecond);

// [SECTION] Rest per screen
//
// What a still screen costs, thread by thread: the share of a core and the
// wake-ups a second (the scheduler's context switches) of every thread of
// the player, summed by thread name, over some seconds of the reader doing
// nothing. The logo waits for a click, the title has no music and the page
// is read from a copy without its sound archive, so that nothing plays: a
// program showing a still picture should then cost next to nothing. Run it
// under Xvfb with ZELK_BENCH_VIDEO=x11 for a real window's costs.

struct ThreadUse {
    double seconds = 0;
    unsigned long long switches = 0;
};

// Per thread name ("main" for the main thread).
std::map<std::string, ThreadUse> ThreadUses(pid_t pid) {
    std::map<std::string, ThreadUse> uses;
    std::error_code error;
    for (const auto& task :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::string name = zelk::testing::ReadAll(task.path() / "comm");
        while (!name.empty() && (name.back() == '\n' || name.back() == ' '))
            name.pop_back();
        if (task.path().filename() == std::to_string(pid)) name = "main";
        ThreadUse& use = uses[name];
        use.seconds += ThreadCpuSeconds(task.path());
        const std::string status = zelk::testing::ReadAll(task.path() / "status");
        for (const char* key : {"voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:"}) {
            const size_t at = status.find(key);
            if (at != std::string::npos)
                use.switches += std::stoull(status.substr(at + std::strlen(key)));
        }
    }
    return uses;
}

void MeasureRest(benchmark::State& state, const std::string& screen, Reader& reader, int seconds) {
    const auto before = ThreadUses(reader.Pid());
    const Clock::time_point start = Clock::now();
    reader.Do("wait " + std::to_string(seconds * 1000));
    const double wall = MillisecondsSince(start) / 1000;
    const auto after = ThreadUses(reader.Pid());
    double all = 0, wakes = 0;
    for (const auto& [name, use] : after) {
        const auto was = before.find(name);
        const ThreadUse old = was == before.end() ? ThreadUse{} : was->second;
        const double percent = (use.seconds - old.seconds) / wall * 100;
        const double perSecond = double(use.switches - old.switches) / wall;
        all += percent;
        wakes += perSecond;
        state.counters[screen + "_" + name + "_percent"] = percent;
        state.counters[screen + "_" + name + "_wakes_per_s"] = perSecond;
    }
    state.counters[screen + "_cpu_percent"] = all;
    state.counters[screen + "_wakes_per_s"] = wakes;
}

// A copy of the demo whose logo waits for a click and whose title is quiet.
fs::path QuietDemo(const std::string& name) {
    const fs::path folder = Demo(name);
    if (folder.empty()) return folder;
    std::string title =
        zelk::testing::ReadAll(fs::path(ZELK_SOURCE_DIR) / "games" / "demo" / "title_mode.ini");
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"AutoclickTime=3000", "AutoclickTime=0"},
          {"bgm=bgm_title", "bgm="}}) {
        const size_t at = title.find(from);
        if (at == std::string::npos) return {};
        title.replace(at, from.size(), to);
    }
    if (FILE* file = std::fopen((folder / "title_mode.ini").c_str(), "wb")) {
        std::fwrite(title.data(), 1, title.size(), file);
        std::fclose(file);
    }
    return folder;
}

void BM_RestLogoAndTitle(benchmark::State& state) {
    const fs::path folder = QuietDemo("rest-title");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed as expected");
    for (auto _ : state) {
        Player reader{Environment(folder)};
        for (int i = 0; i < 1000 && reader.Get("mode") != "1"; ++i) {
        }
        // The logo's chime ends, and the sound output rests two seconds later.
        reader.Do("wait 3500");
        MeasureRest(state, "logo", reader, 10);
        reader.Do("click 320 240");
        reader.AtTitle();
        reader.Do("wait 3500");
        MeasureRest(state, "title", reader, 10);
        reader.Quit();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_RestLogoAndTitle)->Iterations(1)->Unit(benchmark::kSecond);

// The first page waiting for its click, its cursor blinking, in a copy
// without sounds: the missing music is told on standard error and skipped.
void BM_RestWaitingPage(benchmark::State& state) {
    const fs::path folder = QuietDemo("rest-page");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed as expected");
    fs::remove(folder / "sound.quor");
    for (auto _ : state) {
        Player reader{Environment(folder)};
        for (int i = 0; i < 1000 && reader.Get("mode") != "1"; ++i) {
        }
        reader.Do("wait 1000");
        reader.Do("click 320 240");  // the logo waits for it
        if (!reader.AtTitle()) return state.SkipWithError("the title did not come");
        StartGame(reader);
        reader.Do("wait 3500");  // the page's text is typed and its cursor blinks
        MeasureRest(state, "page", reader, 10);
        reader.Quit();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_RestWaitingPage)->Iterations(1)->Unit(benchmark::kSecond);

// [SECTION] Start and memory

// Proportional memory in MiB: the shared libraries' pages counted in share.
double ProportionalMiB(pid_t pid) {
    const std::string text = Stat(pid, "smaps_rollup");
    const size_t at = text.find("\nPss:");
    return at == std::string::npos ? 0 : std::stod(text.substr(at + 5)) / 1024;
}

// From the process start to its window being viewable (only with
// ZELK_BENCH_VIDEO=x11 under an X server) and to the first scripted command
// answered; then the memory, resident and proportional, on each screen a
// reader rests on: the logo, the title and the first page waiting for its
// click (after the opening movie, so with the movie decoder loaded).
void BM_StartAndMemory(benchmark::State& state) {
    const fs::path folder = Demo("start-memory");
    if (folder.empty()) return state.SkipWithError("the demo game is not packed");
    const char* video = std::getenv("ZELK_BENCH_VIDEO");
    const bool watchWindow = video != nullptr && std::string(video) == "x11";
    std::vector<double> window, answer, logoRss, logoPss, titleRss, titlePss, pageRss, pagePss;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        Player reader{Environment(folder)};
        std::atomic<double> shown{-1};
        std::thread watcher;
        if (watchWindow) {
            watcher = std::thread([&] {
                WindowWatch watch;
                for (int i = 0; watch.Usable() && i < 5000; ++i) {
                    if (watch.Shown(reader.Pid())) {
                        shown = MillisecondsSince(start);
                        return;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            });
        }
        reader.Get("mode");
        answer.push_back(MillisecondsSince(start));
        if (watcher.joinable()) watcher.join();
        if (shown >= 0) window.push_back(shown);
        // The logo fully shown: the first answer after its fade.
        reader.Do("wait 1500");
        logoRss.push_back(ResidentMiB(reader.Pid()));
        logoPss.push_back(ProportionalMiB(reader.Pid()));
        reader.AtTitle();
        reader.Do("wait 1000");
        titleRss.push_back(ResidentMiB(reader.Pid()));
        titlePss.push_back(ProportionalMiB(reader.Pid()));
        StartGame(reader);
        reader.Do("wait 1500");
        pageRss.push_back(ResidentMiB(reader.Pid()));
        pagePss.push_back(ProportionalMiB(reader.Pid()));
        reader.Quit();
    }
    const auto median = [](std::vector<double> values) {
        if (values.empty()) return -1.0;
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    if (watchWindow) state.counters["to_window_ms"] = median(window);
    state.counters["to_first_answer_ms"] = median(answer);
    state.counters["logo_rss_mib"] = median(logoRss);
    state.counters["logo_pss_mib"] = median(logoPss);
    state.counters["title_rss_mib"] = median(titleRss);
    state.counters["title_pss_mib"] = median(titlePss);
    state.counters["page_rss_mib"] = median(pageRss);
    state.counters["page_pss_mib"] = median(pagePss);
    fs::remove_all(folder);
}
BENCHMARK(BM_StartAndMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
