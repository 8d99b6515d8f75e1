// The reader's own files under conditions a reader meets: a full disk that
// refuses the settings, leftovers of a write that a kill interrupted, and a
// second copy of the same game that would share the saves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "zelk_process.h"

namespace zelk::testing {
namespace {

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Runs the player as RunScript does, under a file-size limit: a write of a
// file beyond `blocks` × 512 bytes fails as on a full disk (for any user,
// where a read-only folder stops no administrator). Standard output and
// error come together through a pipe, which the limit does not reach.
PlayerRun RunOnAFullDisk(const fs::path& folder, const std::string& script, size_t blocks) {
    const fs::path input = folder / "input.txt";
    const fs::path all = folder / "output.txt";
    const fs::path status = folder / "status.txt";
    if (FILE* file = std::fopen(input.c_str(), "wb")) {
        std::fputs(script.c_str(), file);
        std::fclose(file);
    }
    const std::string command =
        "( trap '' XFSZ; ulimit -f " + std::to_string(blocks) +
        "; SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ZELK_ANSWERS= ZELK_INPUT='" +
        input.string() + "' timeout 60 " ZELK_BIN_DIR "/zelk '" + folder.string() +
        "'; echo $? >'" + status.string() + "' ) 2>&1 | cat >'" + all.string() + "'";
    const int ran = std::system(command.c_str());
    (void)ran;  // the status file tells how the player ended
    PlayerRun run;
    run.errors = ReadAll(all);
    run.lines = SplitLines(run.errors);
    run.status = std::atoi(ReadAll(status).c_str());
    return run;
}

// A settings dialog's OK that cannot write says which file and why, once on
// the terminal and once in the window; the old file stays whole, the
// dialog's values stay in force, and the writes at exit add no second
// message. A temporary file that an earlier kill left is gone at the start.
TEST(ReaderFiles, AFullDiskIsToldOnceAndTheOldSettingsStayWhole) {
    const fs::path folder = CopyOfDemoGame("zelk-reader-files-full");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const fs::path saves = folder / "savedata";
    const fs::path leftover = saves / ".config.ini.Qx81Lm.part";
    if (FILE* file = std::fopen(leftover.c_str(), "wb")) std::fclose(file);
    const PlayerRun first = RunScript(folder, "idle\nquit\n");
    ASSERT_EQ(first.status, 0) << first.errors;
    EXPECT_FALSE(fs::exists(leftover)) << "left by a killed write, removed at the start";

    const fs::path config = saves / "config.ini";
    const std::string before = ReadAll(config);
    ASSERT_GT(before.size(), 1024u);
    const PlayerRun run = RunOnAFullDisk(folder,
                                         "idle\nmenu property!sound\n"
                                         "dialog set sldSndVolume(2) 100\ndialog ok\nidle\n"
                                         "menu property!sound\ndialog get sldSndVolume(2)\n"
                                         "dialog cancel\nidle\nquit\n",
                                         (before.size() - 1) / 512);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(ReadAll(config), before) << "the old settings are whole";
    EXPECT_NE(run.errors.find("value sldSndVolume(2) 100"), std::string::npos)
        << "the dialog's values stay in force\n"
        << run.errors;
    EXPECT_EQ(Count(run.errors, "zelk: cannot write " + config.string() + ": File too large\n"), 1u)
        << run.errors;
    size_t boxes = 0;
    for (const std::string& line : run.lines) {
        if (line.find("ファイルを保存できませんでした") != std::string::npos &&
            line.find(config.string() + ": File too large") != std::string::npos)
            ++boxes;
    }
    EXPECT_EQ(boxes, 1u) << run.errors;
    for (const auto& entry : fs::directory_iterator(saves))
        EXPECT_FALSE(entry.path().string().ends_with(".part")) << entry.path();
    if (!HasFailure()) fs::remove_all(folder);
}

// Two copies of one game in different folders keep their saves in the same
// folder of the reader's: the second says so and ends, and the first plays
// on undisturbed.
TEST(ReaderFiles, ASecondCopyOfTheSameGameIsRefused) {
    const fs::path first = CopyOfDemoGame("zelk-reader-files-copy-a");
    const fs::path second = CopyOfDemoGame("zelk-reader-files-copy-b");
    if (first.empty()) GTEST_SKIP() << "the demo game is not packed";
    // Saves kept under the data home, as for an installed game.
    fs::remove_all(first / "savedata");
    fs::remove_all(second / "savedata");
    const fs::path home = fs::path(::testing::TempDir()) / "zelk-reader-files-home";
    fs::remove_all(home);
    fs::create_directories(home);

    Conversation playing(first, {{"XDG_DATA_HOME", home.string()}});
    ASSERT_EQ(playing.Say("idle").back(), "ok");
    const PlayerRun refused =
        RunScript(second, "idle\nquit\n", "XDG_DATA_HOME='" + home.string() + "'");
    EXPECT_EQ(refused.status, 0) << refused.errors;
    EXPECT_NE(refused.errors.find("another copy of this game is open and uses the same saves in " +
                                  (home / "zelk").string()),
              std::string::npos)
        << refused.errors;
    EXPECT_TRUE(refused.lines.empty()) << "no command was carried out";
    EXPECT_FALSE(fs::exists(second / "savedata"));

    const std::vector<std::string> state = playing.Say("state");
    ASSERT_EQ(state.size(), 2u);
    EXPECT_NE(state[0].find(" mode=1 "), std::string::npos) << state[0];
    playing.Say("quit");
    EXPECT_EQ(playing.Wait(), 0);
    if (!HasFailure()) {
        fs::remove_all(first);
        fs::remove_all(second);
        fs::remove_all(home);
    }
}

}  // namespace
}  // namespace zelk::testing
