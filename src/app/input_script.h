// InputScript: the player driven from a script (ZELK_INPUT), one command per
// line, from a file or from standard input. Pointer and key commands enter
// as SDL events in the same queue as the real ones, so a script goes through
// the window's whole input path. Commands are read wherever the player pumps
// events, nested waits included; each finished command writes "ok" to
// standard output, a failed one "error <reason>" and ends the process with
// status 3.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>

#include "app/input_command.h"
#include "platform/pump_timer.h"

namespace zelk {

class clsGameView;

class InputScript {
public:
    // `source` is a file name, or "-" for standard input.
    explicit InputScript(const std::string& source);
    ~InputScript();
    InputScript(const InputScript&) = delete;
    InputScript& operator=(const InputScript&) = delete;

    // Runs from the event pump before it takes the events.
    void Poll();

    // The `state` line, also written after an idle timeout.
    static std::string StateLine();
    // The `menus` lines: each heading of the view's menu bar and each item
    // under it, in the order shown, with the captions the reader sees.
    static std::vector<std::string> MenuLines(clsGameView& view);

private:
    using Clock = std::chrono::steady_clock;
    enum class Step { Next, Events, Idle, Wait, Hold };

    void ReadLines(int fd);
    bool TakeLine(std::string& line);
    void Start(const std::string& line);
    void Continue();
    void Done();
    [[noreturn]] void Fail(const std::string& reason, const std::string& extra = "");

    void PushPointer(const InputCommand& command, int button, int clicks);
    void PushKey(const InputKey& key, bool down, bool repeat);
    void PushSentinel();
    bool SentinelTaken() const;
    // The tick that keeps the pump turning while a command waits for something.
    static constexpr long kTickEvery = 20;
    static constexpr long kLongestTick = 1000;
    void Ticking(bool on, long every = kTickEvery);
    void TickAtDeadline(Clock::time_point now);

    std::thread mReader;
    std::atomic<bool> mStop{false};
    // Written once at the end, so that the reader blocks on its input
    // instead of waking now and then to look at mStop.
    int mStopFd = -1;
    std::mutex mMutex;
    std::deque<std::string> mLines;

    Step mStep = Step::Next;
    bool mBusy = false;  // a command is being started (no re-entry)
    Clock::time_point mUntil{};
    Clock::time_point mNextRepeat{};
    InputKey mHeldKey;
    Uint32 mSentinel = 0;
    long mIdleTimeout = 30000;
    PumpTimer mTick;  // wakes the pump while time passes for a command
};

}  // namespace zelk
