#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "modes/save_data.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"
#include "view/game_view.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

// A game folder with loose system files, just enough for the root to open.
class VellTest : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = fs::path(::testing::TempDir()) /
                  ("vell-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(mFolder);
        fs::create_directories(mFolder / "savedata");
        Process().ResetFolders(mFolder.string());
        Process().Debug.INIEncript = false;
        WriteIni("SystemInfo",
                 "[Game]\r\nTitle=Test\r\nScreenSizeX=800\r\nQSavePageNum=5\r\n"
                 "QSaveSlotCount=" +
                     mSlotCount +
                     "\r\n[Config]\r\nTextSpeed=3\r\nTextAutoClick=False\r\nCustomCursor=False\r\n"
                     "BGMVolume=200\r\n"
                     "SEVolume=220\r\nCVVolume=255\r\nBGMMute=False\r\nSEMute=True\r\n"
                     "CVMute=False\r\n");
        WriteIni("game_mode", "[WindowMode]\r\n");
        WriteIni("omake_mode", "[cgmode_cmd]\r\n");
        WriteIni("saveload_mode", "[SlotBase]\r\nThumb=a,0,0,120,90\r\n");
        QuestionBox::Instance().ScriptAnswers({});
        QuestionBox::Instance().ClearAsked();
    }
    void TearDown() override {
        mVell.reset();
        fs::remove_all(mFolder);
    }

    void WriteIni(const std::string& name, const std::string& text) {
        std::ofstream(mFolder / (name + ".ini"), std::ios::binary) << text;
    }
    bool Open() {
        mVell = std::make_unique<clsVell>();
        return mVell->Init();
    }
    // A loadable slot whose variables say where it came from.
    void MakeSlot(long slot, const std::string& marker) {
        clsSaveData& sd = *mVell->SD();
        sd.Var().KeyValue("marker", marker);
        ASSERT_TRUE(sd.Save(clsSaveData::FormatSlotName(5, slot)));
    }
    std::string SlotMarker(long slot) {
        clsSaveData probe;
        if (!probe.Load(clsSaveData::FormatSlotName(5, slot))) return "(none)";
        return probe.Var().KeyValue("marker");
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> prompts;
        for (const auto& asked : QuestionBox::Instance().Asked())
            prompts.push_back(asked.Prompt);
        return prompts;
    }

    clsLaunch mLaunch;  // routes the root's messages to the question box
    fs::path mFolder;
    std::string mSlotCount = "3";
    std::unique_ptr<clsVell> mVell;
};

TEST_F(VellTest, OpensWithTheGameGeometryAndThumbSize) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(Process().ScreenSizeX, 800);
    EXPECT_EQ(Process().ScreenSizeY, 480);   // missing: the default
    EXPECT_EQ(Process().ScriptScaleX, 800);  // missing: the screen size
    EXPECT_EQ(mVell->ThumbWidth(), 120);
    EXPECT_EQ(mVell->ThumbHeight(), 90);
    EXPECT_EQ(Vell(), mVell.get());
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(VellTest, TheSoundDriverStartsWithTheConfiguredVolumesAndMutes) {
    ASSERT_TRUE(Open());
    ASSERT_NE(mVell->Wavo(), nullptr);
    EXPECT_EQ(mVell->Wavo()->BGMVolume(), 200);
    EXPECT_EQ(mVell->Wavo()->SEVolume(), 0);  // muted
    EXPECT_EQ(mVell->Wavo()->CVVolume(), 255);
    mVell->Cfg()->BoolVal("SEMute", false);
    mVell->Cfg()->RaiseChangeEvent("SEMute");
    EXPECT_EQ(mVell->Wavo()->SEVolume(), 220);
    mVell->Cfg()->LongVal("BGMVolume", 90);
    mVell->Cfg()->RaiseChangeEvent("BGMVolume");
    EXPECT_EQ(mVell->Wavo()->BGMVolume(), 90);
    mVell->SDMakeData();
    EXPECT_EQ(mVell->SD()->WavoStatus().KeyValue("BGMVolumeRate"), "100");
    EXPECT_TRUE(Prompts().empty());
}

