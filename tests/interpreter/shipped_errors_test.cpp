// Outside debug mode a scenario error shows no box and writes no log: each
// leaves one line on standard error with its place, and the story goes on
// as it would have.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "common/message_box.h"
#include "common/process.h"
#include "interpreter/fake_interpreter_host.h"
#include "interpreter/interpreter.h"
#include "platform/translate.h"
#include "scenario/scenario_error_line.h"
#include "scenario/script.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

void Wait(clsInterpreter& intprt) {
    intprt.WaitMode(intprt.IsSkipping() ? kWaitSkipped : kWaitClick);
}

class ShippedErrors : public ::testing::Test {
protected:
    void SetUp() override {
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        Process().Debug.ScenarioFileMode = false;
        host.debugMode = false;
        host.systemInfo.KeySection("Instruction")
            .Text(host.systemInfo.KeySection("Instruction").Text() +
                  "\r\npause\t*\r\nitem\t*\t*\r\n");
        intprt.OverrideCommand("wait", Wait);
    }
    void TearDown() override { Process().Debug.ScenarioFileMode = false; }

    // Runs one step from the start of main and gives what reached standard
    // error.
    std::string Step(StepResult expected) {
        EXPECT_TRUE(intprt.Init());
        intprt.StepStart();
        EXPECT_TRUE(intprt.GoLabel("main."));
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(intprt.StepNext(), expected);
        return ::testing::internal::GetCapturedStderr();
    }

    testing::FakeInterpreterHost host;
    clsInterpreter intprt{host};
};

TEST_F(ShippedErrors, EachErrorLeavesOneLineAndTheStoryGoesOn) {
    host.AddScript("main",
                   "go nowhere\n"      // 1: an unknown label
                   "item あ\n"         // 2: a choice without its target
                   "pause 100, 200\n"  // 3: an argument too many
                   "dance\n"           // 4: a word the game does not know
                   "let a, 1\n"        // 5: runs on
                   "go other.gone\n"   // 6: a scenario the game lacks
                   "wait\n"
                   "there:\n"
                   "let b, 1\n");
    const std::string err = Step(StepResult::kWaiting);
    const auto line = [](const std::string& place, const std::string& message) {
        return "zelk: scenario error at " + place + ": " + message + "; the game goes on\n";
    };
    EXPECT_EQ(err, line("main:1 (packed)", "ラベル表現'nowhere'が不正です。") +
                       line("main:2 (packed)", "item命令の第2引数は省略できません。") +
                       line("main:3 (packed)", "pause命令の引数は1個までです。") +
                       line("main:4 (packed)", "未定義命令'dance'を実行しようとしました。") +
                       line("main:6 (packed)", "シナリオ'other'がロードできません。"));
    // The failed jumps went on to the next line; nothing was asked.
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(host.Var("b"), "0");
    EXPECT_TRUE(host.messages.empty());
}

// The lines come in the reader's language, the author's words of each error
// included; the program's own Japanese stays the Japanese catalogue's.
TEST_F(ShippedErrors, EachLineIsInTheReadersLanguage) {
    struct BuiltInAfter {
        ~BuiltInAfter() { Translator::Instance().Use(UiLanguage::kBuiltIn, ""); }
    } builtInAfter;
    host.AddScript("main", "go nowhere\nitem あ\npause 100, 200\ndance\ngo other.gone\nwait\n");
    if (!Translator::Instance().Use(UiLanguage::kEnglish, CatalogueFolder()))
        GTEST_SKIP() << "the catalogues are not built (no msgfmt)";
    const auto english = [](const std::string& place, const std::string& message) {
        return "zelk: scenario error at " + place + ": " + message + "; the game goes on\n";
    };
    EXPECT_EQ(Step(StepResult::kWaiting),
              english("main:1 (packed)", "the label 'nowhere' is not valid") +
                  english("main:2 (packed)", "the instruction item needs its argument 2") +
                  english("main:3 (packed)", "too many arguments for pause (at most 1)") +
                  english("main:4 (packed)", "unknown instruction 'dance'") +
                  english("main:5 (packed)", "cannot load the scenario 'other'"));

    ASSERT_TRUE(Translator::Instance().Use(UiLanguage::kJapanese, CatalogueFolder()));
    clsInterpreter again{host};
    again.OverrideCommand("wait", Wait);
    ASSERT_TRUE(again.Init());
    again.StepStart();
    ASSERT_TRUE(again.GoLabel("main."));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(again.StepNext(), StepResult::kWaiting);
    const std::string japanese = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(japanese.substr(0, japanese.find('\n')),
              "zelk: main:1 (packed) でシナリオのエラー (ゲームは続きます): "
              "ラベル表現'nowhere'が不正です。");
}

// A loop that fails each time round tells the terminal once.
TEST_F(ShippedErrors, TheSameErrorAtTheSamePlaceIsToldOnce) {
    // The label stands on the jump's own line in the regular form.
    host.AddScript("main", "top:\ngo nowhere\nup a\nif a < 3, top\nwait\n");
    const std::string err = Step(StepResult::kWaiting);
    EXPECT_EQ(err,
              "zelk: scenario error at main:1 (packed): ラベル表現'nowhere'が不正です。; the "
              "game goes on\n");
    EXPECT_EQ(host.Var("a"), "3");
}

// In debug mode the author has the box, the title and the log instead.
TEST_F(ShippedErrors, DebugModeShowsTheErrorInsteadOfWritingIt) {
    host.debugMode = true;
    host.AddScript("main", "go nowhere\nwait\n");
    const std::string err = Step(StepResult::kWaiting);
    EXPECT_EQ(err, "");
    EXPECT_FALSE(host.messages.empty());
}

// A loose scenario is named by its file and the line the author wrote.
TEST_F(ShippedErrors, ALooseScenarioIsNamedByItsFileAndLine) {
    const fs::path workspace = fs::path(::testing::TempDir()) / "zelk-shipped-errors";
    fs::remove_all(workspace);
    fs::create_directories(workspace / "scenario");
    std::ofstream(workspace / "scenario" / "main.txt", std::ios::binary)
        << Utf8ToCp932("// the start\r\n\r\nlet a, 1\r\n\r\ngo nowhere\r\nwait\r\n").value();
    Process().WorkspaceDir = workspace.string();
    Process().Debug.ScenarioFileMode = true;
    host.systemInfo.KeySection("TextBlock").Text("CharCount=20\r\nLineCount=3\r\n");
    const std::string err = Step(StepResult::kWaiting);
    EXPECT_EQ(err,
              "zelk: scenario error at main.txt:5: ラベル表現'nowhere'が不正です。; the game "
              "goes on\n");
    fs::remove_all(workspace);
}

TEST(ScenarioErrorPlace, APackedScriptIsNamedByTheLineOfItsRegularForm) {
    Script script;
    script.Init("s01", false);
    std::string error;
    ASSERT_TRUE(script.Parse("nop\r\nnop\r\nnop", error));
    EXPECT_EQ(ScenarioErrorPlace(script, 2), "s01:3 (packed)");
    script.Source("s01.txt", {4, 9, 12}, 14);
    EXPECT_EQ(ScenarioErrorPlace(script, 1), "s01.txt:9");
    EXPECT_EQ(ScenarioErrorPlace(script, 3), "s01.txt:14");
}

}  // namespace
}  // namespace zelk
