// The reader's aids as the view offers them: the three new items of the
// メッセージ menu, the keys and the trigger that go back a page, and what
// reaches the clipboard and the speech service under the reader's settings.
#include "view/reader_aids.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "view/view_test_support.h"

namespace zelk::testing {
namespace {

class FakeSpeech : public Speech {
public:
    bool Available() override { return available; }
    std::string Problem() const override { return available ? "" : "no service"; }
    void Say(const std::string& text, std::chrono::milliseconds delay) override {
        said.push_back(text + "@" + std::to_string(delay.count()));
    }
    void Cancel() override { ++cancels; }

    bool available = true;
    std::vector<std::string> said;
    int cancels = 0;
};

class FakeClipboard : public Clipboard {
public:
    bool Put(const std::string& text) override {
        copied.push_back(text);
        return true;
    }
    std::vector<std::string> copied;
};

class Aids : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        MakeConfig("TextSpeed=2\r\n");
        auto speechPart = std::make_unique<FakeSpeech>();
        auto clipboardPart = std::make_unique<FakeClipboard>();
        speech = speechPart.get();
        clipboard = clipboardPart.get();
        aids = std::make_unique<ReaderAids>(*root.cfg, std::move(speechPart),
                                            std::move(clipboardPart));
        root.aids = aids.get();
    }
    void TearDown() override {
        root.aids = nullptr;
        aids.reset();
        ViewTest::TearDown();
    }
    ViewMenuItem& Item(const std::string& tag) { return *view->MenuItem(tag); }

    FakeSpeech* speech = nullptr;
    FakeClipboard* clipboard = nullptr;
    std::unique_ptr<ReaderAids> aids;
};

TEST_F(Aids, BothAreOffUntilTheReaderTurnsThemOn) {
    EXPECT_EQ(root.cfg->LongVal("RollbackPages"), 100);
    aids->Page("一", 0);
    aids->Choices("右へ\n左へ");
    aids->Announce("タイトル");
    EXPECT_TRUE(clipboard->copied.empty());
    EXPECT_TRUE(speech->said.empty());

    view->MenuCmd("message", "clipboard");
    EXPECT_TRUE(Item("message!clipboard").Checked);
    aids->Page("一", 1200);
    aids->Choices("右へ\n左へ");
    aids->Announce("タイトル");
    EXPECT_EQ(clipboard->copied, (std::vector<std::string>{"一", "右へ\n左へ"}));
    EXPECT_TRUE(speech->said.empty());

    view->MenuCmd("message", "voice");
    EXPECT_TRUE(Item("message!voice").Checked);
    EXPECT_TRUE(root.cfg->BoolVal(kSelfVoicingKey));
    aids->Page("二", 1200);
    aids->Announce("ログ");
    // Turned on, it says so first; a page waits for its character's voice.
    EXPECT_EQ(speech->said, (std::vector<std::string>{"読み上げ@0", "二@1200", "ログ@0"}));

    view->MenuCmd("message", "voice");
    EXPECT_FALSE(Item("message!voice").Checked);
    EXPECT_EQ(speech->cancels, 1);
    view->MenuCmd("message", "clipboard");
    EXPECT_FALSE(root.cfg->BoolVal(kTextToClipboardKey));
}

TEST_F(Aids, WithoutAServiceTheVoiceItemIsDisabledAndSaysWhy) {
    speech->available = false;
    view->UpdateReaderItems();
    EXPECT_FALSE(Item("message!voice").Enabled);
    EXPECT_EQ(Item("message!voice").Tooltip, "no service");
    EXPECT_TRUE(Item("message!clipboard").Enabled);
    speech->available = true;
    view->UpdateReaderItems();
    EXPECT_TRUE(Item("message!voice").Enabled);
    EXPECT_TRUE(Item("message!voice").Tooltip.empty());
}

TEST_F(Aids, GoingBackIsAReadingMenuItem) {
    view->MenuEnableByText("message!log,message!back");
    EXPECT_TRUE(Item("message!back").Enabled);
    view->MenuEnableByText("message!log");
    EXPECT_FALSE(Item("message!back").Enabled);
    view->MenuCmd("message", "back");
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].event, kCmdPageBack);
}

SDL_Event Trigger(Sint16 value) {
    SDL_Event event{};
    event.type = SDL_CONTROLLERAXISMOTION;
    event.caxis.axis = SDL_CONTROLLER_AXIS_TRIGGERLEFT;
    event.caxis.value = value;
    return event;
}

TEST_F(Aids, PageUpAndTheLeftTriggerGoBackPageDownReadsOn) {
    view->HandleEvent(Key(SDLK_PAGEUP));
    view->HandleEvent(Key(SDLK_PAGEDOWN));
    // A trigger pressed slowly, held, let go and pressed again.
    for (const Sint16 value : {8000, 20000, 32767, 30000, 12000, 20000, 0, 32767})
        view->HandleEvent(Trigger(value));
    std::vector<long> events;
    for (const RaisedCommand& c : root.commands)
        events.push_back(c.event);
    EXPECT_EQ(events, (std::vector<long>{kCmdPageBack, kCmdClick, kCmdPageBack, kCmdPageBack}));
}

}  // namespace
}  // namespace zelk::testing
