#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "interpreter/interpreter.h"
#include "modes/mode.h"
#include "modes/save_data.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "settings/configuration.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "settings/ini_section.h"
#include "support/untouched.h"
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
        Process().Debug.ScenarioFileMode = false;
        fs::remove_all(mFolder);
    }

    // Opens the root over a loose scenario "t" and goes to its start: a
    // save then has a place to come back to.
    bool OpenInAScenario() {
        std::ofstream(mFolder / "SystemInfo.ini", std::ios::app)
            << "[TextBlock]\r\nCharCount=20\r\nLineCount=3\r\n"
               "[Instruction]\r\nlet\t*\t*\r\nwait\r\nnop\r\n";
        fs::create_directories(mFolder / "scenario");
        std::ofstream(mFolder / "scenario" / "t.txt", std::ios::binary)
            << "nop\r\nwait\r\nnop\r\nwait";
        Process().Debug.ScenarioFileMode = true;
        if (!Open()) return false;
        mVell->Intprt()->StepStart();
        return mVell->Intprt()->GoLabel("t.1");
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
    // (This small game's settings lack what the wait reads: that is said.)
    for (const std::string& prompt : Prompts())
        EXPECT_EQ(prompt.find("secret"), std::string::npos) << prompt;
}

// The saved picture is as large as the slot's film that shows it, which
// reads the same value.
TEST_F(VellTest, TheThumbSizeIsReadAsTheSlotsFilmIs) {
    WriteIni("saveload_mode", "[SlotBase]\r\nThumb= ,8,8,120.6,90.5\r\n");
    ASSERT_TRUE(Open());
    EXPECT_EQ(mVell->ThumbWidth(), 121);
    EXPECT_EQ(mVell->ThumbHeight(), 90);
    mVell.reset();
    WriteIni("saveload_mode", "[SlotBase]\r\nThumb=,8,8,100\r\n");
    ASSERT_TRUE(Open());
    EXPECT_EQ(mVell->ThumbWidth(), 100);
    EXPECT_EQ(mVell->ThumbHeight(), 0);  // missing: left as it was
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
    // (This small game's settings lack what the wait reads: that is said.)
    for (const std::string& prompt : Prompts())
        EXPECT_EQ(prompt.find("secret"), std::string::npos) << prompt;
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
    // Which file and why, as the terminal hears it too.
    const std::string failed =
        "クイックセーブに失敗しました。\r\n" + slot.string() + ": Is a directory";
    EXPECT_EQ(Prompts(), std::vector<std::string>{failed});
    EXPECT_EQ(SlotMarker(0), "zero");
    EXPECT_EQ(SlotMarker(1), "zero");
    // A quick save that would pass unsaid is still told when it is lost.
    mVell->QuickSave(false);
    EXPECT_EQ(Prompts(), (std::vector<std::string>{failed, failed}));
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
    // (This small game's settings lack what the wait reads: that is said.)
    for (const std::string& prompt : Prompts())
        EXPECT_EQ(prompt.find("secret"), std::string::npos) << prompt;
}

TEST_F(VellTest, ABadQuickSlotCountIsSaidEvenWithoutMessages) {
    mSlotCount = "0";
    SetUp();
    ASSERT_TRUE(Open());
    mVell->QuickSave(false);
    EXPECT_EQ(Prompts(), std::vector<std::string>{"クイックセーブスロット数が不正です"});
}

