// The engine: one per loaded library. Settings, the film, screen and action
// tables, the command queue with its execution lock, the frame loop thread
// and the notifications.
//
// Index
//   [SECTION] Settings and screen slots
//   [SECTION] Engine
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "action.h"
#include "blt_state.h"
#include "command_queue.h"
#include "film_table.h"
#include "lumo.h"
#include "notifier.h"
#include "redraw_procedures.h"

namespace lumo {

class FontLibrary;

// [SECTION] Settings and screen slots ===================================

struct Settings {
    int maxFilms = 100;
    int maxScreens = 1;
    int spare = 1000;
    int maxActions = 100;
    std::atomic<int> frameRate{30};
    std::atomic<int> textEncoding{LUMO_TEXT_CP932};

    bool utf8Text() const { return textEncoding.load() == LUMO_TEXT_UTF8; }

    // The language UTF-8 text is written in (LS_TEXT_LANGUAGE); empty when
    // the host said none.
    std::string textLanguage() const {
        std::lock_guard lock(languageMutex);
        return language;
    }
    void textLanguage(std::string tag) {
        std::lock_guard lock(languageMutex);
        language = std::move(tag);
    }

    int frameInterval() const {
        const int rate = frameRate.load();
        return rate < 1 ? 33 : 1000 / rate;
    }

private:
    mutable std::mutex languageMutex;
    std::string language;
};

struct ScreenSlot {
    int film = -1;
    LumoSurface* target = nullptr;
    Rect invert;  // empty: none
    bool presented = false;
};

// Notification codes travel in the high half of wparam.
inline std::int32_t notificationWord(int code, int id) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(code) << 16 |
                                     (static_cast<std::uint32_t>(id) & 0xFFFF));
}

// [SECTION] Engine ======================================================

class Engine {
public:
    static Engine& instance();
    ~Engine();

    int initialize();
    int terminate();
    bool running() const { return mRunning.load(); }
    // For tests: the frame loop's passes so far, and whether it sleeps
    // until a command comes.
    std::uint64_t framePasses() const { return mPasses.load(); }
    bool restingUntilWoken() {
        std::lock_guard lock(mSleepMutex);
        return mRestingUntilWoken;
    }
    int setSetting(std::int32_t id, const void* value);

    // Appends a command; unless auto-redraw mode is on and `mayRun`, then
    // runs the queue. -1 while the engine is stopped.
    int queue(Command command, bool mayRun = true);
    int executeQueue();
    std::recursive_mutex& executionLock() { return mExecution; }

    // Posts a notification (code, ID) with lparam to the host.
    void notify(int code, int id, std::int32_t lparam) {
        notifier.post(notificationWord(code, id), lparam);
    }

    FontLibrary& fonts();

    Settings settings;
    FilmTable films;
    std::vector<ScreenSlot> screens;
    ActionTable actions;
    TextStyle textDefaults;
    int glyphFilm = -1;
    std::atomic<int> autoRedraw{0};
    BltState blt;
    Notifier notifier;
    RedrawProcedures procedures;

private:
    Engine();
    using Clock = std::chrono::steady_clock;
    enum class Rest { None, Timed, UntilWoken };
    void frameLoop();
    // Sleeps while nothing needs a frame: until a command, or until the
    // next action step falls due (the actions have lived up to
    // `advancedTo`), not before `nextFrame`.
    Rest rest(Clock::time_point advancedTo, Clock::time_point nextFrame);
    void execute(Command& command);
    void setEngineProperty(std::int32_t id, const CommandValue& value);
    void redrawStep();
    void presentStep();
    void releaseAll();

    std::atomic<bool> mRunning{false};
    std::atomic<bool> mQueueReady{false};
    CommandQueue mQueue;
    std::recursive_mutex mExecution;
    std::mutex mSleepMutex;
    std::condition_variable mSleep;
    bool mWoken = false;              // under mSleepMutex: a command came while resting
    bool mRestingUntilWoken = false;  // under mSleepMutex
    std::atomic<std::uint64_t> mPasses{0};
    std::thread mThread;
    std::unique_ptr<FontLibrary> mFonts;
};

}  // namespace lumo
