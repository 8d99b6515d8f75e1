// The engine's frame: start and stop, settings, the frame loop, presenting
// and notifications.
#include <array>
#include <atomic>
#include <thread>

#include "lumo_host.h"

using namespace lumo_test;

namespace {

// A host screen surface that records what was presented.
struct HostScreen {
    explicit HostScreen(int w, int h) : bytes(static_cast<std::size_t>((w * 3 + 3) / 4 * 4 * h)) {
        surface.width = w;
        surface.height = h;
        surface.stride = (w * 3 + 3) / 4 * 4;
        surface.bytes_per_pixel = 3;
        surface.pixels = bytes.data();
        surface.context = this;
        surface.lock = [](void* c) { static_cast<HostScreen*>(c)->locks++; };
        surface.unlock = [](void* c) { static_cast<HostScreen*>(c)->unlocks++; };
        surface.presented = [](void* c, int32_t l, int32_t t, int32_t r, int32_t b) {
            auto* self = static_cast<HostScreen*>(c);
            std::lock_guard lock(self->mutex);
            self->rects.push_back({l, t, r, b});
            self->changed.notify_all();
        };
    }
    bool waitForPresent(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return rects.size() >= count; });
    }
    Bgr at(int x, int y) const {
        const uint8_t* p = bytes.data() + y * surface.stride + x * 3;
        return {p[0], p[1], p[2]};
    }

    std::vector<uint8_t> bytes;
    LumoSurface surface{};
    std::atomic<int> locks{0};
    std::atomic<int> unlocks{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::array<int32_t, 4>> rects;
};

void setRate(int32_t rate) {
    ASSERT_EQ(SetLumoSetting(LS_FRAME_RATE, &rate), 0);
}

}  // namespace

TEST(LumoEngineStopped, EveryQueuedOrReadingCallFailsBeforeInitialize) {
    int32_t value = 0;
    EXPECT_EQ(AddFilm(FT_IMAGE), -1);
    EXPECT_EQ(SetFilmProp(0, FP_X, &value), -1);
    EXPECT_EQ(GetFilmProp(0, FP_X, &value), -1);
    EXPECT_EQ(AddAction(), -1);
    EXPECT_EQ(GetLumoProp(LP_AUTO_REDRAW, &value), -1);
    EXPECT_EQ(Redraw(), -1);
    EXPECT_EQ(ExeQueue(), -1);
    EXPECT_EQ(WaitBlt(), 0);
    EXPECT_EQ(RaiseLumoEvent(1, 2, 3), 0);
    EXPECT_EQ(TerminateLumo(), 0);
}

TEST(LumoEngineStopped, StubsReturnFailure) {
    EXPECT_EQ(AddActionScript(1), -1);
    EXPECT_EQ(ClearActionTable(1), -1);
    EXPECT_EQ(EndCommonActionTable(), -1);
}

TEST(LumoEngineStopped, UnknownSetFindsNoRedrawProcedures) {
    EXPECT_EQ(GetRedrawFuncs(0x12000007), nullptr);
    const LumoRedrawFuncs* fade = GetRedrawFuncs(RF_FADE);
    ASSERT_NE(fade, nullptr);
    EXPECT_NE(fade->start, nullptr);
    EXPECT_EQ(GetRedrawFuncs(RF_RULE), fade) << "one shared table, overwritten by each call";
}

TEST_F(LumoTest, SecondInitializeFailsWhileRunning) {
    EXPECT_EQ(InitializeLumo(), -1);
}

TEST_F(LumoTest, StartOnlySettingsAreRefusedWhileRunning) {
    const int32_t films = 5;
    EXPECT_EQ(SetLumoSetting(LS_MAX_FILMS, &films), -1);
    EXPECT_EQ(SetLumoSetting(LS_MAX_ACTIONS, &films), -1);
    EXPECT_EQ(SetLumoSetting(LS_SPARE, &films), -1);
    EXPECT_EQ(SetLumoSetting(0x20009, &films), -1);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(AddFilm(FT_IMAGE), i) << "old size kept";
    EXPECT_EQ(AddFilm(FT_IMAGE), -1);
}

TEST(LumoEngineSettings, TableSizesTakeEffectAtTheNextStart) {
    const int32_t two = 2;
    ASSERT_EQ(SetLumoSetting(LS_MAX_FILMS, &two), 0);
    ASSERT_EQ(SetLumoSetting(LS_MAX_ACTIONS, &two), 0);
    ASSERT_EQ(InitializeLumo(), 0);
    EXPECT_EQ(AddFilm(FT_IMAGE), 0);
    EXPECT_EQ(AddFilm(FT_IMAGE), 1);
    EXPECT_EQ(AddFilm(FT_IMAGE), -1);
    EXPECT_EQ(AddAction(), 0);
    EXPECT_EQ(AddAction(), 1);
    EXPECT_EQ(AddAction(), -1);
    EXPECT_EQ(TerminateLumo(), 0);
    const int32_t hundred = 100;
    SetLumoSetting(LS_MAX_FILMS, &hundred);
    SetLumoSetting(LS_MAX_ACTIONS, &hundred);
}

