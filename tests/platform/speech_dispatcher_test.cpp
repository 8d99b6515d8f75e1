// The dispatcher's worker over a fake service: the language a text is to be
// read in reaches the service before the text, and only when it changes.
#include "platform/speech_dispatcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace zelk {
namespace {

using namespace std::chrono_literals;

// What the service was asked, in order ("language ja", "say 一"); cancels
// are left out, as every Say begins with one.
struct ServiceLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> calls;
    int says = 0;

    void Add(const std::string& call, bool say) {
        {
            std::lock_guard lock(mutex);
            calls.push_back(call);
            says += say ? 1 : 0;
        }
        changed.notify_all();
    }
    // The calls once `count` texts have been said (or a while has passed).
    std::vector<std::string> AfterSays(int count) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, 10s, [&] { return says >= count; });
        return calls;
    }
};

class FakeClient : public SpeechClient {
public:
    FakeClient(ServiceLog& log, std::string language) : mLog(log), mLanguage(std::move(language)) {}
    Opened Open(const std::string&) override { return Opened::kConnected; }
    void Close() override {}
    bool Say(const std::string& text) override {
        mLog.Add("say " + text, true);
        return true;
    }
    bool Cancel() override { return true; }
    bool SetLanguage(const std::string& language) override {
        mLog.Add("language " + language, false);
        return true;
    }
    std::string Language() override { return mLanguage; }

private:
    ServiceLog& mLog;
    std::string mLanguage;
};

TEST(SpeechDispatcher, TheLanguageIsSetBeforeTheTextAndOnlyWhenItChanges) {
    ServiceLog log;
    const std::unique_ptr<Speech> speech =
        MakeSpeechDispatcher("test", std::make_unique<FakeClient>(log, "en"));
    ASSERT_TRUE(speech->Available());
    speech->Say("一", "ja");
    log.AfterSays(1);
    speech->Say("二", "ja");
    log.AfterSays(2);
    speech->Say("مرحبا", "ar");
    log.AfterSays(3);
    // None said: back to the language the connection began with.
    speech->Say("Hello", "");
    log.AfterSays(4);
    speech->Say("again", "");
    EXPECT_EQ(log.AfterSays(5),
              (std::vector<std::string>{"language ja", "say 一", "say 二", "language ar",
                                        "say مرحبا", "language en", "say Hello", "say again"}));
}

TEST(SpeechDispatcher, AServiceThatTellsNoLanguageIsLeftAsItIsWhereNoneIsSaid) {
    ServiceLog log;
    const std::unique_ptr<Speech> speech =
        MakeSpeechDispatcher("test", std::make_unique<FakeClient>(log, ""));
    ASSERT_TRUE(speech->Available());
    speech->Say("Hello", "");
    log.AfterSays(1);
    speech->Say("Bonjour", "fr");
    log.AfterSays(2);
    speech->Say("Hallo", "");
    EXPECT_EQ(log.AfterSays(3),
              (std::vector<std::string>{"say Hello", "language fr", "say Bonjour", "say Hallo"}));
}

}  // namespace
}  // namespace zelk
