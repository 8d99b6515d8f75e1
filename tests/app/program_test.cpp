// The whole program, started as a reader would start it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string output;  // standard error
};

ProgramRun RunZelk(const std::string& folder, const std::string& answers = "") {
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS='" +
                                answers + "' timeout 30 " + ZELK_BIN_DIR "/zelk '" + folder +
                                "' 2>&1 >/dev/null";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe))
        run.output += buffer.data();
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(Program, OnAFolderWithoutSystemFilesItSaysSoAndExitsCleanly) {
    const fs::path folder = fs::path(::testing::TempDir()) / "zelk-empty-game";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const ProgramRun run = RunZelk(folder.string());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "ゲーム起動中\tシステム情報をロードできません。\tok\n");
    EXPECT_TRUE(fs::is_directory(folder / "savedata"));
    fs::remove_all(folder);
}

}  // namespace
