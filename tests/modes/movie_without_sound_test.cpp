// A machine without a sound device: the sound engine cannot start, the game
// goes on silent, and its movies still show their pictures.
#include <gtest/gtest.h>

#include <string>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::Colours;
using testing::CopyOfDemoGame;
using testing::Field;
using testing::LoadRgb;
using testing::RunScript;

TEST(MovieWithoutSound, TheOpeningMovieShowsItsPicturesWithoutASoundDevice) {
    const auto folder = CopyOfDemoGame("movie_without_sound");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string shots = folder.string();
    // A new game opens with its movie; two pictures of it a second apart.
    const std::string script =
        "idle\nwait 3500\nidle\nclick 150 254\nidle\nwait 1500\nstate\n"
        "shot " +
        shots + "/first.png\nwait 1000\nshot " + shots + "/second.png\nstate\nquit\n";
    const testing::PlayerRun run = RunScript(folder, script, "SDL_AUDIODRIVER=no_such_driver");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("cannot start the sound engine"), std::string::npos) << run.errors;
    std::vector<std::string> states;
    for (const std::string& line : run.lines)
        if (line.starts_with("state ")) states.push_back(line);
    ASSERT_EQ(states.size(), 2u) << run.errors;
    EXPECT_EQ(Field(states[0], "mode"), "2");
    EXPECT_EQ(Field(states[0], "movie"), "1");
    EXPECT_EQ(Field(states[1], "movie"), "1");
    EXPECT_GT(Colours(shots + "/first.png", 0, 0, 640, 480), 16u);
    const auto first = LoadRgb(shots + "/first.png");
    const auto second = LoadRgb(shots + "/second.png");
    ASSERT_FALSE(first.pixels.empty());
    EXPECT_NE(first.pixels, second.pixels) << "the movie stood still";
}

}  // namespace
}  // namespace zelk
