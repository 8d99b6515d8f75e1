#include "interpreter/interpreter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "common/message_box.h"
#include "interpreter/fake_interpreter_host.h"
#include "settings/ini_section.h"

namespace zelk {
namespace {

using Marks = std::vector<std::pair<std::string, long>>;

// A wait as the text commands make it: passed over in skip mode.
void Wait(clsInterpreter& intprt) {
    intprt.WaitMode(intprt.IsSkipping() ? kWaitSkipped : kWaitClick);
}

class InterpreterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        Process().Debug.ScenarioFileMode = false;
        host.debugMode = true;
        intprt.OverrideCommand("wait", Wait);
    }
    void TearDown() override {
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
    }

    void Start(const std::string& source, const std::string& entry = "main.") {
        host.AddScript("main", source);
        ASSERT_TRUE(intprt.Init());
        intprt.StepStart();
        ASSERT_TRUE(intprt.GoLabel(entry));
    }

    testing::FakeInterpreterHost host;
    clsInterpreter intprt{host};
};

// [SECTION] The step loop

TEST_F(InterpreterTest, AStepRunsUntilAnInstructionWaits) {
    Start("let a, 1\r\nadd b, a, 2\r\nwait\r\nup a");
    EXPECT_EQ(intprt.StepNext(), StepResult::kWaiting);
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(host.Var("b"), "3");
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
    EXPECT_EQ(intprt.Address(), 3);
    EXPECT_TRUE(host.eventEnabled);
    EXPECT_EQ(host.menus,
              "file!saveload,file!qsave,file!qload,file!title,message!skip,message!auto,"
              "message!log");
    EXPECT_EQ(host.executed, (Marks{{"main", 0}, {"main", 1}, {"main", 2}}));
    EXPECT_EQ(host.pumps, 3);
    EXPECT_FALSE(host.cursorVisible);
}

TEST_F(InterpreterTest, TheEndOfTheScriptClosesThePlayer) {
    Start("nop");
    EXPECT_EQ(intprt.StepNext(), StepResult::kEnded);
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(intprt.WaitMode(), kWaitRunning);
    EXPECT_TRUE(host.eventEnabled);
    EXPECT_EQ(host.messages, std::vector<std::string>{"実行がスクリプトの終端に至りました。"});
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"#############################", "実行時エラー : 第2要素",
                                        "実行がスクリプトの終端に至りました。",
                                        "#############################"}));
    EXPECT_EQ(host.logSaves, 1);
}

TEST_F(InterpreterTest, OutsideDebugModeTheEndOfTheScriptIsToldBeforeThePlayerCloses) {
    host.debugMode = false;
    Start("nop");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(intprt.StepNext(), StepResult::kEnded);
    const std::string terminal = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(host.messages, std::vector<std::string>{"実行がスクリプトの終端に至りました。"});
    EXPECT_EQ(terminal, "zelk: the scenario ran past its end (at main.1): the player closes\n");
    EXPECT_TRUE(host.log.empty());
}

TEST_F(InterpreterTest, RunTimeErrorsAreSilentOutsideDebugMode) {
    host.debugMode = false;
    Start("return\r\nwait");
    EXPECT_EQ(intprt.StepNext(), StepResult::kWaiting);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(intprt.Address(), 2);
}

TEST_F(InterpreterTest, NothingRunsWhileThePlayerCloses) {
    Start("let a, 1\r\nwait");
    Process().ShutdownRequested = true;
    EXPECT_EQ(intprt.StepNext(), StepResult::kEnded);
    EXPECT_EQ(host.Var("a"), "0");
    EXPECT_FALSE(host.eventEnabled);
}

TEST_F(InterpreterTest, ACloseDuringTheEventPumpStopsBeforeTheInstruction) {
    Start("let a, 1\r\nwait");
    host.onPump = [] { Process().ShutdownRequested = true; };
    EXPECT_EQ(intprt.StepNext(), StepResult::kEnded);
    EXPECT_EQ(host.Var("a"), "0");
    EXPECT_TRUE(host.executed.empty());
}

TEST_F(InterpreterTest, ALoadDuringTheEventPumpAbandonsTheStep) {
    Start("let a, 1\r\nwait");
    host.onPump = [] { Process().StatusRestored = true; };
    EXPECT_EQ(intprt.StepNext(), StepResult::kRestored);
    EXPECT_EQ(host.Var("a"), "0");
    EXPECT_EQ(intprt.Address(), 0);
}

