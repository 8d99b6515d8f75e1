// How a game folder is read: packed, loose or no game; the debug file's
// folders and switches; loose files played without a debug file.
#include "app/game_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "modes/play_support.h"
#include "settings/ini_file.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = fs::path(::testing::TempDir()) /
                ("game-folder-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot);
    }
    void TearDown() override { fs::remove_all(mRoot); }

    void Write(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    GameFolderSetup Prepare(const fs::path& folder) {
        Process().SaveDir.clear();
        INIFile debug;
        return SetUpGameFolder(folder.string(), debug);
    }

    fs::path mRoot;
};

TEST_F(GameFolderTest, ArchivesMakeAPackedGameASystemFileALooseOne) {
    Write(mRoot / "packed" / "Image.QUOR", "x");
    Write(mRoot / "loose" / "systeminfo.ini", "[Game]\r\n");
    Write(mRoot / "photos" / "beach.png", "x");
    EXPECT_EQ(Prepare(mRoot / "packed").source, GameSource::kPacked);
    EXPECT_EQ(Prepare(mRoot / "loose").source, GameSource::kLoose);
    EXPECT_EQ(Prepare(mRoot / "photos").source, GameSource::kNone);
    EXPECT_EQ(Prepare(mRoot / "missing").source, GameSource::kNone);
}

TEST_F(GameFolderTest, ALooseGamePlaysItsLooseFilesWithoutADebugFile) {
    Write(mRoot / "game" / "SystemInfo.ini", "[Game]\r\n");
    fs::create_directories(mRoot / "game" / "Movie");
    const GameFolderSetup setup = Prepare(mRoot / "game");
    EXPECT_FALSE(setup.debugFile);
    EXPECT_TRUE(setup.looseForced);
    const DebugSwitches& switches = Process().Debug;
    EXPECT_TRUE(switches.ScenarioFileMode);
    EXPECT_TRUE(switches.CGFileMode);
    EXPECT_TRUE(switches.SoundFileMode);
    // Nothing else of debug mode comes with it.
    EXPECT_TRUE(switches.INIEncript);
    EXPECT_FALSE(switches.TitleSkip);
    EXPECT_EQ(Process().IniDir, (mRoot / "game").string());
    EXPECT_EQ(Process().MovieDir, (mRoot / "game" / "Movie").string());

    // A packed game reads only its archives, as ever.
    Write(mRoot / "game" / "scenario.quor", "x");
    const GameFolderSetup packed = Prepare(mRoot / "game");
    EXPECT_FALSE(packed.looseForced);
    EXPECT_FALSE(Process().Debug.ScenarioFileMode);
    EXPECT_EQ(Process().MovieDir, (mRoot / "game").string());
}

TEST_F(GameFolderTest, TheDebugFileMovesTheFoldersAndLooseFilesFillItsGaps) {
    Write(mRoot / "game" / "debug.ini",
          "[debug]\r\nScenarioFileMode=True\r\n[Folder]\r\nWorkspace=data\r\nini=ini\r\n"
          "movie=films\r\n");
    Write(mRoot / "game" / "data" / "ini" / "SystemInfo.ini", "[Game]\r\nTitle=t\r\n");
    const GameFolderSetup setup = Prepare(mRoot / "game");
    EXPECT_TRUE(setup.debugFile);
    EXPECT_EQ(setup.source, GameSource::kLoose);
    EXPECT_TRUE(setup.looseForced);  // pictures and sounds were off
    EXPECT_TRUE(Process().Debug.CGFileMode);
    EXPECT_EQ(Process().WorkspaceDir, (mRoot / "game" / "data").string());
    EXPECT_EQ(Process().IniDir, (mRoot / "game" / "data" / "ini").string());
    EXPECT_EQ(Process().MovieDir, (mRoot / "game" / "data" / "films").string());
    std::string error;
    const std::unique_ptr<INIFile> info = ReadGameSystemInfo(error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->KeySection("Game").KeyValue("Title"), "t");
}

// An editor that pads the file with NULs leaves its switches on: the text
// ends at the first, as a system file's does.
TEST_F(GameFolderTest, ADebugFileEndsAtANulByte) {
    Write(mRoot / "game" / "debug.ini",
          std::string("[debug]\r\nTitleSkip=true\r\nINIEncript=false\r\n\0\0\0", 46));
    Write(mRoot / "game" / "scenario.quor", "x");
    const GameFolderSetup setup = Prepare(mRoot / "game");
    EXPECT_TRUE(setup.debugFile);
    EXPECT_TRUE(Process().Debug.TitleSkip);
    EXPECT_FALSE(Process().Debug.INIEncript);
    Process().Debug = DebugSwitches{};
}