TEST_F(LumoTest, ScreenFilmsAreLimitedByTheScreenTable) {
    const int32_t screen = AddFilm(FT_SCREEN);
    EXPECT_EQ(screen, 0);
    EXPECT_EQ(AddFilm(FT_SCREEN), -1);
    EXPECT_EQ(AddFilm(FT_IMAGE), 1) << "the refused screen film left its slot free";
    ASSERT_EQ(RemoveFilm(screen), 0);
    EXPECT_EQ(AddFilm(FT_SCREEN), 0);
}

TEST_F(LumoTest, ProgressActionRefusesNegativeTime) {
    EXPECT_EQ(ProgressAction(-1), -1);
}

TEST_F(LumoTest, OnlyAutoRedrawCanBeRead) {
    int32_t value = -1;
    EXPECT_EQ(GetLumoProp(LP_AUTO_REDRAW, &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(GetLumoProp(LP_TEXT_SIZE, &value), -1);
    EXPECT_EQ(GetLumoProp(LP_AUTO_REDRAW, nullptr), -1);
}

TEST_F(LumoTest, RaiseLumoEventPostsTheHostsOwnWord) {
    Notifications notes;
    const int32_t message = 0x8001;
    ASSERT_EQ(SetLumoSetting(LS_NOTIFY_MESSAGE, &message), 0);
    EXPECT_EQ(RaiseLumoEvent(0x30000, 5, 77), 0);
    ASSERT_TRUE(notes.waitFor(1));
    const auto m = notes.messages()[0];
    EXPECT_EQ(m.message, 0x8001u);
    EXPECT_EQ(m.wparam, 0x30005);
    EXPECT_EQ(m.lparam, 77);
}

TEST_F(LumoTest, NotificationCallbackMayCallTheEngine) {
    struct Probe {
        std::atomic<int32_t> film{-2};
        std::mutex mutex;
        std::condition_variable done;
        bool called = false;
    } probe;
    const LumoNotifyWindow window{[](void* c, uint32_t, int32_t, int32_t) {
                                      auto* p = static_cast<Probe*>(c);
                                      p->film = AddFilm(FT_IMAGE);
                                      std::lock_guard lock(p->mutex);
                                      p->called = true;
                                      p->done.notify_all();
                                  },
                                  &probe};
    ASSERT_EQ(SetLumoSetting(LS_NOTIFY_WINDOW, &window), 0);
    RaiseLumoEvent(0, 0, 0);
    {
        std::unique_lock lock(probe.mutex);
        ASSERT_TRUE(
            probe.done.wait_for(lock, std::chrono::seconds(5), [&] { return probe.called; }));
    }
    EXPECT_EQ(probe.film.load(), 0);
    SetLumoSetting(LS_NOTIFY_WINDOW, nullptr);
}

TEST(LumoEngineFrames, FrameRateZeroStillRunsFrames) {
    setRate(0);
    ASSERT_EQ(InitializeLumo(), 0);
    HostScreen host(8, 8);
    const int32_t screen = makeFilm(FT_SCREEN, -1, 0, 0, 8, 8, 0x0000FF);
    LumoSurface* target = &host.surface;
    ASSERT_EQ(SetFilmProp(screen, FP_SCREEN_DC, &target), 0);
    const int32_t on = 1;
    ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
    ASSERT_EQ(Blt(screen), 0);
    EXPECT_TRUE(host.waitForPresent(1)) << "a 33 ms frame presents the change";
    EXPECT_EQ(TerminateLumo(), 0);
    setRate(30);
}

// Frames at 60 a second, presented to a host screen.
class LumoFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setRate(60);
        ASSERT_EQ(InitializeLumo(), 0);
    }
    void TearDown() override {
        EXPECT_EQ(TerminateLumo(), 0);
        setRate(30);
    }

    // A screen film of the host's size presented to it.
    int32_t screenFor(HostScreen& host, uint32_t colour = 0) {
        const int32_t screen =
            makeFilm(FT_SCREEN, -1, 0, 0, host.surface.width, host.surface.height, colour);
        LumoSurface* target = &host.surface;
        EXPECT_EQ(SetFilmProp(screen, FP_SCREEN_DC, &target), 0);
        return screen;
    }
    static void autoRedraw() {
        const int32_t on = 1;
        ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
    }
};