TEST_F(InterpreterTest, AWaitWithDrawingStoppedIsReported) {
    Start("wait");
    host.drawActivity = false;
    intprt.StepNext();
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"描画停止状態でのクリック待ちは禁止されています。"});
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
}

TEST_F(InterpreterTest, AutoModeArmsTheAutoClickAtARealWait) {
    Start("wait\r\nwait");
    host.config["TextAutoClick"] = true;
    intprt.OverrideCommand("wait", [](clsInterpreter& i) {
        i.LastAutoClickTimer(1500);
        i.WaitMode(kWaitClick);
    });
    intprt.StepNext();
    EXPECT_EQ(host.autoClicks, std::vector<long>{1500});
    host.config["TextAutoClick"] = false;
    intprt.StepNext();
    EXPECT_EQ(host.autoClicks.size(), 1u);
}

// Commands are plain functions; this is how one reaches the fake host.
testing::FakeInterpreterHost* gHost = nullptr;

TEST_F(InterpreterTest, AStepThatSwitchedTheModeLeavesItsMenusAndAutoClickAlone) {
    Start("playending 100, a, b, c\r\nwait");
    host.config["TextAutoClick"] = true;
    gHost = &host;
    intprt.OverrideCommand("playending", [](clsInterpreter& i) {
        ++gHost->modeSerial;
        gHost->menus = "as the new mode left them";
        i.WaitMode(kWaitClick);
    });
    EXPECT_EQ(intprt.StepNext(), StepResult::kWaiting);
    EXPECT_EQ(host.menus, "as the new mode left them");
    EXPECT_TRUE(host.autoClicks.empty());
    EXPECT_TRUE(host.eventEnabled);
    // The next step, in the game again, sets them as usual.
    intprt.StepNext();
    EXPECT_EQ(host.autoClicks.size(), 1u);
    EXPECT_NE(host.menus, "as the new mode left them");
}

TEST_F(InterpreterTest, MenusFollowTheModeAndMovies) {
    Start("wait\r\nplaymovie op.mpg\r\nwait");
    intprt.OverrideCommand("playmovie", Wait);
    host.replay = true;
    intprt.StepNext();
    EXPECT_EQ(host.menus, "file!title,message!skip,message!auto,message!log");
    intprt.StepNext();
    EXPECT_EQ(host.menus, "");
}

// [SECTION] Preparing the arguments

TEST_F(InterpreterTest, UnknownWordsAskWhetherToQuit) {
    Start("jump x\r\nlet a, 1\r\nwait");
    host.answers = {kResultNo};
    EXPECT_EQ(intprt.StepNext(), StepResult::kWaiting);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"未定義命令'jump'を実行しようとしました。",
                                                       "終了しますか"}));
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(host.closes, 0);
}

TEST_F(InterpreterTest, QuittingAtAnErrorClosesThePlayer) {
    Start("fade\r\nlet a, 1\r\nwait");
    host.answers = {kResultOK, kResultYes};
    EXPECT_EQ(intprt.StepNext(), StepResult::kEnded);
    EXPECT_EQ(host.messages[0], "未実装命令'fade'を実行しようとしました。");
    EXPECT_EQ(host.closes, 1);
    EXPECT_EQ(host.Var("a"), "0");
    EXPECT_EQ(intprt.Address(), 0);
}

// A damaged scenario must not end the reader's game where no one sees
// why: outside debug mode the faulty instruction is passed over quietly.
TEST_F(InterpreterTest, OutsideDebugModeFaultyInstructionsAskNothingAndTheStoryGoesOn) {
    host.debugMode = false;
    Start("jump x\r\nfade\r\nup a, 1, 2\r\ngo nowhere\r\nlet a, 1\r\nwait");
    host.answers = {kResultYes, kResultYes, kResultYes, kResultYes};
    EXPECT_EQ(intprt.StepNext(), StepResult::kWaiting);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.closes, 0);
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(intprt.Address(), 6);
}

TEST_F(InterpreterTest, ArgumentCountsAreChecked) {
    Start("up a, 1, 2\r\nlet a\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"up命令の引数は2個までです。", "終了しますか",
                                        "let命令の第2引数は省略できません。", "終了しますか"}));
    EXPECT_EQ(intprt.Address(), 3);
}

