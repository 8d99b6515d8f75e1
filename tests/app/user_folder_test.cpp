// The reader's files of a game go to a folder named after the game itself,
// so that two games never meet and a moved game finds its saves.
#include "app/user_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/zelk_process.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

void WriteWholeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Sets environment variables for one test and puts back what was there.
class Environment {
public:
    ~Environment() {
        for (const auto& [name, value] : mSaved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name.c_str());
        mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

class UserFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        mRoot = fs::path(::testing::TempDir()) /
                ("user-folder-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot / "data");
        mEnvironment.Set("ZELK_SAVE_DIR", std::nullopt);
        mEnvironment.Set("XDG_DATA_HOME", (mRoot / "data").string());
    }
    void TearDown() override { fs::remove_all(mRoot); }

    fs::path Games() const { return mRoot / "data" / "zelk"; }

    fs::path mRoot;
    Environment mEnvironment;
};

TEST_F(UserFolderTest, TheKeyIsTheTitleMadeSafeWithAStableHash) {
    // FNV-1a of the title's bytes: the same on every build and machine.
    EXPECT_EQ(GameKey("ひかりの手紙", "/x"), "ひかりの手紙-f0e3f427");
    EXPECT_EQ(GameKey("Alpha", "/x"), "Alpha-0348724b");
    EXPECT_EQ(GameKey("a/b", "/x").substr(0, 4), "a_b-");
    // Titles that the safe name would merge stay apart.
    EXPECT_NE(GameKey("a/b", "/x"), GameKey("a:b", "/x"));
    EXPECT_EQ(GameKey("..hidden. ", "/x").substr(0, 7), "hidden-");
    const std::string longTitle(40, 'x');
    EXPECT_EQ(GameKey(longTitle + longTitle, "/x").size(), 64u + 9u);
    // A cut never splits a character.
    const std::string kana = "あいうえおかきくけこさしすせそたちつてとなにぬねの";  // 3 bytes each
    EXPECT_EQ(GameKey(kana, "/x").size(), 63u + 9u);
    // Untitled games are told apart by their folders.
    EXPECT_NE(GameKey("", "/one/game"), GameKey("", "/two/game"));
    EXPECT_EQ(GameKey("", "/one/game").substr(0, 9), "untitled-");
}

TEST_F(UserFolderTest, TheChosenFolderAndTheOverrides) {
    const fs::path game = mRoot / "games" / "game";
    fs::create_directories(game);
    EXPECT_EQ(ChooseUserFolder(game, "Alpha").path, (Games() / GameKey("Alpha", "")).string());
    EXPECT_EQ(ChooseUserFolder(game, "Alpha").note, "");
    // A portable copy keeps its saves beside it.
    fs::create_directories(game / "savedata");
    EXPECT_EQ(ChooseUserFolder(game, "Alpha").path, (game / "savedata").string());
    mEnvironment.Set("ZELK_SAVE_DIR", "/chosen");
    EXPECT_EQ(ChooseUserFolder(game, "Alpha").path, "/chosen");
}

TEST_F(UserFolderTest, OldSavesUnderTheFolderNameMoveOnceAndAreNeverLost) {
    const fs::path game = mRoot / "games" / "game";
    fs::create_directories(game);
    fs::create_directories(Games() / "game");
    WriteWholeFile(Games() / "game" / "sd00.ini", "old shared data");

    const UserFolder first = ChooseUserFolder(game, "Alpha");
    const fs::path key = Games() / GameKey("Alpha", "");
    EXPECT_EQ(first.path, key.string());
    EXPECT_EQ(first.note, "zelk: moved this game's saves from " + (Games() / "game").string() +
                              " to " + key.string());
    EXPECT_FALSE(fs::exists(Games() / "game"));
    EXPECT_EQ(testing::ReadAll(key / "sd00.ini"), "old shared data");

    // Once moved, nothing more happens.
    EXPECT_EQ(ChooseUserFolder(game, "Alpha").note, "");

    // An older build made the old folder again: both are kept as they are.
    fs::create_directories(Games() / "game");
    WriteWholeFile(Games() / "game" / "sd00.ini", "older still");
    const UserFolder both = ChooseUserFolder(game, "Alpha");
    EXPECT_EQ(both.path, key.string());
    EXPECT_NE(both.note.find("stay in " + (Games() / "game").string()), std::string::npos);
    EXPECT_EQ(testing::ReadAll(Games() / "game" / "sd00.ini"), "older still");
    EXPECT_EQ(testing::ReadAll(key / "sd00.ini"), "old shared data");
}

// Two games in folders of the same name, each played once: before, both
// wrote one folder and read each other's settings and saves.
TEST_F(UserFolderTest, TwoGamesInFoldersOfOneNameKeepTheirFilesApart) {
    for (const char* title : {"Alpha", "Beta"}) {
        const fs::path parent = mRoot / title;
        fs::create_directories(parent);
        const std::string command = "cd '" + parent.string() +
                                    "' && " ZELK_BIN_DIR "/zelk-tool new game --title " + title +
                                    " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const testing::PlayerRun run = testing::RunScript(parent / "game", "idle\nquit\n");
        ASSERT_EQ(run.status, 0) << run.errors;
    }
    for (const char* title : {"Alpha", "Beta"}) {
        const fs::path folder = Games() / GameKey(title, "");
        EXPECT_TRUE(fs::exists(folder / "sd00.ini")) << folder;
        EXPECT_TRUE(fs::exists(folder / "config.ini")) << folder;
    }
    EXPECT_FALSE(fs::exists(Games() / "game"));
}

}  // namespace
}  // namespace zelk
