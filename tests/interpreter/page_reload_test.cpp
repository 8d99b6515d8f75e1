// The author's reload: the reader's place found again in an edited script,
// and the interpreter going back to the start of the page it shows.
#include "interpreter/page_reload.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/codepage.h"
#include "interpreter/command_fixture.h"
#include "scenario/scenario_converter.h"
#include "scenario/script.h"

namespace zelk::testing {
namespace {

namespace fs = std::filesystem;

// A script as the converter makes it from an author's text.
Script Converted(const std::string& source) {
    ScenarioConverter converter;
    converter.Init(40, 4, {});
    EXPECT_TRUE(converter.Assemble(source)) << converter.ErrMsg();
    Script script;
    script.Init("t", false);
    std::string error;
    EXPECT_TRUE(script.Parse(converter.RegularScript(), error)) << error;
    return script;
}

// The address of the text block with this text.
long BlockOf(const Script& script, const std::string& text) {
    for (int i = 0; i < script.Count(); ++i) {
        if (script.Element(i).find(text) != std::string::npos) return i;
    }
    return -1;
}

// The address of the first instruction with this word from `from` on.
long BlockAfter(const Script& script, const std::string& word, int from) {
    for (int i = from; i < script.Count(); ++i) {
        if (script.Word(i) == word) return i;
    }
    return -1;
}

// [SECTION] Finding the place again

const char* const kStory =
    "start:\r\nlet a, 1\r\n一頁目\r\n\\b\r\ncg st_a01_normal\r\n二頁目\r\n\\b\r\n"
    "middle:\r\n三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\nend:\r\n五頁目\r\n\\b\r\nreturn";

TEST(FindAgain, AnUneditedScriptKeepsEveryAddress) {
    const Script before = Converted(kStory);
    const Script after = Converted(kStory);
    for (int i = 0; i < before.Count(); ++i)
        EXPECT_EQ(FindAgain(before, i, after), i) << i;
}

TEST(FindAgain, AnEditedTextIsTheSameBlock) {
    const Script before = Converted(kStory);
    const Script after = Converted(
        "start:\r\nlet a, 1\r\n一頁目\r\n\\b\r\ncg "
        "st_a01_normal\r\n書き直した\r\n二頁目です\r\n\\b\r\n"
        "middle:\r\n三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\nend:\r\n五頁目\r\n\\b\r\nreturn");
    EXPECT_EQ(FindAgain(before, BlockOf(before, "二頁目"), after), BlockOf(after, "書き直した"));
}

TEST(FindAgain, LinesAddedAboveMoveThePlaceWithThem) {
    const Script before = Converted(kStory);
    const Script after = Converted(
        "// a new opening\r\nstart:\r\nbgm bgm_day\r\nlet a, 1\r\nlet b, 2\r\n一頁目\r\n\\b\r\n"
        "cg st_a01_normal\r\nse se_wave\r\n二頁目\r\n\\b\r\n"
        "middle:\r\nlet b, "
        "3\r\n三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\nend:\r\n五頁目\r\n\\b\r\nreturn");
    for (const char* page : {"一頁目", "二頁目", "三頁目", "四頁目", "五頁目"}) {
        EXPECT_EQ(FindAgain(before, BlockOf(before, page), after), BlockOf(after, page)) << page;
    }
    // Other instructions are found by their own kind.
    const long wait = BlockOf(before, "三頁目") + 1;
    EXPECT_EQ(after.Word(static_cast<int>(FindAgain(before, wait, after))), "wait");
    EXPECT_EQ(FindAgain(before, wait, after), BlockOf(after, "三頁目") + 1);
}

TEST(FindAgain, ANewLabelInsideTheStretchDoesNotLoseThePlace) {
    const Script before = Converted(kStory);
    const Script after = Converted(
        "start:\r\nlet a, 1\r\n一頁目\r\n\\b\r\nagain:\r\ncg st_a01_normal\r\n二頁目\r\n\\b\r\n"
        "middle:\r\n三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\nend:\r\n五頁目\r\n\\b\r\nreturn");
    EXPECT_EQ(FindAgain(before, BlockOf(before, "二頁目"), after), BlockOf(after, "二頁目"));
}

TEST(FindAgain, ALabelThatIsGoneCountsFromTheStart) {
    const Script before = Converted(kStory);
    const Script after = Converted(
        "start:\r\nlet a, 1\r\n一頁目\r\n\\b\r\ncg st_a01_normal\r\n二頁目\r\n\\b\r\n"
        "三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\nend:\r\n五頁目\r\n\\b\r\nreturn");
    EXPECT_EQ(FindAgain(before, BlockOf(before, "四頁目"), after), BlockOf(after, "四頁目"));
}

TEST(FindAgain, WithFewerBlocksTheLastOfTheStretchIsTaken) {
    const Script before = Converted(kStory);
    const Script after = Converted(
        "start:\r\nlet a, "
        "1\r\n一頁目\r\n\\b\r\nmiddle:\r\n三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\n"
        "end:\r\n五頁目\r\n\\b\r\nreturn");
    // The second page is gone: the first is the last one before "middle".
    EXPECT_EQ(FindAgain(before, BlockOf(before, "二頁目"), after), BlockOf(after, "一頁目"));
    // No text left in the stretch at all: its label.
    const Script bare = Converted(
        "start:\r\nlet a, "
        "1\r\nmiddle:\r\n三頁目\r\n\\b\r\nwait\r\n四頁目\r\n\\b\r\nend:\r\n五頁目\r\n\\b");
    EXPECT_EQ(FindAgain(before, BlockOf(before, "二頁目"), bare), bare.LabelAddress("start"));
}

TEST(FindAgain, OutsideTheScriptStaysOutside) {
    const Script before = Converted(kStory);
    const Script shorter = Converted("start:\r\n一頁目\r\n\\b");
    EXPECT_EQ(FindAgain(before, before.Count(), shorter), shorter.Count());
    EXPECT_EQ(FindAgain(before, -1, shorter), 0);
}

// [SECTION] Where choices and buttons start

TEST(ChoicesStart, ChoicesStartAtTheirFirstItem) {
    const Script script = Converted(
        "一頁目\r\n\\b\r\nitem 右へ, t.right\r\nitem 左へ, t.left\r\nselect\r\n"
        "er 0, 0, 10, 10, t.a\r\nercg a01, t.b\r\nselecter\r\nwait\r\nselect");
    EXPECT_EQ(ChoicesStart(script, 3), 1);
    EXPECT_EQ(ChoicesStart(script, 6), 4);
    // Any other wait, or a wait with nothing made right before it, is its
    // own start.
    EXPECT_EQ(ChoicesStart(script, 7), 7);
    EXPECT_EQ(ChoicesStart(script, 8), 8);
    EXPECT_EQ(ChoicesStart(script, 0), 0);
}

TEST(ChoicesStart, ConditionalItemsBelongToTheRun) {
    const Script script = Converted(
        "一頁目\r\n\\b\r\nif a\r\nitem 右へ, t.right\r\nendif\r\nitem 左へ, t.left\r\n"
        "if b\r\nitem 上へ, t.up\r\nelse\r\nitem 下へ, t.down\r\nendif\r\nselect\r\n"
        "let a, 1\r\nif a\r\nlet b, 1\r\nendif\r\nselect");
    EXPECT_EQ(script.Word(1), "if");
    EXPECT_EQ(ChoicesStart(script, BlockAfter(script, "select", 0)), 1);
    // A label ends the run: the reader may have jumped in there.
    const Script jumped = Converted("item 右へ, t.right\r\nin:\r\nitem 左へ, t.left\r\nselect");
    EXPECT_EQ(ChoicesStart(jumped, 2), 1);
    // Jumps and closings with no item among them make no choices.
    EXPECT_EQ(ChoicesStart(script, script.Count() - 1), script.Count() - 1);
}

// [SECTION] The interpreter going back to the page

class ReloadPage : public CommandTest {
protected:
    // Runs the archive script "t" from its start up to its first wait.
    void Start(const std::string& source) {
        host.AddScript("t", source);
        ASSERT_TRUE(intprt.Init());
        intprt.StepStart();
        ASSERT_TRUE(intprt.GoLabel("t.0"));
        intprt.StepNext();
    }
    // The author saves the edited text and presses the key: the page waits
    // for its click, which the test gives.
    PageReload Reload(const std::string& source) {
        host.AddScript("t", source);
        const PageReload reload = intprt.ReloadPage();
        if (reload != PageReload::kKept) {
            EXPECT_EQ(intprt.WaitMode(), kWaitClick);
            EXPECT_EQ(host.window.text, "") << "the window is cleared for the page";
        }
        return reload;
    }
};

TEST_F(ReloadPage, TheEditedPageShowsAgainWithTheVariablesKept) {
    Start("let a, 7\r\n一頁目\r\n\\b\r\nup b\r\n二頁目\r\n\\b\r\nwait");
    intprt.StepNext();
    ASSERT_EQ(host.window.text, "　二頁目");
    ASSERT_EQ(host.Var("b"), "1");

    EXPECT_EQ(
        Reload(
            "let a, 7\r\n一頁目\r\n\\b\r\nup b\r\nse se_wave\r\n書き直した二頁目\r\n\\b\r\nwait"),
        PageReload::kPage);
    EXPECT_EQ(intprt.Address(), 4);
    intprt.StepNext();
    EXPECT_EQ(host.window.text, "　書き直した二頁目");
    EXPECT_EQ(host.Var("a"), "7");
    // Only the page ran again, not what came before it.
    EXPECT_EQ(host.Var("b"), "1");
    EXPECT_EQ(intprt.CurrentScript()->Count(), 6);
}

TEST_F(ReloadPage, APageCutByAWaitStartsAgainFromItsBeginning) {
    Start("一\r\n\\w二\r\n\\b\r\nwait");
    ASSERT_EQ(intprt.RestText(), "二");
    EXPECT_EQ(Reload("壱\r\n\\w弐\r\n\\b\r\nwait"), PageReload::kPage);
    EXPECT_TRUE(intprt.RestText().empty());
    intprt.StepNext();
    EXPECT_EQ(host.window.text, "　壱");
    EXPECT_EQ(intprt.RestText(), "弐");
}

TEST_F(ReloadPage, AWaitAfterTheTextGoesBackToTheText) {
    Start("一頁目\r\n\\b\r\nup a\r\nwait\r\n二頁目\r\n\\b");
    intprt.StepNext();
    ASSERT_EQ(host.Var("a"), "1");
    EXPECT_EQ(Reload("一頁目です\r\n\\b\r\nup a\r\nwait\r\n二頁目\r\n\\b"), PageReload::kPage);
    EXPECT_EQ(intprt.Address(), 0);
}

TEST_F(ReloadPage, WithTheWindowClearedTheWaitingInstructionRunsAgain) {
    Start("一頁目\r\n\\b\r\npt\r\nwait\r\n二頁目\r\n\\b");
    intprt.StepNext();
    ASSERT_EQ(host.window.text, "");
    EXPECT_EQ(Reload("一頁目\r\n\\b\r\npt\r\nlet a, 1\r\nwait\r\n二頁目\r\n\\b"),
              PageReload::kPage);
    EXPECT_EQ(intprt.Address(), 3);
}

TEST_F(ReloadPage, AChoiceIsMadeAgainFromItsFirstItem) {
    Start(
        "一頁目\r\n\\b\r\nitem 右へ, t.right\r\nitem 左へ, t.left\r\nselect\r\n"
        "right:\r\n右\r\n\\b\r\nleft:\r\n左\r\n\\b");
    intprt.StepNext();
    ASSERT_EQ(intprt.WaitMode(), kWaitChoice);
    host.window.choices.clear();  // what the game mode does before the page runs
    EXPECT_EQ(Reload("一頁目\r\n\\b\r\nitem 右の道へ, t.right\r\nitem 左へ, t.left\r\nselect\r\n"
                     "right:\r\n右\r\n\\b\r\nleft:\r\n左\r\n\\b"),
              PageReload::kChoices);
    EXPECT_EQ(intprt.Address(), 1);
    intprt.StepNext();
    ASSERT_EQ(host.window.choices.size(), 2u);
    EXPECT_EQ(host.window.choices[0].first, "・右の道へ");
    EXPECT_EQ(intprt.WaitMode(), kWaitChoice);
}

TEST_F(ReloadPage, AfterALoadThePageIsTheBlockBeforeTheSavedPlace) {
    Start("一頁目\r\n\\b\r\nup a\r\n二頁目\r\n\\b\r\nwait");
    intprt.StepNext();
    intprt.SaveStatus();
    intprt.StepStart();
    intprt.LoadStatus();
    host.window.text = "　二頁目";  // the graphics driver restores the page
    EXPECT_EQ(Reload("一頁目\r\n\\b\r\nup a\r\n二頁目です\r\n\\b\r\nwait"), PageReload::kPage);
    EXPECT_EQ(intprt.Address(), 2);
}

TEST_F(ReloadPage, AScriptThatCannotBeReadKeepsTheOldOneRunning) {
    Start("一頁目\r\n\\b\r\n二頁目\r\n\\b");
    const auto script = intprt.CurrentScript();
    const long address = intprt.Address();
    host.archive.erase("t");
    EXPECT_EQ(intprt.ReloadPage(), PageReload::kKept);
    EXPECT_EQ(intprt.CurrentScript(), script);
    EXPECT_EQ(intprt.Address(), address);
    EXPECT_EQ(host.window.text, "　一頁目");

    // Before any scenario there is nothing to reload.
    clsInterpreter fresh{host};
    EXPECT_EQ(fresh.ReloadPage(), PageReload::kKept);
}

TEST_F(ReloadPage, ReturnAddressesFollowTheEditedCaller) {
    host.AddScript("main", "let a, 1\r\ncall t.0\r\nup a\r\nwait");
    host.AddScript("t", "一頁目\r\n\\b\r\nreturn");
    ASSERT_TRUE(intprt.Init());
    intprt.StepStart();
    ASSERT_TRUE(intprt.GoLabel("main.0"));
    intprt.StepNext();
    ASSERT_EQ(intprt.CallStack(), std::vector<std::string>{"main.2"});

    host.AddScript("main", "// new\r\nlet a, 1\r\nlet b, 5\r\ncall t.0\r\nup a\r\nwait");
    EXPECT_EQ(Reload("一頁目です\r\n\\b\r\nreturn"), PageReload::kPage);
    EXPECT_EQ(intprt.CallStack(), std::vector<std::string>{"main.3"});
    intprt.StepNext();
    intprt.StepNext();
    EXPECT_EQ(host.Var("a"), "2");
    EXPECT_EQ(host.Var("b"), "0");
}

TEST_F(ReloadPage, TheErrorShownIsClearedByTheReloadAndByTheNextPage) {
    Start("一頁目\r\n\\b\r\n二頁目\r\n\\b");
    host.errorClears = 0;
    intprt.StepNext();
    EXPECT_EQ(host.errorClears, 1);
    Reload("一頁目\r\n\\b\r\n二頁目\r\n\\b");
    EXPECT_EQ(host.errorClears, 2);
}

// [SECTION] Where a run-time error stands

TEST_F(ReloadPage, ARunTimeErrorInAnArchivedScriptNamesTheElement) {
    Start("nop\r\ngo nowhere\r\nwait");
    EXPECT_EQ(host.scenarioErrors,
              std::vector<std::string>{"t 第2要素: ラベル表現'nowhere'が不正です。"});
    // The fixed lines of the log come first, unchanged.
    ASSERT_GE(host.log.size(), 4u);
    EXPECT_EQ(host.log[1], "実行時エラー : 第2要素");
}

TEST_F(ReloadPage, RunTimeErrorsStaySilentOutsideDebugMode) {
    host.debugMode = false;
    Start("go nowhere\r\nwait");
    EXPECT_TRUE(host.scenarioErrors.empty());
}

class LooseReload : public ReloadPage {
protected:
    void SetUp() override {
        ReloadPage::SetUp();
        folder = fs::path(::testing::TempDir()) / "zelk-page-reload";
        fs::remove_all(folder);
        fs::create_directories(folder / "scenario");
        Process().WorkspaceDir = folder.string();
        Process().Debug.ScenarioFileMode = true;
    }
    void TearDown() override {
        Process().Debug.ScenarioFileMode = false;
        fs::remove_all(folder);
        ReloadPage::TearDown();
    }
    void Write(const std::string& text) {
        std::ofstream(folder / "scenario" / "S01.txt", std::ios::binary)
            << Utf8ToCp932(text).value();
    }
    fs::path folder;
};

TEST_F(LooseReload, ARunTimeErrorNamesTheFileAndLine) {
    Write("// scene one\r\nstart:\r\n\r\ngo nowhere\r\nwait");
    ASSERT_TRUE(intprt.Init());
    intprt.StepStart();
    ASSERT_TRUE(intprt.GoLabel("s01.start"));
    intprt.StepNext();
    EXPECT_EQ(host.scenarioErrors,
              std::vector<std::string>{"S01.txt:4: ラベル表現'nowhere'が不正です。"});
}

TEST_F(LooseReload, AnEditThatNoLongerConvertsIsShownAndTheOldPageStays) {
    Write("一頁目\r\n\\b\r\n二頁目\r\n\\b");
    ASSERT_TRUE(intprt.Init());
    intprt.StepStart();
    ASSERT_TRUE(intprt.GoLabel("s01.0"));
    intprt.StepNext();
    const auto script = intprt.CurrentScript();

    Write("一頁目\r\n\\b\r\nif a\r\n二頁目\r\n\\b");
    EXPECT_EQ(intprt.ReloadPage(), PageReload::kKept);
    EXPECT_EQ(host.scenarioErrors, std::vector<std::string>{"S01.txt:5: if without endif"});
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(intprt.CurrentScript(), script);
    EXPECT_EQ(host.window.text, "　一頁目");

    // Fixed, the next reload shows the page.
    Write("一頁目だ\r\n\\b\r\n二頁目\r\n\\b");
    EXPECT_EQ(intprt.ReloadPage(), PageReload::kPage);
    intprt.StepNext();
    EXPECT_EQ(host.window.text, "　一頁目だ");
}

}  // namespace
}  // namespace zelk::testing