// [SECTION] Skipping and read marks

TEST_F(InterpreterTest, CtrlSkipsWithoutEffectsWhenConfigured) {
    Start("wait\r\nwait\r\nwait");
    host.ctrl = true;
    host.config["SkipGrpEffect"] = true;
    long effect = -1;
    static long* seen = nullptr;
    seen = &effect;
    intprt.OverrideCommand("wait", [](clsInterpreter& i) {
        *seen = i.EffectTime();
        Wait(i);
    });
    intprt.StepNext();
    EXPECT_EQ(effect, 0);
    EXPECT_EQ(host.closes, 1);
}

TEST_F(InterpreterTest, SkipModeStopsAtTheFirstUnreadInstruction) {
    Start("let a, 1\r\nwait\r\nwait\r\nlet b, 1\r\nwait");
    host.skipMode = true;
    host.config["SkipStopUnread"] = true;
    host.read = {{"main", 0}, {"main", 1}};
    intprt.StepNext();
    EXPECT_FALSE(host.skipMode);
    EXPECT_EQ(intprt.Address(), 3);
    EXPECT_EQ(host.Var("b"), "0");
    EXPECT_TRUE(host.CmdExists("main", 2));
}

TEST_F(InterpreterTest, SkipModeRunsOnWhenUnreadTextMayBeSkipped) {
    Start("wait\r\nwait\r\nlet b, 1\r\nwait");
    host.skipMode = true;
    host.config["SkipStopUnread"] = false;
    intprt.OverrideCommand("wait", [](clsInterpreter& i) {
        i.WaitMode(i.Address() == 3 ? kWaitClick : kWaitSkipped);
    });
    intprt.StepNext();
    EXPECT_TRUE(host.skipMode);
    EXPECT_EQ(host.Var("b"), "1");
    EXPECT_EQ(intprt.Address(), 4);
}

// [SECTION] Jumps and label expressions

TEST_F(InterpreterTest, ANumberIsAnAddressEvenWhenALabelHasItsName) {
    Start("nop\r\n1:nop\r\nnop\r\nwait");
    ASSERT_TRUE(intprt.GoLabel("2"));
    EXPECT_EQ(intprt.Address(), 2);
    ASSERT_TRUE(intprt.GoLabel("MAIN.3"));
    EXPECT_EQ(intprt.Address(), 3);
    ASSERT_TRUE(intprt.GoLabel("main."));
    EXPECT_EQ(intprt.Address(), 0);
}

TEST_F(InterpreterTest, BadLabelExpressionsChangeNothing) {
    Start("nop\r\nhere:wait");
    host.AddScript("other", "nop");
    ASSERT_TRUE(intprt.GoLabel("here"));
    EXPECT_FALSE(intprt.GoLabel(""));
    EXPECT_FALSE(intprt.GoLabel("a.b.c"));
    EXPECT_FALSE(intprt.GoLabel("missing.start"));
    EXPECT_FALSE(intprt.GoLabel("other.nowhere"));
    EXPECT_EQ(intprt.CurrentScript()->Name(), "main");
    EXPECT_EQ(intprt.Address(), 1);
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"ラベル表現が空欄です。", "ラベル表現'a.b.c'が不正です。",
                                        "シナリオ'missing'がロードできません。",
                                        "ラベル表現'other.nowhere'が不正です。"}));
}