// The debug file is the author's own: its folders may lie elsewhere, and the
// player says which folder outside the game it reads. Folders inside say
// nothing.
TEST_F(GameFolderTest, AFolderOfTheDebugFileOutsideTheGameIsSaid) {
    Write(mRoot / "game" / "debug.ini",
          "[debug]\r\n[Folder]\r\nWorkspace=data\r\nini=..\\..\\shared\\ini\r\n");
    ::testing::internal::CaptureStderr();
    Prepare(mRoot / "game");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "zelk: debug.ini [Folder] ini: reading " +
                                                            (mRoot / "shared" / "ini").string() +
                                                            ", outside the game folder\n");
    EXPECT_EQ(Process().IniDir,
              (mRoot / "game" / "data" / ".." / ".." / "shared" / "ini").string());

    Write(mRoot / "game" / "debug.ini",
          "[debug]\r\n[Folder]\r\nWorkspace=" + (mRoot / "work").string() + "\r\n");
    ::testing::internal::CaptureStderr();
    Prepare(mRoot / "game");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("zelk: debug.ini [Folder] Workspace: reading " + (mRoot / "work").string() +
                        ", outside the game folder\n"),
              std::string::npos)
        << said;

    Write(mRoot / "game" / "debug.ini",
          "[debug]\r\n[Folder]\r\nWorkspace=data\r\nini=ini\r\nmovie=..\\films\r\n");
    ::testing::internal::CaptureStderr();
    Prepare(mRoot / "game");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A UTF-8 game's debug file is UTF-8 too: the folders it names are found
// once SystemInfo.ini, in the folder it names, says the game is UTF-8.
TEST_F(GameFolderTest, AUtf8GamesDebugFileNamesItsFoldersInUtf8) {
    const fs::path game = mRoot / "game";
    Write(game / "debug.ini",
          "\xEF\xBB\xBF[debug]\nEntryPoint=main.départ\n[Folder]\nini=réglages\n");
    Write(game / "réglages" / "SystemInfo.ini", "[Game]\nEncoding=UTF-8\nTitle=Zoë\n");
    const GameFolderSetup setup = Prepare(game);
    EXPECT_TRUE(setup.debugFile);
    EXPECT_EQ(Process().IniDir, (game / "réglages").string());
    EXPECT_EQ(Process().Debug.EntryPoint, "main.départ");
    EXPECT_EQ(setup.source, GameSource::kLoose);
    std::string error;
    const std::unique_ptr<INIFile> info = ReadGameSystemInfo(error);
    ASSERT_TRUE(info) << error;
    EXPECT_TRUE(info->Encoding().IsUtf8());
    EXPECT_EQ(info->KeySection("Game").KeyValue("Title"), "Zoë");
}

TEST_F(GameFolderTest, TheSystemInfoOfAPackedGameIsReadFromItsArchives) {
    const fs::path packed = testing::CopyOfDemoGame("game-folder-packed");
    if (packed.empty()) GTEST_SKIP() << "the demo game is not packed";
    Prepare(packed);
    std::string error;
    const std::unique_ptr<INIFile> info = ReadGameSystemInfo(error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->KeySection("Game").KeyValue("Title"), "ひかりの手紙");
    // Read twice: the archive reader of the first read is gone.
    EXPECT_TRUE(ReadGameSystemInfo(error));
    fs::remove_all(packed);
}

// The demo's loose sources, copied without a debug file, show the title
// menu with its pictures and its buttons at their size, and say once why.
TEST_F(GameFolderTest, ALooseCopyOfTheDemoShowsItsTitleMenu) {
    const fs::path game = mRoot / "demo";
    fs::copy(fs::path(ZELK_SOURCE_DIR) / "games" / "demo", game, fs::copy_options::recursive);
    fs::remove(game / "debug.ini");
    fs::create_directories(game / "savedata");
    {
        testing::Reader reader(game);
        ASSERT_TRUE(reader.AtTitle()) << reader.State();
        const std::vector<testing::EventRect> buttons = reader.Rects("main_menu");
        ASSERT_EQ(buttons.size(), 5u);
        for (const testing::EventRect& r : buttons) {
            EXPECT_EQ(r.x2 - r.x1, 180);
            EXPECT_EQ(r.y2 - r.y1, 36);
        }
        const std::string shot = (game / "title.png").string();
        ASSERT_TRUE(reader.Do("shot " + shot));
        EXPECT_GT(testing::Colours(shot, 0, 0, 640, 480), 100u);
        EXPECT_EQ(reader.Quit(), 0);
    }
    const testing::PlayerRun run = testing::RunScript(game, "quit\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string said =
        "zelk: " + fs::canonical(game).string() + " has no archives: playing its loose files\n";
    EXPECT_NE(run.errors.find(said), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find(said), run.errors.rfind(said)) << run.errors;
}

// A second player on the same game ends at once, and says why.
TEST_F(GameFolderTest, ASecondStartOfTheSameGameSaysItIsAlreadyOpen) {
    const fs::path game = testing::CopyOfDemoGame("game-folder-twice");
    if (game.empty()) GTEST_SKIP() << "the demo game is not packed";
    testing::Reader first(game);
    ASSERT_TRUE(first.Do("idle"));
    const testing::PlayerRun second = testing::RunScript(game, "quit\n");
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.errors, "zelk: " + fs::canonical(game).string() + " is already open\n");
    EXPECT_EQ(first.Quit(), 0);
    fs::remove_all(game);
}

}  // namespace
}  // namespace zelk
