#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <fstream>

#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "platform/question_box.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "settings/ini_section.h"
#include "view/frm_ctrl.h"
#include "view/game_view.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER), 0);
        mFolder = fs::path(::testing::TempDir()) /
                  ("launch-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(mFolder);
        fs::create_directories(mFolder);
        Process().ResetFolders(mFolder.string());
        QuestionBox::Instance().ScriptAnswers({});
        QuestionBox::Instance().ClearAsked();
    }
    void TearDown() override {
        fs::remove_all(mFolder);
        SDL_Quit();
    }

    void WriteDebugFile(const std::string& text) {
        std::ofstream(mFolder / "debug.ini", std::ios::binary) << text;
    }

    fs::path mFolder;
};

TEST_F(LaunchTest, WithoutADebugFileEveryFolderIsTheGameFolderAndDefaultsHold) {
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    const ProcessValues& process = Process();
    EXPECT_FALSE(launch.IsDebugMode());
    EXPECT_EQ(process.WorkspaceDir, mFolder.string());
    EXPECT_EQ(process.ArchiveDir, mFolder.string());
    EXPECT_EQ(process.IniDir, mFolder.string());
    EXPECT_EQ(process.MovieDir, mFolder.string());
    EXPECT_EQ(process.ResourceDir, mFolder.string());
    EXPECT_TRUE(process.Debug.INIEncript);
    EXPECT_TRUE(process.Debug.SubClassMode);
    EXPECT_FALSE(process.Debug.ScenarioFileMode);
    EXPECT_EQ(launch.DebugSec().KeyValue("ScenarioFileMode"), "");
    EXPECT_EQ(launch.Title(), "ゲーム起動中");
}

TEST_F(LaunchTest, SwitchesReadTrueOnlyForTrueAndTheDefaultOnOnesOnlyTurnOffForFalse) {
    WriteDebugFile(
        "[debug]\r\nScenarioFileMode=True\r\nCGFileMode=yes\r\nINIEncript=FALSE\r\n"
        "SubClassMode=0\r\nEntryPoint=start\r\n");
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    const DebugSwitches& switches = Process().Debug;
    EXPECT_TRUE(launch.IsDebugMode());
    EXPECT_TRUE(switches.ScenarioFileMode);
    EXPECT_FALSE(switches.CGFileMode);
    EXPECT_FALSE(switches.INIEncript);
    EXPECT_TRUE(switches.SubClassMode);
    EXPECT_EQ(switches.EntryPoint, "start");
}

TEST_F(LaunchTest, FolderKeysJoinTheWorkspaceEvenWhenEmpty) {
    WriteDebugFile("[debug]\r\n[Folder]\r\nWorkspace=\r\nArchive=arc\r\nini=\r\n");
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    const ProcessValues& process = Process();
    EXPECT_EQ(process.WorkspaceDir, mFolder.string());
    EXPECT_EQ(process.ArchiveDir, mFolder.string() + "/arc");
    EXPECT_EQ(process.IniDir, mFolder.string() + "/");
    EXPECT_EQ(process.MovieDir, mFolder.string() + "/");
}

TEST_F(LaunchTest, AWorkspaceFolderWithBackslashesIsReadAsAPath) {
    WriteDebugFile("[Folder]\r\nWorkspace=work\\space\r\nArchive=a\\b\r\n");
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    EXPECT_EQ(Process().WorkspaceDir, mFolder.string() + "/work/space");
    EXPECT_EQ(Process().ArchiveDir, mFolder.string() + "/work/space/a/b");
}

TEST_F(LaunchTest, SysTimerFuncTakesOnlyItsThreeValues) {
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    launch.SysTimerFunc(1);
    EXPECT_TRUE(launch.View()->tmrSystem().Enabled());
    launch.SysTimerFunc(5);
    EXPECT_EQ(launch.SysTimerFunc(), 1);
    EXPECT_TRUE(launch.View()->tmrSystem().Enabled());
    launch.SysTimerFunc(0);
    EXPECT_FALSE(launch.View()->tmrSystem().Enabled());
}

