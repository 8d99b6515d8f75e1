#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/event_pump.h"
#include "platform/pump_timer.h"

namespace zelk {
namespace {

using std::chrono::milliseconds;

class EventPumpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER), 0); }
    void TearDown() override { SDL_Quit(); }

    // Pumps until the condition holds or the deadline passes.
    template <typename Condition>
    bool PumpUntil(Condition condition, milliseconds limit = milliseconds(5000)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            EventPump::Instance().WaitAndProcess(milliseconds(50));
        }
        return true;
    }
};

TEST_F(EventPumpTest, ARepeatingTimerTicksUntilItIsDisabled) {
    int ticks = 0;
    PumpTimer timer;
    timer.OnTick([&] {
        if (++ticks == 3) timer.Enabled(false);
    });
    timer.Interval(5);
    timer.Enabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !timer.Enabled(); }));
    EXPECT_EQ(ticks, 3);
}

TEST_F(EventPumpTest, AOneShotTimerTicksOnceAndMayRearmItself) {
    int ticks = 0;
    PumpTimer timer({}, true);
    timer.OnTick([&] {
        ++ticks;
        if (ticks == 1) timer.Enabled(true);
    });
    timer.Interval(5);
    timer.Enabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks == 2; }));
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(EventPumpTest, ATimerWithoutIntervalNeverTicks) {
    int ticks = 0;
    PumpTimer timer([&] { ++ticks; });
    timer.Enabled(true);
    EventPump::Instance().WaitAndProcess(milliseconds(10));
    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(timer.Armed());
}

TEST_F(EventPumpTest, ATickThatPumpsAgainDoesNotReenterItself) {
    int depth = 0, maxDepth = 0, ticks = 0;
    PumpTimer timer;
    timer.OnTick([&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        // A long wait inside a handler, as the interpreter's waits do.
        const auto until = std::chrono::steady_clock::now() + milliseconds(20);
        while (std::chrono::steady_clock::now() < until) {
            EventPump::Instance().WaitAndProcess(milliseconds(5));
        }
        --depth;
        if (ticks >= 2) timer.Enabled(false);
    });
    timer.Interval(1);
    timer.Enabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !timer.Enabled(); }));
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(EventPumpTest, ATimerDestroyedByAnotherTickIsSkipped) {
    auto victim = std::make_unique<PumpTimer>();
    int victimTicks = 0;
    victim->OnTick([&] { ++victimTicks; });
    PumpTimer killer;
    killer.OnTick([&] {
        victim.reset();
        killer.Enabled(false);
    });
    killer.Interval(1);
    victim->Interval(1);
    killer.Enabled(true);
    victim->Enabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !victim; }));
    EventPump::Instance().WaitAndProcess(milliseconds(5));
    SUCCEED();  // no use after free (the sanitizer build checks)
}

TEST_F(EventPumpTest, ATimerMayDestroyItselfInItsOwnTick) {
    // The launcher's exit releases the control form from the system
    // timer's own tick.
    auto timer = std::make_unique<PumpTimer>();
    timer->OnTick([&] { timer.reset(); });
    timer->Interval(1);
    timer->Enabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !timer; }));
}

TEST_F(EventPumpTest, AWaitingPumpWakesForAnotherThread) {
    bool handled = false;
    const Uint32 type = SDL_RegisterEvents(1);
    auto previous = EventPump::Instance().SetEventHandler([&](const SDL_Event& event) {
        if (event.type == type) handled = true;
    });
    std::thread poster([type] {
        SDL_Event event{};
        event.type = type;
        SDL_PushEvent(&event);
    });
    EXPECT_TRUE(PumpUntil([&] { return handled; }));
    poster.join();
    EventPump::Instance().SetEventHandler(std::move(previous));
}

}  // namespace
}  // namespace zelk
