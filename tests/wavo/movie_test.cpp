// Movies through the public header: a host surface that counts what was
// presented and the completion clicks it was posted, under SDL's dummy audio
// driver (which plays in real time, so the sound clock runs).

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>
#include <sys/stat.h>

#include "../support/untouched.h"
#include "wavo.h"
#include "wavo_test_support.h"

namespace wavo::test {
namespace {

std::string Movie(const std::string& name) {
    return std::string(ZELK_TEST_DATA) + "/movies/" + name;
}

// The host's side of the video window.
struct HostSurface {
    static constexpr int kWidth = 80;
    static constexpr int kHeight = 60;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kWidth * 3 * kHeight, 0);
    std::mutex lock;
    std::atomic<int> presented{0};
    std::atomic<int> clicks{0};
    WavoVideoWindow window{this,
                           kWidth,
                           kHeight,
                           kWidth * 3,
                           [](void* c) {
                               auto* self = static_cast<HostSurface*>(c);
                               self->lock.lock();
                               return self->pixels.data();
                           },
                           [](void* c) { static_cast<HostSurface*>(c)->lock.unlock(); },
                           [](void* c, int32_t, int32_t, int32_t, int32_t) {
                               static_cast<HostSurface*>(c)->presented++;
                           },
                           [](void* c) { static_cast<HostSurface*>(c)->clicks++; }};

    void Install() {
        const auto handle = reinterpret_cast<uintptr_t>(&window);
        ASSERT_EQ(SetWavoProp(WP_VIDEO_WINDOW, &handle), 0);
    }
    // Some pixel is not black: a picture arrived.
    bool HasPicture() {
        std::lock_guard guard(lock);
        for (uint8_t b : pixels)
            if (b > 16) return true;
        return false;
    }
};

class WavoMovie : public EngineTest {
protected:
    void TearDown() override {
        dshowStop();
        const uintptr_t none = 0;
        SetWavoProp(WP_VIDEO_WINDOW, &none);
        EngineTest::TearDown();
    }
    int32_t LastError() {
        int32_t code = 0;
        GetWavoProp(WP_LAST_ERROR, &code);
        return code;
    }
    HostSurface mHost;
};

// [SECTION] Results without a movie ---------------------------------------

TEST_F(WavoMovie, PlayWithoutAVideoWindowFailsAndIsTheLastError) {
    const uintptr_t none = 0;
    SetWavoProp(WP_VIDEO_WINDOW, &none);
    EXPECT_EQ(dshowPlay(Movie("short.mpg").c_str()), WAVO_E_NO_VIDEO_WINDOW);
    EXPECT_EQ(LastError(), WAVO_E_NO_VIDEO_WINDOW);
    EXPECT_EQ(dshowIsPlaying(), 0);
}

TEST_F(WavoMovie, ChangeWindowWithoutAMovieIsNotPlaying) {
    mHost.Install();
    EXPECT_EQ(dshowChangeWindow(), WAVO_E_NOT_PLAYING);
    const uintptr_t none = 0;
    SetWavoProp(WP_VIDEO_WINDOW, &none);
    EXPECT_EQ(dshowChangeWindow(), WAVO_E_NO_VIDEO_WINDOW);
}

// [SECTION] The display size ---------------------------------------------------

// A window of the dummy video driver, whose one display offers one mode.
class WavoDisplay : public WavoMovie {
protected:
    void SetUp() override {
        WavoMovie::SetUp();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mOffered), 0);
        mWindow = SDL_CreateWindow("display", 0, 0, 320, 240, SDL_WINDOW_HIDDEN);
        ASSERT_NE(mWindow, nullptr);
        const uint32_t id = SDL_GetWindowID(mWindow);
        ASSERT_EQ(SetWavoProp(WP_DISPLAY_WINDOW, &id), 0);
    }
    void TearDown() override {
        ResumeDisplaySize();
        const uint32_t none = 0;
        SetWavoProp(WP_DISPLAY_WINDOW, &none);
        if (mWindow) SDL_DestroyWindow(mWindow);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        WavoMovie::TearDown();
    }
    int32_t Step() {
        int32_t step = 0;
        GetWavoProp(WP_EXT_ERROR1, &step);
        return step;
    }
    SDL_DisplayMode mOffered{};
    SDL_Window* mWindow = nullptr;
};

