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
    void Say(const std::string& text, const std::string& language,
             std::chrono::milliseconds delay) override {
        said.push_back(text + "@" + std::to_string(delay.count()));
        languages.push_back(language);
    }
    void Cancel() override { ++cancels; }

    bool available = true;
    std::vector<std::string> said;
    std::vector<std::string> languages;
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

TEST_F(Aids, PagesAreReadInTheGamesLanguageOrTheOneTheirScriptTells) {
    view->MenuCmd("message", "voice");
    speech->languages.clear();
    // A game that declares its language has every page read in it.
    aids->GameLanguage("fr");
    aids->Page("Bonjour", 0);
    aids->Page("مرحبا", 0);
    aids->Choices("Oui\nNon");
    // Undeclared: a script of one main language tells it, others none.
    aids->GameLanguage("");
    aids->Page("مرحبا بالعالم، هذا نص عربي", 0);
    aids->Page("Hello, \"world\" 3", 0);
    aids->Page("吾輩は猫である。", 0);
    aids->Page("漢字", 0);
    // Announcements come from the player too: their script comes first.
    aids->GameLanguage("en");
    aids->Announce("ログ");
    aids->Announce("Save");
    EXPECT_EQ(speech->languages,
              (std::vector<std::string>{"fr", "fr", "fr", "ar", "", "ja", "", "ja", "en"}));
}

TEST(LanguageOfScript, ScriptsOfOneMainLanguageTellIt) {
    EXPECT_EQ(LanguageOfScript("「PC」でできる3日目"), "ja");
    EXPECT_EQ(LanguageOfScript("안녕하세요 世界"), "ko");
    EXPECT_EQ(LanguageOfScript("שלום עולם"), "he");
    EXPECT_EQ(LanguageOfScript("สวัสดี"), "th");
    EXPECT_EQ(LanguageOfScript("Καλημέρα"), "el");
    EXPECT_EQ(LanguageOfScript("The word سلام means peace"), "") << "most letters are Latin";
    EXPECT_EQ(LanguageOfScript("Привет"), "");
    EXPECT_EQ(LanguageOfScript("中文"), "");
    EXPECT_EQ(LanguageOfScript("123 …!?"), "");
    EXPECT_EQ(LanguageOfScript(""), "");
    EXPECT_EQ(LanguageOfScript("\xFF\xFEبا"), "ar") << "bad bytes are no letters";
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