TEST_F(InterpreterTest, GoJumpsToTheTargetItself) {
    Start("go Skip\r\nlet a, 1\r\nskip:let b, 1\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.Var("a"), "0");
    EXPECT_EQ(host.Var("b"), "1");
}

TEST_F(InterpreterTest, AFailedGoAsksAndGoesOnWithNo) {
    Start("go nowhere\r\nlet a, 1\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"ラベル表現'nowhere'が不正です。", "終了しますか"}));
    EXPECT_EQ(host.Var("a"), "1");
}

TEST_F(InterpreterTest, CallAndReturnCrossScripts) {
    host.AddScript("sub", "nop\r\nentry:\r\nlet y, 1\r\nreturn");
    Start("call sub.entry\r\nlet x, 2\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.Var("y"), "1");
    EXPECT_EQ(host.Var("x"), "2");
    EXPECT_EQ(intprt.CurrentScript()->Name(), "main");
    EXPECT_TRUE(intprt.CallStack().empty());
    EXPECT_EQ(host.executed,
              (Marks{{"main", 0}, {"sub", 1}, {"sub", 2}, {"main", 1}, {"main", 2}}));
}

TEST_F(InterpreterTest, ReturnRightAfterCallContinuesAfterTheCall) {
    Start("call back\r\nlet a, 1\r\nwait\r\nback:return");
    intprt.StepNext();
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(intprt.Address(), 3);
}

TEST_F(InterpreterTest, AFailedCallLeavesNoReturnAddress) {
    Start("call nowhere\r\nwait");
    intprt.StepNext();
    EXPECT_TRUE(intprt.CallStack().empty());
}

// A scenario that calls without returning meets a limit: the call past it
// is a run-time error naming its place, and the story goes on after it as
// after any failed instruction. A save made then holds no more than the
// limit, and a save holding more loads its innermost calls.
TEST_F(InterpreterTest, CallsWithoutReturnStopAtTheLimitAndTheStoryGoesOn) {
    host.saveData.KeySection("Var").KeyValue("n", "0");
    host.saveData.KeySection("Var").KeyValue("done", "0");
    Start("again:up n\r\nif n >= 20000, over\r\ncall again\r\nover:let done, 1\r\nwait");
    EXPECT_EQ(intprt.StepNext(), StepResult::kWaiting);
    const size_t limit = 10000;
    EXPECT_EQ(host.Var("n"), std::to_string(limit + 1));
    EXPECT_EQ(host.Var("done"), "1");
    EXPECT_EQ(intprt.CallStack().size(), limit);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{
                  "callの入れ子が10000段を超えました。returnせずにcallを繰り返していませんか。 : "
                  "main 第3要素"});
    EXPECT_EQ(host.pumps, 3 * static_cast<int>(limit + 1) + 2) << "events answered throughout";

    intprt.SaveStatus();
    const std::string saved = host.IntprtStatus()->KeyValue("Stack");
    EXPECT_EQ(static_cast<size_t>(std::count(saved.begin(), saved.end(), ',')), limit - 1);

    host.IntprtStatus()->KeyValue("Stack", "main.9," + saved + ",main.1");
    intprt.LoadStatus();
    ASSERT_EQ(intprt.CallStack().size(), limit);
    EXPECT_EQ(intprt.CallStack().back(), "main.1");
    EXPECT_EQ(intprt.CallStack().front(), "main.3");
}

TEST_F(InterpreterTest, ReturnWithAnEmptyStackIsReported) {
    Start("return\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"スタックが空の状態でreturnしようとしました。"});
}

TEST_F(InterpreterTest, IfFallsThroughOnBothOutcomesWithAbsentLabels) {
    Start("if a == 0,,\r\nlet x, 1\r\nif a == 1\r\nlet y, 1\r\nendif\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.Var("x"), "1");
    EXPECT_EQ(host.Var("y"), "0");
}

TEST_F(InterpreterTest, IfBlocksPickOneBranch) {
    Start(
        "let a, 2\r\nif a == 1\r\nlet x, 1\r\nelseif a == 2\r\nlet x, 2\r\nelse\r\nlet x, 3\r\n"
        "endif\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.Var("x"), "2");
}

TEST_F(InterpreterTest, GoSelectedItemWaitsForAClick) {
    Start("nop\r\nchoice:wait");
    intprt.WaitMode(kWaitChoice);
    intprt.GoSelectedItem("choice");
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
    EXPECT_EQ(intprt.Address(), 1);
}

// [SECTION] Variables

TEST_F(InterpreterTest, AFailedLetStillStoresTheEmptyText) {
    Start("let msg, \"hello\"\r\nlet msg, nothing\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.Var("msg"), "");
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"ValueExp(src) '値表現が不正です' let\tmsg\tnothing"});
}

TEST_F(InterpreterTest, LetIntoAnUnknownNameIsReported) {
    Start("let ghost, 1\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.messages, std::vector<std::string>{
                                 "ValueExp(dst) '値表現が設定対象として不正です。' let\tghost\t1"});
    EXPECT_FALSE(host.saveData.KeySection("Var").KeyExists("ghost"));
}

TEST_F(InterpreterTest, ArithmeticStepsDefaultToOne) {
    Start("add a, 5, 2\r\nsub b, a, 10\r\nup a\r\ndown b, 0\r\nup x, 3\r\ndown y\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.Var("a"), "8");
    EXPECT_EQ(host.Var("b"), "-3");
    EXPECT_EQ(host.Var("x"), "3");
    EXPECT_EQ(host.Var("y"), "-1");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(InterpreterTest, ArithmeticErrorsNameTheDestination) {
    Start("up ghost\r\nadd a, 2147483647, 1\r\nwait");
    intprt.StepNext();
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"value get error 'ghost' 値表現が不正です",
                                        "value set error 'ghost' 値表現が設定対象として不正です。 "
                                        ": up\tghost",
                                        "value set error 'a' オーバーフローしました。 : "
                                        "add\ta\t2147483647\t1"}));
    EXPECT_EQ(host.Var("a"), "0");
}

// [SECTION] Save slots

TEST_F(InterpreterTest, StatusRoundTripsThroughTheSaveSection) {
    host.AddScript("sub", "nop\r\nwait\r\nreturn");
    Start("call sub.1\r\nwait");
    intprt.StepNext();
    intprt.TextEnabled(true);
    intprt.RestText("続き");
    intprt.SaveStatus();
    INISection& status = *host.IntprtStatus();
    EXPECT_EQ(status.KeyValue("Address"), "sub.2");
    EXPECT_EQ(status.KeyValue("WaitMode"), "4");
    EXPECT_EQ(status.KeyValue("RestText"), "\"続き\"");
    EXPECT_EQ(status.KeyValue("TextEnabled"), "True");
    EXPECT_EQ(status.KeyValue("Stack"), "main.1");

    testing::FakeInterpreterHost other;
    other.archive = host.archive;
    other.saveData.KeySection("IntprtStatus").Text(status.Text());
    clsInterpreter loaded(other);
    ASSERT_TRUE(loaded.Init());
    loaded.StepStart();
    loaded.LoadStatus();
    EXPECT_EQ(loaded.CurrentScript()->Name(), "sub");
    EXPECT_EQ(loaded.Address(), 2);
    EXPECT_EQ(loaded.WaitMode(), kWaitClick);
    EXPECT_EQ(loaded.RestText(), "続き");
    EXPECT_TRUE(loaded.TextEnabled());
    EXPECT_TRUE(other.textVisible);
    EXPECT_TRUE(other.cursorVisible);
    EXPECT_EQ(loaded.CallStack(), std::vector<std::string>{"main.1"});

    other.onPump = [] {};
    loaded.OverrideCommand("wait", Wait);
    loaded.StepNext();
    EXPECT_EQ(loaded.CurrentScript()->Name(), "main");
    EXPECT_EQ(loaded.Address(), 2);
}

TEST_F(InterpreterTest, LoadedStatusIsMadeSafe) {
    Start("wait");
    INISection& status = *host.IntprtStatus();
    for (const char* mode : {"0", "1", "3", "7", "x"}) {
        status.Text(std::string("Address=main.0\r\nWaitMode=") + mode +
                    "\r\nRestText=\"\r\nTextEnabled=TRUE\r\nStack=");
        intprt.LoadStatus();
        EXPECT_EQ(intprt.WaitMode(), kWaitClick) << mode;
        EXPECT_EQ(intprt.RestText(), "");
        EXPECT_TRUE(intprt.TextEnabled());
        EXPECT_TRUE(intprt.CallStack().empty());
    }
    status.Text("Address=main.0\r\nWaitMode=5\r\nRestText=\"\"\r\nTextEnabled=False");
    intprt.LoadStatus();
    EXPECT_EQ(intprt.WaitMode(), kWaitChoice);
    EXPECT_FALSE(host.cursorVisible);
}

TEST_F(InterpreterTest, AStatusSavedBeforeAnyScenarioRestoresNoPlaceAndNoError) {
    testing::FakeInterpreterHost other;
    other.archive = host.archive;
    clsInterpreter idle(other);
    ASSERT_TRUE(idle.Init());
    idle.SaveStatus();
    EXPECT_TRUE(other.IntprtStatus()->KeyValue("Address").starts_with("."));
    Start("wait");
    host.IntprtStatus()->Text(other.IntprtStatus()->Text());
    intprt.LoadStatus();
    EXPECT_EQ(intprt.CurrentScript(), nullptr);
    EXPECT_TRUE(host.messages.empty());
}

// A slot's status as the interpreter writes it, with one key changed.
std::string SavedStatus(const std::string& address, const std::string& stack = "",
                        const std::string& wait = "4") {
    return "Address=" + address + "\r\nWaitMode=" + wait +
           "\r\nRestText=\"\"\r\nTextEnabled=True\r\nStack=" + stack;
}

TEST_F(InterpreterTest, AStatusWhosePlacesLieInsideTheirScriptsMayBeLoaded) {
    host.AddScript("sub", "wait\r\nreturn");
    Start("call sub.0\r\nwait\r\nselect");
    INISection status;
    for (const auto& [address, stack, wait] :
         {std::tuple{"main.0", "", "4"}, std::tuple{"sub.1", "main.1", "4"},
          std::tuple{"SUB.0", "main.2,sub.1,main.1", "4"},
          // Waiting for a choice made by the last instruction: the choice jumps.
          std::tuple{"main.3", "", "5"}, std::tuple{"main.3", "", "6"}}) {
        status.Text(SavedStatus(address, stack, wait));
        EXPECT_EQ(intprt.StatusFault(status), "") << address << " " << stack;
    }
    // Checking changed nothing of the running game.
    EXPECT_EQ(intprt.CurrentScript()->Name(), "main");
    EXPECT_EQ(intprt.Address(), 0);
    EXPECT_TRUE(intprt.CallStack().empty());
}

TEST_F(InterpreterTest, AStatusWithAPlaceOutsideItsScriptsIsRefusedWithItsReason) {
    host.AddScript("sub", "wait\r\nreturn");
    Start("call sub.0\r\nwait\r\nwait");
    INISection status;
    const auto fault = [&](const std::string& text) {
        status.Text(text);
        return intprt.StatusFault(status);
    };
    EXPECT_EQ(fault(SavedStatus("main.3")),
              "its place main.3 lies outside the script 'main' (3 instructions)");
    EXPECT_EQ(fault(SavedStatus("main.99999")),
              "its place main.99999 lies outside the script 'main' (3 instructions)");
    EXPECT_EQ(fault(SavedStatus("nosuch.3")), "its script 'nosuch' does not exist in this game");
    EXPECT_EQ(fault(SavedStatus("sub.0", "main.1,sub.7")),
              "in its call stack, its place sub.7 lies outside the script 'sub' (2 instructions)");
    EXPECT_EQ(fault(SavedStatus("sub.0", "gone.1")),
              "in its call stack, its script 'gone' does not exist in this game");
    for (const char* place : {".0", "main", "main.", "main.-1", "main.x", "main.1.2", "a.b.1",
                              "/etc/passwd.0", "..\\x.0", "main.1234567890", ""}) {
        EXPECT_EQ(fault(SavedStatus(place)),
                  std::string("its place '") + place + "' is no script and address")
            << place;
    }
    // A status cut short lacks the keys after the cut.
    EXPECT_EQ(fault("Address=main.0\r\nWaitMode=4\r\nRestText=\"\""),
              "its interpreter status has no TextEnabled (the save is incomplete)");
    EXPECT_EQ(fault(""), "its interpreter status has no Address (the save is incomplete)");
    EXPECT_EQ(intprt.Address(), 0);
}

TEST_F(InterpreterTest, StepStartResetsThePageState) {
    Start("wait");
    intprt.RestText("x");
    intprt.TextEnabled(true);
    intprt.VoiceTimer(300);
    intprt.LastAutoClickTimer(20);
    EXPECT_TRUE(intprt.StepStart());
    EXPECT_EQ(intprt.RestText(), "");
    EXPECT_FALSE(intprt.TextEnabled());
    EXPECT_FALSE(host.textVisible);
    EXPECT_EQ(intprt.VoiceTimer(), 0);
    EXPECT_EQ(intprt.LastAutoClickTimer(), 0);
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
}

TEST_F(InterpreterTest, TerminationIsLogged) {
    {
        testing::FakeInterpreterHost local;
        { clsInterpreter temporary(local); }
        EXPECT_EQ(local.log, std::vector<std::string>{"Interpreter-Terminate"});
    }
}

}  // namespace
}  // namespace zelk
