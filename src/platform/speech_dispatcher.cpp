// Self-voicing through Speech Dispatcher. libspeechd is opened with dlopen
// on the first connection, so start-up never pays for it and a machine
// without it plays on silently. A worker thread does the saying: a page's
// text waits there for its voice to end without holding up the window.
#include <dlfcn.h>
#include <libspeechd.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/speech.h"
#include "platform/translate.h"

namespace zelk {

namespace {

using Clock = std::chrono::steady_clock;

// How long an unanswered connection is believed before it is tried again.
constexpr auto kRetryAfter = std::chrono::seconds(3);

// Shown through the message catalogue where the reader sees them.
constexpr const char* kNoLibrary =
    TrMark("読み上げには Speech Dispatcher (libspeechd) が必要です。インストールされていません。");
constexpr const char* kNoService =
    TrMark("読み上げには音声合成サービス Speech Dispatcher が必要です。起動していません。");

// The socket a local service listens on, where libspeechd would look for
// it: SPEECHD_ADDRESS, else the user's runtime folder (or cache folder).
// Nothing for a service reached over the network.
std::optional<std::string> LocalSocket() {
    const char* address = std::getenv("SPEECHD_ADDRESS");
    const std::string given = address != nullptr ? address : "";
    const std::string prefix = "unix_socket:";
    if (given.starts_with(prefix) && given.size() > prefix.size())
        return given.substr(prefix.size());
    if (!given.empty() && given != "unix_socket") return std::nullopt;
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        folder = runtime;
    } else if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache) {
        folder = cache;
    } else if (const char* home = std::getenv("HOME"); home != nullptr) {
        folder = std::string(home) + "/.cache";
    }
    return folder + "/speech-dispatcher/speechd.sock";
}

// The few functions of libspeechd the player calls.
struct Library {
    decltype(&spd_open2) open2 = nullptr;
    decltype(&spd_close) close = nullptr;
    decltype(&spd_say) say = nullptr;
    decltype(&spd_cancel) cancel = nullptr;
    decltype(&spd_set_language) setLanguage = nullptr;
    void* handle = nullptr;

    bool Open() {
        if (handle != nullptr) return true;
        handle = dlopen("libspeechd.so.2", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) return false;
        open2 = reinterpret_cast<decltype(open2)>(dlsym(handle, "spd_open2"));
        close = reinterpret_cast<decltype(close)>(dlsym(handle, "spd_close"));
        say = reinterpret_cast<decltype(say)>(dlsym(handle, "spd_say"));
        cancel = reinterpret_cast<decltype(cancel)>(dlsym(handle, "spd_cancel"));
        setLanguage = reinterpret_cast<decltype(setLanguage)>(dlsym(handle, "spd_set_language"));
        if (open2 && close && say && cancel && setLanguage) return true;
        dlclose(handle);
        handle = nullptr;
        return false;
    }
    ~Library() {
        if (handle != nullptr) dlclose(handle);
    }
};

class SpeechDispatcher final : public Speech {
public:
    explicit SpeechDispatcher(std::string clientName) : mClient(std::move(clientName)) {}

    ~SpeechDispatcher() override {
        {
            std::lock_guard lock(mQueueMutex);
            mStopping = true;
        }
        mQueueChanged.notify_all();
        if (mWorker.joinable()) mWorker.join();
        std::lock_guard lock(mConnectionMutex);
        Disconnect();
    }

    bool Available() override {
        std::lock_guard lock(mConnectionMutex);
        if (mConnection != nullptr) return true;
        const Clock::time_point now = Clock::now();
        if (mTried && now - mLastTry < kRetryAfter) return false;
        mTried = true;
        mLastTry = now;
        Connect();
        return mConnection != nullptr;
    }

    std::string Problem() const override {
        std::lock_guard lock(mConnectionMutex);
        return mProblem;
    }

    void Say(const std::string& text, std::chrono::milliseconds delay) override {
        if (!Available()) return;
        {
            std::lock_guard lock(mQueueMutex);
            mNext = Message{text, Clock::now() + delay};
            mCancelPending = true;
            if (!mWorker.joinable()) mWorker = std::thread([this] { Work(); });
        }
        mQueueChanged.notify_all();
    }

    void Cancel() override {
        {
            std::lock_guard lock(mQueueMutex);
            mNext.reset();
            mCancelPending = true;
        }
        mQueueChanged.notify_all();
    }

private:
    struct Message {
        std::string text;
        Clock::time_point due;
    };

    // Under mConnectionMutex.
    void Connect() {
        // Without its socket no service runs: the library is not even
        // loaded (a failed connection of libspeechd also leaks a little).
        const std::optional<std::string> socket = LocalSocket();
        if (socket && access(socket->c_str(), F_OK) != 0) {
            mProblem = kNoService;
            return;
        }
        if (!mLibrary.Open()) {
            mProblem = kNoLibrary;
            return;
        }
        char* error = nullptr;
        // No autospawn: a service the desktop does not run stays off.
        mConnection =
            mLibrary.open2(mClient.c_str(), "main", nullptr, SPD_MODE_SINGLE, nullptr, 0, &error);
        std::free(error);
        if (mConnection == nullptr) {
            mProblem = kNoService;
            return;
        }
        mLibrary.setLanguage(mConnection, "ja");
        mProblem.clear();
    }

    // Under mConnectionMutex.
    void Disconnect() {
        if (mConnection == nullptr) return;
        mLibrary.close(mConnection);
        mConnection = nullptr;
    }

    void Work() {
        std::unique_lock lock(mQueueMutex);
        while (!mStopping) {
            if (mCancelPending) {
                mCancelPending = false;
                lock.unlock();
                WithConnection([this](SPDConnection* c) { return mLibrary.cancel(c); });
                lock.lock();
                continue;
            }
            if (!mNext) {
                mQueueChanged.wait(lock);
                continue;
            }
            // A newer message or a cancel wakes the wait and is seen above.
            if (Clock::now() < mNext->due) {
                mQueueChanged.wait_until(lock, mNext->due);
                continue;
            }
            const std::string text = std::move(mNext->text);
            mNext.reset();
            lock.unlock();
            WithConnection(
                [&](SPDConnection* c) { return mLibrary.say(c, SPD_TEXT, text.c_str()); });
            lock.lock();
        }
    }

    // A call that fails means the service went away: the next Available
    // tries again after a while.
    template <typename Call>
    void WithConnection(Call call) {
        std::lock_guard lock(mConnectionMutex);
        if (mConnection == nullptr) return;
        if (call(mConnection) < 0) {
            Disconnect();
            mProblem = kNoService;
            mLastTry = Clock::now();
        }
    }

    const std::string mClient;
    mutable std::mutex mConnectionMutex;
    Library mLibrary;
    SPDConnection* mConnection = nullptr;
    std::string mProblem;
    bool mTried = false;
    Clock::time_point mLastTry;

    std::mutex mQueueMutex;
    std::condition_variable mQueueChanged;
    std::optional<Message> mNext;
    bool mCancelPending = false;
    bool mStopping = false;
    std::thread mWorker;
};

}  // namespace

std::unique_ptr<Speech> MakeSpeechDispatcher(const std::string& clientName) {
    return std::make_unique<SpeechDispatcher>(clientName);
}

std::string SpeechProblemTexts() {
    return std::string(kNoLibrary) + kNoService;
}

}  // namespace zelk
