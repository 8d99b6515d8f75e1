// Closing the player while something is still under way: the close waits
// for the program to come back to its main loop, then ends it cleanly with
// the reader's files written.
#include <gtest/gtest.h>

#include "zelk_process.h"

namespace zelk::testing {
namespace {

// The first page types slowly; the close comes while it is being typed and
// lasts beyond the launcher's close timer.
TEST(Closing, WhileAPageIsTypedEndsTheProgramCleanly) {
    const fs::path folder = CopyOfDemoGame("zelk-close-typing");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const PlayerRun run = RunScript(folder,
                                    "idle\nwait 3500\nidle\nmenu message!slow\n"
                                    "click 150 254\nidle\nclick 320 240\nwait 1200\n"
                                    "state\nquit\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    std::string typing;
    for (const std::string& line : run.lines)
        if (line.starts_with("state ")) typing = line;
    EXPECT_NE(typing.find(" mode=2 "), std::string::npos) << typing;
    EXPECT_TRUE(fs::exists(folder / "savedata" / "config.ini"));
    EXPECT_TRUE(fs::exists(folder / "savedata" / "sd00.ini"));
    if (!HasFailure()) fs::remove_all(folder);
}

}  // namespace
}  // namespace zelk::testing
