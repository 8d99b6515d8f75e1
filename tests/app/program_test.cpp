// The whole program, started as a reader would start it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string output;  // standard error
};

ProgramRun RunZelk(const std::string& folder, const std::string& answers = "") {
    const std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS='" +
                                answers + "' ZELK_SAVE_DIR='" + folder + "/savedata' timeout 30 " +
                                ZELK_BIN_DIR "/zelk '" + folder + "' 2>&1 >/dev/null";
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
    // An orderly end, but no success for a calling script.
    EXPECT_EQ(run.status, 1);
    // One line for the terminal, then the program's own message box.
    EXPECT_EQ(run.output,
              "zelk: " + fs::canonical(folder).string() +
                  " is not a game folder: it has no archives (*.quor) and no SystemInfo.ini\n"
                  "ゲーム起動中\tシステム情報をロードできません。\tok\n");
    // No game, no folder for its saves.
    EXPECT_FALSE(fs::exists(folder / "savedata"));
    fs::remove_all(folder);
}

}  // namespace

namespace {

// Waits for a condition for at most the limit, checking every few
// milliseconds; a process gives no other sign of its progress.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST(Program, PlaysThePackedDemoGameAndClosesOnAQuitRequest) {
    const fs::path packed = fs::path(ZELK_BIN_DIR) / ".." / "games" / "demo";
    if (!fs::exists(packed / "scenario.quor")) GTEST_SKIP() << "the demo game is not packed";
    const fs::path folder = fs::path(::testing::TempDir()) / "zelk-demo-game";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(packed)) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / entry.path().filename());
    }

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("ZELK_ANSWERS", "", 1);
        setenv("ZELK_SAVE_DIR", (folder / "savedata").c_str(), 1);
        execl(ZELK_BIN_DIR "/zelk", "zelk", folder.c_str(), nullptr);
        _exit(127);
    }
    // The reader's files appear once the root has opened.
    const bool opened = WaitFor([&] { return fs::exists(folder / "savedata" / "sd00.ini"); },
                                std::chrono::seconds(30));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::exists(folder / "savedata" / "config.ini"));
    fs::remove_all(folder);
}

}  // namespace
