// The player's first moments and its window, as a reader sees them through
// the scripted input: the game's empty screen before the title, and the
// picture filling the screen in full screen.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/zelk_process.h"
#include "modes/play_support.h"

namespace zelk::testing {
namespace {

// The demo game's own system file with one line changed, loose beside the
// archives (a loose file is read before the packed one).
void SetSystemValue(const fs::path& folder, const std::string& key, const std::string& value) {
    std::ifstream in(fs::path(ZELK_SOURCE_DIR) / "games" / "demo" / "SystemInfo.ini",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string system = text.str();
    const size_t at = system.find("\n" + key + "=");
    ASSERT_NE(at, std::string::npos) << key;
    const size_t end = system.find_first_of("\r\n", at + 1);
    system.replace(at + 1, end - at - 1, key + "=" + value);
    std::ofstream(folder / "SystemInfo.ini", std::ios::binary) << system;
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        folder = CopyOfDemoGame(std::string("start-up-") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    }
    void TearDown() override {
        if (!folder.empty() && !HasFailure()) fs::remove_all(folder);
    }
    std::string Shot(const std::string& name) const { return (folder / name).string(); }

    fs::path folder;
};

// The title starts 600 ms after the window: until then the screen is the
// game's own colour, written red-green-blue in its settings.
TEST_F(StartUp, TheGamesInitialScreenColourShowsBeforeTheTitle) {
    SetSystemValue(folder, "InitialScreenColor", "&hFF0000");
    const PlayerRun run = RunScript(
        folder, "shot " + Shot("early.png") + "\nwait 230\nshot " + Shot("later.png") + "\nquit\n");
    ASSERT_EQ(run.status, 0) << run.errors;
    for (const char* name : {"early.png", "later.png"}) {
        SCOPED_TRACE(name);
        const Rgb shot = LoadRgb(Shot(name));
        ASSERT_EQ(shot.w, 640);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{320, 240}, std::pair{639, 479}}) {
            const std::uint8_t* pixel = shot.At(x, y);
            EXPECT_EQ(pixel[0], 255) << x << "," << y;
            EXPECT_EQ(pixel[1], 0) << x << "," << y;
            EXPECT_EQ(pixel[2], 0) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace zelk::testing
