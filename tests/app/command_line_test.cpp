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

TEST(CommandLine, AGamesScenarioArchiveMeansItsFolder) {
    const fs::path root = fs::path(::testing::TempDir()) / "command_line_archive";
    fs::remove_all(root);
    fs::create_directories(root / "game");
    fs::create_directories(root / "odd" / "scenario.quor");
    std::ofstream(root / "game" / "scenario.quor") << "x";
    std::ofstream(root / "game" / "image.quor") << "x";
    EXPECT_EQ(GameFolderOf((root / "game" / "scenario.quor").string()), (root / "game").string());
    // Only the scenario archive names a game; other files and a folder that
    // happens to carry the name are taken as they are, and refused later.
    EXPECT_EQ(GameFolderOf((root / "game" / "image.quor").string()),
              (root / "game" / "image.quor").string());
    EXPECT_EQ(GameFolderOf((root / "odd" / "scenario.quor").string()),
              (root / "odd" / "scenario.quor").string());
    EXPECT_EQ(GameFolderOf((root / "gone" / "scenario.quor").string()),
              (root / "gone" / "scenario.quor").string());
    EXPECT_EQ(GameFolderOf((root / "game").string()), (root / "game").string());
    // Relative and root-level names keep a usable folder.
    const fs::path before = fs::current_path();
    fs::current_path(root / "game");
    EXPECT_EQ(GameFolderOf("scenario.quor"), ".");
    EXPECT_EQ(GameFolderOf("./scenario.quor"), ".");
    fs::current_path(before);
}

// A path quoted for the shell, built by appending: GCC 12 at -O3 misreads a
// chain that prepends a literal as an overlapping copy.
std::string Quoted(const fs::path& path) {
    std::string quoted = "'";
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

std::string RunZelk(const std::string& arguments, int& status,
                    const std::string& environment = "") {
    const fs::path out = fs::path(::testing::TempDir()) / "command_line_out.txt";
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS=ok " +
                                environment + " " ZELK_BIN_DIR "/zelk " + arguments + " >'" +
                                out.string() + "' 2>&1";
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
    const std::string said = RunZelk(Quoted(empty), status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(said.find("is not a game folder"), std::string::npos) << said;
    // The same in the program's own words, as a box (here, its record).
    EXPECT_NE(said.find("システム情報をロードできません。"), std::string::npos) << said;
}

TEST(CommandLine, ThePlayerOpenedOnAScenarioArchivePlaysItsGame) {
    const fs::path folder = testing::CopyOfDemoGame("command_line_open_archive");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const fs::path input = folder / "input.txt";
    std::ofstream(input) << "idle\nstate\nquit\n";
    int status = -1;
    std::string environment = "ZELK_INPUT=";
    environment += Quoted(input);
    const std::string said = RunZelk(Quoted(folder / "scenario.quor"), status, environment);
    EXPECT_EQ(status, 0) << said;
    EXPECT_NE(said.find("state mode=1 "), std::string::npos) << said;
    EXPECT_TRUE(fs::exists(folder / "savedata" / "config.ini"));
}

}  // namespace
}  // namespace zelk