TEST_F(LumoFramesTest, AutoRedrawPresentsOnlyTheChangedRectangle) {
    HostScreen host(16, 8);
    const int32_t screen = screenFor(host);
    makeFilm(FT_IMAGE, screen, 4, 2, 3, 2, 0x102030);
    autoRedraw();
    ASSERT_TRUE(host.waitForPresent(1));
    {
        std::lock_guard lock(host.mutex);
        EXPECT_EQ(host.rects[0], (std::array<int32_t, 4>{4, 2, 7, 4}));
    }
    EXPECT_EQ(host.at(4, 2), (Bgr{0x10, 0x20, 0x30}));
    EXPECT_EQ(host.at(3, 2), (Bgr{0, 0, 0})) << "outside the change nothing was copied";
    EXPECT_EQ(host.locks.load(), host.unlocks.load());
    EXPECT_GE(host.locks.load(), 1);
}

TEST_F(LumoFramesTest, ImmediateModePresentsWhatFmRedrawComposed) {
    HostScreen host(4, 4);
    const int32_t screen = screenFor(host);
    makeFilm(FT_IMAGE, screen, 1, 1, 2, 2, 0x0000FF);
    call(screen, FM_REDRAW);
    ASSERT_TRUE(host.waitForPresent(1)) << "the engine thread's next present step";
    EXPECT_EQ(host.at(1, 1), (Bgr{0, 0, 255}));
    std::lock_guard lock(host.mutex);
    EXPECT_EQ(host.rects[0], (std::array<int32_t, 4>{1, 1, 3, 3}));
}

TEST_F(LumoFramesTest, InvertedRectangleIsInvertedOnTheHostOnly) {
    HostScreen host(8, 4);
    const int32_t screen = screenFor(host);
    setProp(screen, FP_INVERT_RECT, 0, 2 + 1 * 65536);
    autoRedraw();
    ASSERT_TRUE(host.waitForPresent(1));
    EXPECT_EQ(host.at(0, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(host.at(2, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(pixel(screen, 0, 0), (Bgr{0, 0, 0})) << "the film's own picture stays";
}

// Each change is composed into the screen film by the time WaitBlt returns:
// the engine thread's next redraw, not the host, draws it.
TEST_F(LumoFramesTest, WaitBltReturnsOnceTheChangeWasRedrawn) {
    const int32_t screen = makeFilm(FT_SCREEN, -1, 0, 0, 4, 4);
    const int32_t child = makeFilm(FT_IMAGE, screen, 0, 0, 4, 4);
    autoRedraw();
    for (const uint32_t colour : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0x123456u}) {
        call(child, FM_FILL, static_cast<int32_t>(colour));  // 0x00BBGGRR
        ASSERT_EQ(Blt(child), 0);                            // filling alone marks nothing
        ASSERT_EQ(ExeQueue(), 0);
        ASSERT_EQ(WaitBlt(), 0);
        const Bgr expected{int(colour >> 16), int((colour >> 8) & 0xFF), int(colour & 0xFF)};
        EXPECT_EQ(pixel(screen, 2, 2), expected) << std::hex << colour;
    }
}

TEST(LumoEngineFrames, StopWhileFramesAreBusyEndsPromptly) {
    setRate(1000);
    for (int round = 0; round < 5; ++round) {
        ASSERT_EQ(InitializeLumo(), 0);
        const int32_t on = 1;
        ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
        const int32_t screen = makeFilm(FT_SCREEN, -1, 0, 0, 320, 240);
        for (int i = 0; i < 8; ++i)
            makeFilm(FT_ALPHA, screen, i, i, 300, 200, 0x123456);
        // Keep the engine thread composing while the host stops it.
        std::atomic<bool> busy{true};
        std::thread host([&] {
            while (busy.load()) {
                if (Blt(screen) != 0) break;
            }
        });
        std::this_thread::yield();
        EXPECT_EQ(TerminateLumo(), 0);
        busy = false;
        host.join();
        int32_t value = 0;
        EXPECT_EQ(GetFilmProp(screen, FP_X, &value), -1);
    }
    setRate(30);
}

TEST(LumoEngineFrames, TerminateFreesEverythingForTheNextStart) {
    ASSERT_EQ(InitializeLumo(), 0);
    EXPECT_EQ(AddFilm(FT_TEXT), 0);
    EXPECT_EQ(AddAction(), 0);
    EXPECT_EQ(TerminateLumo(), 0);
    ASSERT_EQ(InitializeLumo(), 0);
    EXPECT_EQ(AddFilm(FT_IMAGE), 0);
    EXPECT_EQ(AddAction(), 0);
    EXPECT_EQ(TerminateLumo(), 0);
}

extern "C" int lumo_header_in_c(void);

TEST(LumoHeader, ServesCAsWellAsCpp) {
    EXPECT_EQ(lumo_header_in_c(), 1);
}