TEST_F(VellTest, QuickLoadAsksFirstAndSwitchesToTheGameMode) {
    ASSERT_TRUE(OpenInAScenario());
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

TEST_F(VellTest, AQuickSaveWithNoPlaceInThisGameFailsToLoadAndKeepsTheGame) {
    ASSERT_TRUE(OpenInAScenario());
    mVell->QuickSave(false);
    const std::string path = mVell->SD()->FormatINIPath(5, 0);
    std::string slot;
    ASSERT_TRUE(ReadTextFile(path, slot));
    ASSERT_NE(slot.find("Address=t.1"), std::string::npos) << slot;
    mVell->SD()->Var().KeyValue("marker", "running");
    for (const auto& [from, to] :
         {std::pair{"Address=t.1", "Address=t.99"}, std::pair{"Address=t.1", "Address=.2"},
          std::pair{"Title=Test", "Title=Other"}}) {
        std::string hostile = slot;
        hostile.replace(hostile.find(from), std::string(from).size(), to);
        ASSERT_TRUE(WriteTextFile(path, hostile));
        QuestionBox::Instance().ClearAsked();
        ::testing::internal::CaptureStderr();
        mVell->QuickLoad(false);
        const std::string terminal = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(terminal.starts_with("zelk: cannot load the quick save sd05-00: ")) << terminal;
        EXPECT_TRUE(Prompts().empty()) << to;
        EXPECT_EQ(mVell->VellMode(), 0) << to;
        EXPECT_EQ(mVell->SD()->Var().KeyValue("marker"), "running") << to;
        EXPECT_EQ(mVell->Intprt()->Address(), 1) << to;
    }
}

// The game gained the variable "letters" after the save was made: loading
// it gives "letters" its start value and keeps what the save holds.
TEST_F(VellTest, ALoadGivesTheVariablesASaveLacksTheirStartValues) {
    std::ofstream(mFolder / "SystemInfo.ini", std::ios::app) << "[var]\r\nmet=0\r\nletters=2\r\n";
    ASSERT_TRUE(OpenInAScenario());
    mVell->SD()->Var().Text("met=3");
    mVell->QuickSave(false);
    mVell->SD()->Var().Text("met=1\r\nletters=5");
    mVell->QuickLoad(false);
    ASSERT_EQ(mVell->VellMode(), 2);
    EXPECT_EQ(mVell->SD()->Var().KeyValue("met"), "3");
    EXPECT_EQ(mVell->SD()->Var().KeyValue("letters"), "2");
}

TEST_F(VellTest, TheSkipFlagIsClearedByARestore) {
    ASSERT_TRUE(OpenInAScenario());
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

// [SECTION] A game from a stranger

// A loose game whose scenario names files outside its folder: a picture by
// its absolute name, a movie up a folder, and a movie of its own that is
// really a playlist naming a movie outside and a URL of a listener here.
class VellStrangerTest : public VellTest {
protected:
    void SetUp() override {
        VellTest::SetUp();
        mOutside = mFolder.parent_path() / (mFolder.filename().string() + "-outside");
        fs::remove_all(mOutside);
        fs::create_directories(mOutside);
        fs::create_directories(mFolder / "image");
        fs::copy_file(fs::path(ZELK_TEST_DATA) / "pictures" / "grey.png", mOutside / "secret.png");
        fs::copy_file(fs::path(ZELK_TEST_DATA) / "movies" / "short.mpg", mOutside / "secret.mpg");
    }
    void TearDown() override {
        Process().Debug.ScenarioFileMode = false;
        Process().Debug.CGFileMode = false;
        Process().IsDebugMode = false;
        VellTest::TearDown();
        fs::remove_all(mOutside);
    }

    std::string Up() const { return "../" + mOutside.filename().string(); }

    void RunScenario(bool debugMode, const testing::LoopbackListener& listener) {
        std::ofstream(mFolder / "SystemInfo.ini", std::ios::app)
            << "[TextBlock]\r\nCharCount=20\r\nLineCount=3\r\n"
               "[Instruction]\r\nbg\t*\t%\t%\r\nplaymovie\t*\t%\r\nwait\r\nnop\r\n";
        std::ofstream(mFolder / "evil.mpg", std::ios::binary)
            << "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10.0,\n"
            << (mOutside / "secret.mpg").string() << "\n#EXTINF:10.0,\n"
            << listener.Url("x.mpg") << "\n#EXT-X-ENDLIST\n";
        fs::create_directories(mFolder / "scenario");
        std::ofstream(mFolder / "scenario" / "t.txt", std::ios::binary)
            << "nop\r\nbg " << (mOutside / "secret").string() << "\r\nplaymovie \"" << Up()
            << "/secret.mpg\", 0\r\nplaymovie \"evil.mpg\", 0\r\nwait\r\nnop\r\nwait";
        Process().Debug.ScenarioFileMode = true;
        Process().Debug.CGFileMode = true;
        Process().IsDebugMode = debugMode;
        Process().ShutdownRequested = false;
        Process().StatusRestored = false;
        ASSERT_TRUE(Open());
        // A click wait with drawing stopped would be an error of its own.
        mVell->Lumo()->DrawActivate(0, 0);
        clsInterpreter& intprt = *mVell->Intprt();
        intprt.StepStart();
        ASSERT_TRUE(intprt.GoLabel("t.0"));
        // Each movie waits for its click, played or not.
        for (int step = 0; step < 3; ++step)
            intprt.StepNext();
    }
    // The story went on to the page's wait, past the refused names.
    void ExpectStoryWentOn() {
        EXPECT_EQ(mVell->Intprt()->Address(), 5);
        EXPECT_EQ(mVell->Intprt()->WaitMode(), kWaitClick);
        EXPECT_EQ(mVell->Wavo()->IsPlayingMovie(), false);
    }

    fs::path mOutside;
};

TEST_F(VellStrangerTest, NamesOutsideTheGameAreRefusedOnOneLineEachAndTheStoryGoesOn) {
    testing::LoopbackListener listener;
    testing::OpenWatch picture((mOutside / "secret.png").string());
    testing::OpenWatch movie((mOutside / "secret.mpg").string());
    ASSERT_TRUE(listener.Ready() && picture.Ready() && movie.Ready());
    ::testing::internal::CaptureStderr();
    RunScenario(false, listener);
    const std::string said = ::testing::internal::GetCapturedStderr();
    ExpectStoryWentOn();
    EXPECT_NE(said.find("zelk: t.txt:2: '" + ToLowerAscii((mOutside / "secret").string()) +
                        "' is an absolute name; a game reads only its own folder, and goes on "
                        "without it\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("zelk: t.txt:3: '" + Up() +
                        "/secret.mpg' climbs out of its folder with \"..\"; a game reads only "
                        "its own folder"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("zelk: movie " + (mFolder / "evil.mpg").string() +
                        " is no movie the player plays"),
              std::string::npos)
        << said;
    // The picture and the movies the refused names leave missing are no
    // second line.
    EXPECT_EQ(said.find("scenario error at t.txt:"), std::string::npos) << said;
    EXPECT_FALSE(listener.Connected());
    EXPECT_FALSE(picture.Opened());
    EXPECT_FALSE(movie.Opened());
    // (This small game's settings lack what the wait reads: that is said.)
    for (const std::string& prompt : Prompts())
        EXPECT_EQ(prompt.find("secret"), std::string::npos) << prompt;

    // The game's mouse cursor is one of its names too.
    mVell->GameView()->ScreenMode(kScreenWindow);
    ASSERT_NE(mVell->GameView()->Window(), nullptr);
    mVell->SystemInfo()->KeySection("Game").KeyValue("CustomMouseCursor", Up() + "/secret.png");
    ::testing::internal::CaptureStderr();
    mVell->Cfg()->BoolVal("CustomCursor", true);
    mVell->Cfg()->RaiseChangeEvent("CustomCursor");
    const std::string cursor = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(cursor, "zelk: SystemInfo.ini [Game] CustomMouseCursor: '" + Up() +
                          "/secret.png' climbs out of its folder with \"..\"; a game reads only "
                          "its own folder, and goes on without it\n");
    EXPECT_FALSE(picture.Opened());

    // The gallery's movie entries reach the same look-up: a URL is refused
    // and named with the extras' settings file.
    mVell->ChangeMode(kModeOmake, 0);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(mVell->PlayMovie(listener.Url("x.mpg")));
    EXPECT_FALSE(mVell->PlayMovie("/" + (mOutside / "secret.mpg").string()));
    const std::string gallery = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(gallery.find("zelk: omake_mode.ini: '" + listener.Url("x.mpg") + "' is a URL; "),
              std::string::npos)
        << gallery;
    EXPECT_NE(gallery.find("' is an absolute name"), std::string::npos) << gallery;
    EXPECT_FALSE(listener.Connected());
    EXPECT_FALSE(movie.Opened());
}

// In debug mode each refusal is the run-time error of its instruction, and
// only that: the load failure it causes says nothing new.
TEST_F(VellStrangerTest, InDebugModeARefusedNameIsTheInstructionsOneError) {
    testing::LoopbackListener listener;
    ASSERT_TRUE(listener.Ready());
    RunScenario(true, listener);
    ExpectStoryWentOn();
    std::vector<std::string> prompts = Prompts();
    // (This small game's settings lack what the wait reads: that comes last.)
    prompts.resize(std::min<size_t>(prompts.size(), 3));
    EXPECT_EQ(prompts,
              (std::vector<std::string>{
                  "'" + ToLowerAscii((mOutside / "secret").string()) +
                      "'はゲームのフォルダーの外を指すため読み込みません (is an absolute name)。",
                  "'" + Up() +
                      "/secret.mpg'はゲームのフォルダーの外を指すため読み込みません (climbs out "
                      "of its folder with \"..\")。",
                  "ムービー'evil.mpg'を再生できません。"}));
    EXPECT_FALSE(listener.Connected());
}

}  // namespace
}  // namespace zelk