// A movie's stop keeps the view's deactivate sense: the root hands it over.
TEST_F(VellTest, TheSoundDriverReachesTheViewsDeactivateSense) {
    ASSERT_TRUE(Open());
    clsGameView& view = *mVell->GameView();
    for (const bool sense : {true, false}) {
        view.IsDeactivateSense(sense);
        EXPECT_EQ(mVell->Wavo()->DeactivateSense(), sense);
        EXPECT_TRUE(mVell->Wavo()->StopMovie());
        EXPECT_EQ(view.IsDeactivateSense(), sense);
    }
}

TEST_F(VellTest, AMissingSystemFileStopsTheStartWithItsMessage) {
    fs::remove(mFolder / "omake_mode.ini");
    EXPECT_FALSE(Open());
    EXPECT_EQ(Prompts(), std::vector<std::string>{"おまけモード設定をロードできません。"});
}

TEST_F(VellTest, QuickSaveRotatesOnlyLoadableSlots) {
    ASSERT_TRUE(Open());
    MakeSlot(0, "zero");
    MakeSlot(2, "two");
    mVell->SD()->Var().KeyValue("marker", "new");
    mVell->QuickSave(true);
    // Slot 2 dropped out, slot 1 was empty, slot 0 moved on, the new save is 0.
    EXPECT_EQ(SlotMarker(0), "new");
    EXPECT_EQ(SlotMarker(1), "zero");
    EXPECT_EQ(SlotMarker(2), "(none)");
    EXPECT_EQ(Prompts(), std::vector<std::string>{"クイックセーブしました。"});
}

TEST_F(VellTest, AFailedQuickSaveLeavesTheNewestWhereQuickLoadLooks) {
    ASSERT_TRUE(Open());
    MakeSlot(0, "zero");
    // The new save's part file cannot be written: a folder stands there.
    const fs::path slot = mVell->SD()->FormatINIPath(5, 0);
    fs::create_directory(slot.parent_path() / ("." + slot.filename().string() + ".part"));
    mVell->SD()->Var().KeyValue("marker", "new");
    mVell->QuickSave(true);
    EXPECT_EQ(Prompts(), std::vector<std::string>{"クイックセーブに失敗しました。"});
    EXPECT_EQ(SlotMarker(0), "zero");
    EXPECT_EQ(SlotMarker(1), "zero");
}

TEST_F(VellTest, WithOneQuickSlotTheSaveReplacesIt) {
    mSlotCount = "1";
    SetUp();
    ASSERT_TRUE(Open());
    MakeSlot(0, "old");
    mVell->SD()->Var().KeyValue("marker", "new");
    mVell->QuickSave(false);
    EXPECT_EQ(SlotMarker(0), "new");
    EXPECT_FALSE(fs::exists(mVell->SD()->FormatINIPath(5, 1)));
    EXPECT_TRUE(Prompts().empty());
}

TEST_F(VellTest, ABadQuickSlotCountIsSaidEvenWithoutMessages) {
    mSlotCount = "0";
    SetUp();
    ASSERT_TRUE(Open());
    mVell->QuickSave(false);
    EXPECT_EQ(Prompts(), std::vector<std::string>{"クイックセーブスロット数が不正です"});
}

TEST_F(VellTest, QuickLoadAsksFirstAndSwitchesToTheGameMode) {
    ASSERT_TRUE(Open());
    mVell->QuickLoad(true);
    EXPECT_EQ(Prompts(), std::vector<std::string>{"クイックセーブされたデータがありません。"});

    mVell->QuickSave(false);
    QuestionBox::Instance().ClearAsked();
    QuestionBox::Instance().ScriptAnswers({"no", "yes"});
    mVell->QuickLoad(true);
    EXPECT_EQ(mVell->VellMode(), 0);
    Process().StatusRestored = false;
    mVell->QuickLoad(true);
    EXPECT_EQ(mVell->VellMode(), 2);
    EXPECT_TRUE(Process().StatusRestored);
    EXPECT_EQ(Prompts(), (std::vector<std::string>{"クイックロードを行いますか。",
                                                   "クイックロードを行いますか。"}));
}

