// How the program reads what the reader typed, and what it says back.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/zelk_process.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, ReadsAFolderAndTheSwitchesInAnyOrder) {
    EXPECT_TRUE(ParseCommandLine({}).gameFolder.empty());
    EXPECT_EQ(ParseCommandLine({}).screenMode, -1);

    const CommandLine window = ParseCommandLine({"--window", "games/a"});
    EXPECT_EQ(window.gameFolder, "games/a");
    EXPECT_EQ(window.screenMode, 1);
    EXPECT_TRUE(window.error.empty());
    // The last of the two screen switches counts.
    EXPECT_EQ(ParseCommandLine({"games/a", "--window", "--fullscreen"}).screenMode, 0);
    EXPECT_TRUE(ParseCommandLine({"-h"}).help);
    EXPECT_TRUE(ParseCommandLine({"a", "--version"}).version);
    // After "--" a folder may begin with a dash.
    EXPECT_EQ(ParseCommandLine({"--", "-odd"}).gameFolder, "-odd");
}

TEST(CommandLine, MisspeltSwitchesAndASecondFolderAreRefused) {
    EXPECT_EQ(ParseCommandLine({"--fulscreen"}).error, "unknown option --fulscreen");
    EXPECT_EQ(ParseCommandLine({"a", "b"}).error, "one game folder only, not also b");
    // A lone dash is a name, not a switch.
    EXPECT_EQ(ParseCommandLine({"-"}).gameFolder, "-");
}

std::string RunZelk(const std::string& arguments, int& status) {
    const fs::path out = fs::path(::testing::TempDir()) / "command_line_out.txt";
    const std::string command =
        "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS=ok " ZELK_BIN_DIR "/zelk " +
        arguments + " >'" + out.string() + "' 2>&1";
    const int raw = std::system(command.c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return testing::ReadAll(out);
}

TEST(CommandLine, TheProgramAnswersHelpVersionAndAFolderThatIsNoGame) {
    int status = -1;
    EXPECT_NE(RunZelk("--help", status).find("usage: zelk"), std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RunZelk("--version", status).rfind("zelk ", 0), 0u);
    EXPECT_EQ(status, 0);
    EXPECT_NE(RunZelk("--bogus", status).find("unknown option --bogus"), std::string::npos);
    EXPECT_EQ(status, 2);

    const fs::path empty = fs::path(::testing::TempDir()) / "command_line_not_a_game";
    fs::create_directories(empty);
    const std::string said = RunZelk("'" + empty.string() + "'", status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("is not a game folder"), std::string::npos) << said;
    // The same in the program's own words, as a box (here, its record).
    EXPECT_NE(said.find("システム情報をロードできません。"), std::string::npos) << said;
}

}  // namespace
}  // namespace zelk
