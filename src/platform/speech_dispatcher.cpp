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

#include "platform/speech_dispatcher.h"
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
    decltype(&spd_get_language) getLanguage = nullptr;  // optional
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
        getLanguage = reinterpret_cast<decltype(getLanguage)>(dlsym(handle, "spd_get_language"));
        if (open2 && close && say && cancel && setLanguage) return true;
        dlclose(handle);
        handle = nullptr;
        return false;
    }
    ~Library() {
        if (handle != nullptr) dlclose(handle);
    }
};

// libspeechd over one connection.
class LibspeechdClient final : public SpeechClient {
public:
    ~LibspeechdClient() override { Close(); }

    Opened Open(const std::string& clientName) override {
        // Without its socket no service runs: the library is not even
        // loaded (a failed connection of libspeechd also leaks a little).
        const std::optional<std::string> socket = LocalSocket();
        if (socket && access(socket->c_str(), F_OK) != 0) return Opened::kNoService;
        if (!mLibrary.Open()) return Opened::kNoLibrary;
        char* error = nullptr;
        // No autospawn: a service the desktop does not run stays off.
        mConnection = mLibrary.open2(clientName.c_str(), "main", nullptr, SPD_MODE_SINGLE, nullptr,
                                     0, &error);
        std::free(error);
        return mConnection != nullptr ? Opened::kConnected : Opened::kNoService;
    }

    void Close() override {
        if (mConnection == nullptr) return;
        mLibrary.close(mConnection);
        mConnection = nullptr;
    }

    bool Say(const std::string& text) override {
        return mConnection != nullptr && mLibrary.say(mConnection, SPD_TEXT, text.c_str()) >= 0;
    }
    bool Cancel() override { return mConnection != nullptr && mLibrary.cancel(mConnection) >= 0; }
    bool SetLanguage(const std::string& language) override {
        return mConnection != nullptr && mLibrary.setLanguage(mConnection, language.c_str()) >= 0;
    }
    std::string Language() override {
        if (mConnection == nullptr || mLibrary.getLanguage == nullptr) return std::string();
        char* language = mLibrary.getLanguage(mConnection);
        std::string told = language != nullptr ? language : "";
        std::free(language);
        return told;
    }

private:
    Library mLibrary;
    SPDConnection* mConnection = nullptr;
};

class SpeechDispatcher final : public Speech {
public:
    SpeechDispatcher(std::string clientName, std::unique_ptr<SpeechClient> client)
        : mClient(std::move(clientName)), mService(std::move(client)) {}

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
        if (mConnected) return true;
        const Clock::time_point now = Clock::now();
        if (mTried && now - mLastTry < kRetryAfter) return false;
        mTried = true;
        mLastTry = now;
        Connect();
        return mConnected;
    }

    std::string Problem() const override {
        std::lock_guard lock(mConnectionMutex);
        return mProblem;
    }

    void Say(const std::string& text, const std::string& language,
             std::chrono::milliseconds delay) override {
        if (!Available()) return;
        {
            std::lock_guard lock(mQueueMutex);
            mNext = Message{text, language, Clock::now() + delay};
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
        std::string language;
        Clock::time_point due;
    };

    // Under mConnectionMutex.
    void Connect() {
        switch (mService->Open(mClient)) {
            case SpeechClient::Opened::kNoLibrary:
                mProblem = kNoLibrary;
                return;
            case SpeechClient::Opened::kNoService:
                mProblem = kNoService;
                return;
            case SpeechClient::Opened::kConnected:
                break;
        }
        mConnected = true;
        mDefaultLanguage = mService->Language();
        mLanguage = mDefaultLanguage;
        mProblem.clear();
    }

    // Under mConnectionMutex.
    void Disconnect() {
        if (!mConnected) return;
        mService->Close();
        mConnected = false;
    }

    // Under mConnectionMutex: the connection speaks `language` (empty: the
    // one it began with), told only when it changes. A language the service
    // refuses leaves the one it had.
    void UseLanguage(const std::string& language) {
        const std::string& wanted = language.empty() ? mDefaultLanguage : language;
        if (wanted.empty() || wanted == mLanguage) return;
        if (mService->SetLanguage(wanted)) mLanguage = wanted;
    }

    void Work() {
        std::unique_lock lock(mQueueMutex);
        while (!mStopping) {
            if (mCancelPending) {
                mCancelPending = false;
                lock.unlock();
                WithConnection([this] { return mService->Cancel(); });
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
            const Message message = std::move(*mNext);
            mNext.reset();
            lock.unlock();
            WithConnection([&] {
                UseLanguage(message.language);
                return mService->Say(message.text);
            });
            lock.lock();
        }
    }

    // A call that fails means the service went away: the next Available
    // tries again after a while.
    template <typename Call>
    void WithConnection(Call call) {
        std::lock_guard lock(mConnectionMutex);
        if (!mConnected) return;
        if (!call()) {
            Disconnect();
            mProblem = kNoService;
            mLastTry = Clock::now();
        }
    }

    const std::string mClient;
    mutable std::mutex mConnectionMutex;
    std::unique_ptr<SpeechClient> mService;
    bool mConnected = false;
    std::string mDefaultLanguage;  // the connection's own, when it told it
    std::string mLanguage;         // the one it speaks now
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

std::unique_ptr<Speech> MakeSpeechDispatcher(const std::string& clientName,
                                             std::unique_ptr<SpeechClient> client) {
    return std::make_unique<SpeechDispatcher>(clientName, std::move(client));
}

std::unique_ptr<Speech> MakeSpeechDispatcher(const std::string& clientName) {
    return MakeSpeechDispatcher(clientName, std::make_unique<LibspeechdClient>());
}

std::string SpeechProblemTexts() {
    return std::string(kNoLibrary) + kNoService;
}

}  // namespace zelk
