// The frame loop at rest: it sleeps until a command while nothing runs, and
// a waiting action (a blinking cursor) costs one pass per step, which shows
// only the stepping film's rectangle. The loop's pass count is read at each
// present, so nothing here depends on how fast the machine is.
#include <array>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <vector>

#include "engine.h"
#include "lumo_host.h"

using namespace lumo_test;

namespace {

using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A host screen that records each presented rectangle with the frame loop's
// pass it came from.
struct RecordingScreen {
    struct Present {
        std::array<int32_t, 4> rect;
        std::uint64_t pass;
    };

    RecordingScreen(int w, int h) : bytes(static_cast<std::size_t>((w * 3 + 3) / 4 * 4 * h)) {
        surface.width = w;
        surface.height = h;
        surface.stride = (w * 3 + 3) / 4 * 4;
        surface.bytes_per_pixel = 3;
        surface.pixels = bytes.data();
        surface.context = this;
        surface.presented = [](void* c, int32_t l, int32_t t, int32_t r, int32_t b) {
            auto* self = static_cast<RecordingScreen*>(c);
            std::lock_guard lock(self->mutex);
            self->presents.push_back({{l, t, r, b}, lumo::Engine::instance().framePasses()});
        };
    }
    std::size_t count() {
        std::lock_guard lock(mutex);
        return presents.size();
    }
    std::vector<Present> all() {
        std::lock_guard lock(mutex);
        return presents;
    }

    std::vector<uint8_t> bytes;
    LumoSurface surface{};
    std::mutex mutex;
    std::vector<Present> presents;
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int32_t rate = 30;
        ASSERT_EQ(SetLumoSetting(LS_FRAME_RATE, &rate), 0);
        ASSERT_EQ(InitializeLumo(), 0);
        mScreen = makeFilm(FT_SCREEN, -1, 0, 0, 64, 48);
        LumoSurface* target = &mHost.surface;
        ASSERT_EQ(SetFilmProp(mScreen, FP_SCREEN_DC, &target), 0);
        makeFilm(FT_IMAGE, mScreen, 0, 0, 64, 48, 0x203040);  // the page
        const int32_t on = 1;
        ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
        ASSERT_EQ(Blt(mScreen), 0);
        ASSERT_TRUE(waitUntil([&] { return mHost.count() >= 1; }));
    }
    void TearDown() override { EXPECT_EQ(TerminateLumo(), 0); }

    static bool resting() { return lumo::Engine::instance().restingUntilWoken(); }

    RecordingScreen mHost{64, 48};
    int32_t mScreen = -1;
};

TEST_F(FrameLoopTest, WithNothingToDoTheLoopSleepsUntilACommand) {
    ASSERT_TRUE(waitUntil(resting)) << "no timed wait while nothing runs";
    const std::size_t shown = mHost.count();
    const int32_t dot = makeFilm(FT_IMAGE, mScreen, 3, 4, 2, 2, 0x0000FF);
    ASSERT_GE(dot, 0);
    ASSERT_TRUE(waitUntil([&] { return mHost.count() > shown; }));
    const auto presents = mHost.all();
    EXPECT_EQ(presents.back().rect, (std::array<int32_t, 4>{3, 4, 5, 6}));
    EXPECT_EQ(pixel(mScreen, 3, 4), (Bgr{0, 0, 255}));
    EXPECT_TRUE(waitUntil(resting)) << "and it sleeps again";
}

TEST_F(FrameLoopTest, ABlinkingCursorCostsOnePassPerStepAndShowsOnlyItself) {
    // Two cells side by side; a step every 100 ms, as the wait cursor does.
    const int32_t cursor = makeFilm(FT_IMAGE, mScreen, 40, 30, 8, 8, 0x0000FF);
    setProp(cursor, FP_IMAGE_SIZE, 16, 8);
    const int32_t action = AddAction();
    ASSERT_GE(action, 0);
    for (const int32_t word :
         std::initializer_list<int32_t>{AC_METHOD, FM_CELL_X_STEP, 1, AC_WAIT, 1000, AC_LOOP})
        ASSERT_EQ(CallActMethod(action, AM_APPEND, &word), 0);
    const int32_t speed = 100;
    ASSERT_EQ(SetActProp(action, AP_TARGET, &cursor), 0);
    ASSERT_EQ(SetActProp(action, AP_SPEED, &speed), 0);
    const std::size_t before = mHost.count();
    ASSERT_EQ(CallActMethod(action, AM_START, nullptr), 0);
    ASSERT_TRUE(waitUntil([&] { return mHost.count() >= before + 7; }));
    const auto presents = mHost.all();
    // The film's own placing may come first; from the first step on every
    // present is the cursor's rectangle alone.
    for (std::size_t i = before + 2; i < before + 7; ++i)
        EXPECT_EQ(presents[i].rect, (std::array<int32_t, 4>{40, 30, 48, 38})) << i;
    // Four steps: four passes, with one to spare (a loop that ran its frames
    // through the waits would take twelve).
    EXPECT_LE(presents[before + 6].pass - presents[before + 2].pass, 5u);
    EXPECT_FALSE(resting()) << "a waiting action is no reason to sleep for good";
}

}  // namespace