TEST_F(VellTest, AGarbageQuickSlotFailsToLoadAndKeepsTheGame) {
    ASSERT_TRUE(Open());
    std::ofstream(mVell->SD()->FormatINIPath(5, 0), std::ios::binary) << "\x01\x02garbage";
    mVell->SD()->Var().KeyValue("marker", "running");
    mVell->QuickLoad(true);
    EXPECT_EQ(Prompts(), (std::vector<std::string>{"クイックロードを行いますか。",
                                                   "クイックロードに失敗しました。"}));
    EXPECT_EQ(mVell->VellMode(), 0);
    EXPECT_EQ(mVell->SD()->Var().KeyValue("marker"), "running");
}

// The game gained the variable "letters" after the save was made: loading
// it gives "letters" its start value and keeps what the save holds.
TEST_F(VellTest, ALoadGivesTheVariablesASaveLacksTheirStartValues) {
    std::ofstream(mFolder / "SystemInfo.ini", std::ios::app) << "[var]\r\nmet=0\r\nletters=2\r\n";
    ASSERT_TRUE(Open());
    mVell->SD()->Var().Text("met=3");
    mVell->QuickSave(false);
    mVell->SD()->Var().Text("met=1\r\nletters=5");
    mVell->QuickLoad(false);
    ASSERT_EQ(mVell->VellMode(), 2);
    EXPECT_EQ(mVell->SD()->Var().KeyValue("met"), "3");
    EXPECT_EQ(mVell->SD()->Var().KeyValue("letters"), "2");
}

TEST_F(VellTest, TheSkipFlagIsClearedByARestore) {
    ASSERT_TRUE(Open());
    mVell->IsSkipMode(true);
    mVell->QuickSave(false);
    mVell->QuickLoad(false);
    EXPECT_FALSE(mVell->IsSkipMode());
}

// [SECTION] Authors

// A loose scenario whose second line stores into a variable the game does
// not have, run up to its wait.
class VellAuthorTest : public VellTest {
protected:
    void RunFaultyScenario(bool debugMode) {
        std::ofstream(mFolder / "SystemInfo.ini", std::ios::app)
            << "[TextBlock]\r\nCharCount=20\r\nLineCount=3\r\n"
               "[Instruction]\r\nlet\t*\t*\r\nwait\r\nnop\r\n";
        fs::create_directories(mFolder / "scenario");
        std::ofstream(mFolder / "scenario" / "t.txt", std::ios::binary)
            << "nop\r\nlet nosuch, 1\r\nwait\r\nnop\r\nwait";
        Process().Debug.ScenarioFileMode = true;
        Process().IsDebugMode = debugMode;
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        ASSERT_TRUE(Open());
        // A click wait with drawing stopped would be an error of its own.
        mVell->Lumo()->DrawActivate(0, 0);
        clsInterpreter& intprt = *mVell->Intprt();
        intprt.StepStart();
        ASSERT_TRUE(intprt.GoLabel("t.0"));
        intprt.StepNext();
    }
    void TearDown() override {
        Process().Debug.ScenarioFileMode = false;
        Process().IsDebugMode = false;
        VellTest::TearDown();
    }
};

TEST_F(VellAuthorTest, InDebugModeTheTitleNamesTheErrorsPlaceUntilThePageMovesOn) {
    RunFaultyScenario(true);
    const std::string note = mVell->GameView()->ScenarioErrorNote();
    EXPECT_TRUE(note.starts_with("t.txt:2: ")) << note;
    // No site named yet: the game's title stands before the place.
    EXPECT_EQ(mVell->GameView()->WindowTitle(), "Test — " + note);
    mVell->Intprt()->StepNext();
    EXPECT_EQ(mVell->GameView()->ScenarioErrorNote(), "");
}

TEST_F(VellAuthorTest, OutsideDebugModeNothingShows) {
    RunFaultyScenario(false);
    EXPECT_EQ(mVell->GameView()->ScenarioErrorNote(), "");
    for (const std::string& prompt : Prompts())
        EXPECT_FALSE(prompt.starts_with("ValueExp"));
}

TEST_F(VellAuthorTest, F5OutsideTheGameModeChangesNothing) {
    RunFaultyScenario(true);
    const long address = mVell->Intprt()->Address();
    mVell->ReloadScenario();
    EventPump::Instance().ProcessPendingEvents();
    EXPECT_EQ(mVell->Intprt()->Address(), address);
}

}  // namespace
}  // namespace zelk