TEST_F(WavoDisplay, TheOfferedModeTakesTheWindowFullScreenAndResumeBringsItBack) {
    EXPECT_EQ(ResumeDisplaySize(), 0);  // nothing to undo yet
    ASSERT_EQ(ChangeDisplaySize(0, mOffered.w, mOffered.h, 32), 0) << SDL_GetError();
    EXPECT_EQ(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN);
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetWindowDisplayMode(mWindow, &mode), 0);
    EXPECT_EQ(mode.w, mOffered.w);
    EXPECT_EQ(mode.h, mOffered.h);
    EXPECT_EQ(ResumeDisplaySize(), 0);
    EXPECT_EQ(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

TEST_F(WavoDisplay, AModeTheDisplayDoesNotOfferIsRefusedAndChangesNothing) {
    EXPECT_EQ(ChangeDisplaySize(0, mOffered.w - 1, mOffered.h, 32), WAVO_E_DISPLAY_MODE);
    EXPECT_EQ(Step(), 3);
    EXPECT_EQ(ChangeDisplaySize(0, mOffered.w, mOffered.h, 8), WAVO_E_DISPLAY_MODE);
    EXPECT_EQ(Step(), 3);
    EXPECT_EQ(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    const uint32_t none = 0;
    SetWavoProp(WP_DISPLAY_WINDOW, &none);
    EXPECT_EQ(ChangeDisplaySize(0, mOffered.w, mOffered.h, 32), WAVO_E_DISPLAY_MODE);
    EXPECT_EQ(Step(), 1);
}

TEST_F(WavoDisplay, ARefusedSecondChangeKeepsTheFirst) {
    ASSERT_EQ(ChangeDisplaySize(0, mOffered.w, mOffered.h, 32), 0) << SDL_GetError();
    EXPECT_EQ(ChangeDisplaySize(0, mOffered.w - 1, mOffered.h, 32), WAVO_E_DISPLAY_MODE);
    EXPECT_EQ(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN);
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetWindowDisplayMode(mWindow, &mode), 0);
    EXPECT_EQ(mode.w, mOffered.w);
    EXPECT_EQ(mode.h, mOffered.h);
    // A second change that is taken still resumes to the window as it was
    // before the first.
    ASSERT_EQ(ChangeDisplaySize(0, mOffered.w, mOffered.h, 0), 0);
    EXPECT_EQ(ResumeDisplaySize(), 0);
    EXPECT_EQ(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

TEST(WavoMovieStopped, MovieCallsDoNothingWhileTheEngineIsStopped) {
    EXPECT_EQ(dshowPlay(Movie("short.mpg").c_str()), 0);
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_EQ(dshowChangeWindow(), 0);
    EXPECT_EQ(dshowStop(), 0);
}

// [SECTION] Without a sound device -------------------------------------------

// A machine without sound output still plays movies: silently, on the wall
// clock, their end noticed by the host's own polls.
TEST(WavoMovieWithoutSound, AFailedStartStillPlaysMoviesAndTerminateStopsThem) {
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = saved ? saved : "dummy";
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    const int32_t start = InitializeWavo();
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    ASSERT_NE(start, 0);
    HostSurface host;
    host.Install();
    ASSERT_EQ(dshowPlay(Movie("short.mp4").c_str()), 0);
    EXPECT_EQ(dshowIsPlaying(), -1);
    ASSERT_TRUE(WaitUntil([] { return dshowIsPlaying() == 0; }, 10s));
    EXPECT_GT(host.presented.load(), 10);
    EXPECT_TRUE(host.HasPicture());
    EXPECT_EQ(host.clicks.load(), 1);
    ASSERT_EQ(dshowPlay(Movie("short.mpg").c_str()), 0);
    TerminateWavo();
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_EQ(host.clicks.load(), 1);
    int32_t code = 0;
    GetWavoProp(WP_LAST_ERROR, &code);
    EXPECT_EQ(code, 0);  // the last movie's; the failed start's is in the driver's copy
    const uintptr_t none = 0;
    SetWavoProp(WP_VIDEO_WINDOW, &none);
}

// [SECTION] Broken files -----------------------------------------------------

TEST_F(WavoMovie, AMissingOrBrokenFileFailsAndTheEngineGoesOn) {
    mHost.Install();
    EXPECT_EQ(dshowPlay(Movie("no_such_movie.mpg").c_str()), WAVO_E_MOVIE);
    int32_t step = 0;
    GetWavoProp(WP_EXT_ERROR1, &step);
    EXPECT_EQ(step, 1);
    EXPECT_EQ(LastError(), WAVO_E_MOVIE);
    EXPECT_EQ(dshowPlay(Movie("broken.mp4").c_str()), WAVO_E_MOVIE);
    const auto garbage = std::filesystem::temp_directory_path() / "wavo_garbage_movie.mpg";
    std::ofstream(garbage, std::ios::binary) << std::string(5000, '\x47');
    EXPECT_EQ(dshowPlay(garbage.c_str()), WAVO_E_MOVIE);
    std::filesystem::remove(garbage);
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_EQ(mHost.clicks.load(), 0);
    EXPECT_EQ(dshowStop(), 0);
    // A good movie still plays afterwards.
    EXPECT_EQ(dshowPlay(Movie("short.mpg").c_str()), 0);
    EXPECT_EQ(LastError(), 0);
}

// A file named like a movie whose content is a playlist or a concatenation
// list, naming a movie outside its folder and a URL: the engine reads the
// file itself and nothing else, opens no other file, connects nowhere, and
// fails as for any file that is no movie.
TEST_F(WavoMovie, AMovieThatIsAPlaylistOpensNothingElseAndConnectsNowhere) {
    namespace fs = std::filesystem;
    const fs::path top = fs::path(::testing::TempDir()) / "wavo_playlist";
    fs::remove_all(top);
    fs::create_directories(top / "game");
    fs::create_directories(top / "outside");
    const fs::path outside = top / "outside" / "secret.mpg";
    fs::copy_file(Movie("short.mpg"), outside);
    zelk::testing::LoopbackListener listener;
    zelk::testing::OpenWatch watch(outside.string());
    ASSERT_TRUE(listener.Ready());
    ASSERT_TRUE(watch.Ready());
    const std::string hls =
        "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n"
        "#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:10.0,\n";
    const std::vector<std::string> lists = {
        hls + outside.string() + "\n#EXTINF:10.0,\n" + listener.Url("x.ts") + "\n#EXT-X-ENDLIST\n",
        hls + listener.Url("x.mpg") + "\n#EXTINF:10.0,\n" + outside.string() + "\n#EXT-X-ENDLIST\n",
        "ffconcat version 1.0\nfile 'sub/../../outside/secret.mpg'\nfile '" +
            listener.Url("x.mpg") + "'\n",
        "ffconcat version 1.0\nfile '" + listener.Url("x.mpg") + "'\nfile '" + outside.string() +
            "'\n",
    };
    mHost.Install();
    for (const std::string& list : lists) {
        for (const char* name : {"opening.mpg", "opening.m3u8", "opening.ffconcat"}) {
            const fs::path movie = top / "game" / name;
            std::ofstream(movie, std::ios::binary) << list;
            EXPECT_EQ(dshowPlay(movie.c_str()), WAVO_E_MOVIE) << name << "\n" << list;
            EXPECT_EQ(dshowIsPlaying(), 0);
            EXPECT_FALSE(listener.Connected()) << name << "\n" << list;
            EXPECT_FALSE(watch.Opened()) << name << "\n" << list;
            fs::remove(movie);
        }
    }
    EXPECT_EQ(dshowStop(), 0);
    EXPECT_EQ(dshowPlay(Movie("short.mpg").c_str()), 0);
    fs::remove_all(top);
}

// A pipe in place of a movie would keep the opening call waiting for a
// writer for ever; it fails at once instead.
TEST_F(WavoMovie, AMovieThatIsAPipeFailsAtOnce) {
    const auto pipe = std::filesystem::path(::testing::TempDir()) / "wavo_pipe_movie.mpg";
    std::filesystem::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    mHost.Install();
    EXPECT_EQ(dshowPlay(pipe.c_str()), WAVO_E_MOVIE);
    EXPECT_EQ(dshowIsPlaying(), 0);
    std::filesystem::remove(pipe);
}

// [SECTION] Playing to the end ------------------------------------------------

class WavoMovieFormats : public WavoMovie, public ::testing::WithParamInterface<const char*> {};

TEST_P(WavoMovieFormats, PlaysToItsEndWithPicturesAndExactlyOneClick) {
    mHost.Install();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(dshowPlay(Movie(GetParam()).c_str()), 0);
    EXPECT_EQ(dshowIsPlaying(), -1);
    // The worker's poll notices the end without the host asking.
    ASSERT_TRUE(WaitUntil([&] { return mHost.clicks.load() > 0; }, 10s));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_GE(took, 800ms);  // one second of movie, shown in time
    EXPECT_GT(mHost.presented.load(), 10);
    EXPECT_TRUE(mHost.HasPicture());
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_EQ(mHost.clicks.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Containers, WavoMovieFormats,
                         ::testing::Values("short.mpg", "short.mp4", "short.webm", "short.ogv",
                                           "silent.avi", "silent_vp8.webm"));

TEST_F(WavoMovie, StoppingMidwayEndsWithoutAClick) {
    mHost.Install();
    ASSERT_EQ(dshowPlay(Movie("short.mp4").c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return mHost.presented.load() > 2; }));
    EXPECT_EQ(dshowStop(), 0);
    EXPECT_EQ(dshowIsPlaying(), 0);
    const int presented = mHost.presented.load();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(mHost.presented.load(), presented);  // nothing drawn after the stop
    EXPECT_EQ(mHost.clicks.load(), 0);
}

TEST_F(WavoMovie, APlayingMovieMovesToANewWindow) {
    mHost.Install();
    ASSERT_EQ(dshowPlay(Movie("short.webm").c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return mHost.presented.load() > 0; }));
    HostSurface second;
    second.Install();
    EXPECT_EQ(dshowChangeWindow(), 0);
    const int first = mHost.presented.load();
    ASSERT_TRUE(WaitUntil([&] { return second.clicks.load() == 1; }, 10s));
    EXPECT_GT(second.presented.load(), 0);
    EXPECT_EQ(mHost.presented.load(), first);
    EXPECT_EQ(mHost.clicks.load(), 0);
    dshowStop();
}

TEST_F(WavoMovie, ANewPlayReplacesTheMovieAndTerminateStopsIt) {
    mHost.Install();
    ASSERT_EQ(dshowPlay(Movie("short.mpg").c_str()), 0);
    ASSERT_EQ(dshowPlay(Movie("short.ogv").c_str()), 0);
    EXPECT_EQ(dshowIsPlaying(), -1);
    TerminateWavo();
    EXPECT_EQ(dshowIsPlaying(), 0);
    EXPECT_EQ(mHost.clicks.load(), 0);
    ASSERT_EQ(InitializeWavo(), 0);
}

}  // namespace
}  // namespace wavo::test