TEST_F(LaunchTest, AFailingRootClosesWithItsOwnMessageAndExitAppRunsOnce) {
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    Process().ShutdownRequested = false;
    launch.OpenVell();
    ASSERT_EQ(QuestionBox::Instance().Asked().size(), 1u);
    EXPECT_EQ(QuestionBox::Instance().Asked()[0].Prompt, "システム情報をロードできません。");
    EXPECT_TRUE(Process().ShutdownRequested);
    EXPECT_EQ(launch.SysTimerFunc(), 2);
    EXPECT_TRUE(launch.StartFailed());

    launch.ExitApp();  // waits for the system timer to release the root
    EXPECT_TRUE(launch.Finished());
    EXPECT_EQ(launch.Root(), nullptr);
    EXPECT_EQ(Vell(), nullptr);
    EXPECT_EQ(launch.View(), nullptr);
    launch.ExitApp();  // the second call does nothing
    EXPECT_TRUE(launch.Finished());
    EXPECT_EQ(QuestionBox::Instance().Asked().size(), 1u);
}

// The root fails after reading the reader's settings, its window never
// shown: the placement the reader left last time stays in the file.
TEST_F(LaunchTest, AFailedStartKeepsTheReadersWindowPlacement) {
    const auto write = [this](const char* name, const std::string& text) {
        std::ofstream(mFolder / name, std::ios::binary) << text;
    };
    write("SystemInfo.ini",
          "[Game]\r\nTitle=t\r\n[Config]\r\nPos=\r\nFullMode=False\r\nCustomCursor=False\r\n"
          "TextSpeed=2\r\nTextAutoClick=False\r\nBGMVolume=255\r\nSEVolume=255\r\n"
          "CVVolume=255\r\nBGMMute=False\r\nSEMute=False\r\nCVMute=False\r\n");
    write("game_mode.ini", "[WindowMode]\r\n");
    write("omake_mode.ini", "[cgmode_cmd]\r\n");  // and no saveload_mode.ini
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    fs::create_directories(Process().SaveDir);
    const std::string config = Process().SaveDir + "/config.ini";
    INIFile user;
    user.Text("[Config]\r\nPos=120,80\r\nFullMode=True\r\n");
    ASSERT_TRUE(WriteIniFile(user, config));
    launch.OpenVell();
    EXPECT_TRUE(launch.StartFailed());
    launch.ExitApp();
    INIFile back;
    ASSERT_TRUE(ReadIniFile(back, config));
    EXPECT_EQ(back.KeySection("Config").KeyValue("Pos"), "120,80");
    EXPECT_EQ(back.KeySection("Config").KeyValue("FullMode"), "True");
}

// A question asked while the game's window is minimised comes in a box of its
// own, which the reader sees without restoring the window.
TEST_F(LaunchTest, AQuestionInAMinimisedWindowGetsTheStandardBox) {
    const auto write = [this](const char* name, const std::string& text) {
        std::ofstream(mFolder / name, std::ios::binary) << text;
    };
    write("SystemInfo.ini", "[Game]\r\nTitle=t\r\n[Config]\r\nStartScreenMode=1\r\n");
    write("game_mode.ini", "[WindowMode]\r\n");
    write("omake_mode.ini", "[cgmode_cmd]\r\n");
    write("saveload_mode.ini", "[SlotBase]\r\n");
    clsLaunch launch;
    ASSERT_TRUE(launch.Init());
    Process().ShutdownRequested = false;
    launch.OpenVell();
    ASSERT_FALSE(launch.StartFailed());
    clsGameView* view = launch.Root()->GameView();
    ASSERT_TRUE(view->Visible());
    QuestionBox::Instance().ClearAsked();  // the settings it had to do without

    launch.Msg("a");
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(view->Window());
    event.window.event = SDL_WINDOWEVENT_MINIMIZED;
    view->HandleEvent(event);
    launch.Msg("b");
    event.window.event = SDL_WINDOWEVENT_RESTORED;
    view->HandleEvent(event);
    launch.Msg("c");
    const auto& asked = QuestionBox::Instance().Asked();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_TRUE(asked[0].OverGame);
    EXPECT_FALSE(asked[1].OverGame);
    EXPECT_TRUE(asked[2].OverGame);
    launch.ExitApp();
}

TEST_F(LaunchTest, InDebugModeTheLogIsWrittenUnderTheLogFolder) {
    WriteDebugFile("[debug]\r\n");
    fs::create_directories(mFolder / "log");
    {
        clsLaunch launch;
        ASSERT_TRUE(launch.Init());
        launch.OpenVell();
        launch.ExitApp();
    }
    std::vector<fs::path> logs;
    for (const auto& entry : fs::directory_iterator(mFolder / "log"))
        logs.push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    const std::string name = logs[0].filename().string();
    EXPECT_EQ(name.size(), 16u);  // twelve digits and ".txt"
    EXPECT_EQ(name.substr(12), ".txt");
    std::ifstream file(logs[0], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("Vell-Terminate"), std::string::npos);
}

}  // namespace
}  // namespace zelk
