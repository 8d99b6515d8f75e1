// The demo game's first ending and the rewards it opens, played through the
// player's scripted input: the staff roll and its credits rising, the way
// back to the title, the extras button enabled, the gallery and the replay
// screen opening what was seen, a replay and its return, and the music room
// heard through SDL's disk driver.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::EventRect;
using testing::LoadRgb;
using testing::Loudness;
using testing::Open;
using testing::Reader;
using testing::Rgb;

constexpr int kScreenHeight = 480;

// Where the credits picture stands in a shot of the roll: the top edge, as
// the offset whose opaque pixels match the shot best on the left half (the
// overlay cells rise over the right half). `match` is the share of pixels
// that agree there.
int CreditsTop(const Rgb& shot, double& match) {
    SDL_Surface* loaded = IMG_Load(ZELK_SOURCE_DIR "/games/demo/image/ed_credits.png");
    SDL_Surface* credits =
        loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
    SDL_FreeSurface(loaded);
    match = 0;
    if (credits == nullptr || shot.w == 0) return std::numeric_limits<int>::min();
    struct Ink {
        int x, y;
        std::uint8_t r, g, b;
    };
    std::vector<Ink> ink;
    for (int y = 0; y < credits->h; ++y)
        for (int x = 0; x < std::min(credits->w, shot.w / 2); ++x) {
            const auto* p =
                static_cast<const std::uint8_t*>(credits->pixels) + y * credits->pitch + x * 4;
            if (p[3] > 240) ink.push_back({x, y, p[0], p[1], p[2]});
        }
    const int height = credits->h;
    SDL_FreeSurface(credits);
    int best = std::numeric_limits<int>::min();
    for (int top = -height; top <= shot.h; ++top) {
        size_t inside = 0, agree = 0;
        for (const Ink& i : ink) {
            const int y = top + i.y;
            if (y < 0 || y >= shot.h) continue;
            ++inside;
            const std::uint8_t* p = shot.At(i.x, y);
            if (std::abs(p[0] - i.r) < 24 && std::abs(p[1] - i.g) < 24 && std::abs(p[2] - i.b) < 24)
                ++agree;
        }
        // A sliver at the screen's edge proves nothing.
        if (inside < 200) continue;
        const double share = double(agree) / inside;
        if (share > match) match = share, best = top;
    }
    return best;
}

TEST(EndingsAndExtras, TheFirstEndingRollsItsCreditsAndOpensTheExtras) {
    const auto folder = CopyOfDemoGame("endings_and_extras");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    const std::string shots = folder.string();
    {
        Reader reader(folder);
        ASSERT_TRUE(reader.AtTitle()) << reader.State();
        const std::vector<EventRect> menu = reader.Rects("main_menu");
        ASSERT_EQ(menu.size(), 5u);
        EXPECT_EQ(menu[3].extension, "omake");
        EXPECT_FALSE(menu[3].enabled);

        // Skip to the choice, take the first (the light), and on to the roll.
        ASSERT_TRUE(reader.Click(menu[0]));
        reader.SkipWhileIn("2");
        ASSERT_EQ(reader.Get("mode"), "4") << reader.State();
        EXPECT_EQ(reader.Get("sub"), "14");

        // The credits rise at 1602 pixels in 36 s: 89 in the two seconds
        // between the shots, more when a shot itself is slow.
        ASSERT_TRUE(reader.Do("wait 4000"));
        ASSERT_TRUE(reader.Do("shot " + shots + "/roll1.png"));
        ASSERT_TRUE(reader.Do("wait 2000"));
        ASSERT_TRUE(reader.Do("shot " + shots + "/roll2.png"));
        double match1 = 0, match2 = 0;
        const int top1 = CreditsTop(LoadRgb(shots + "/roll1.png"), match1);
        const int top2 = CreditsTop(LoadRgb(shots + "/roll2.png"), match2);
        const std::string tops = std::to_string(top1) + " then " + std::to_string(top2);
        EXPECT_GT(match1, 0.8) << tops;
        EXPECT_GT(match2, 0.8) << tops;
        EXPECT_LT(top1, kScreenHeight) << tops;
        EXPECT_GE(top1 - top2, 80) << tops;
        EXPECT_LE(top1 - top2, 300) << tops;

        // A right click ends the roll; the story goes on to the title.
        ASSERT_TRUE(reader.Do("rclick 320 240"));
        ASSERT_TRUE(reader.AtTitle()) << reader.State();
        const std::vector<EventRect> after = reader.Rects("main_menu");
        ASSERT_EQ(after.size(), 5u);
        EXPECT_TRUE(after[3].enabled);

        // The gallery: every picture of the first ending open, the second
        // ending's dawn closed.
        ASSERT_TRUE(reader.Click(after[3]));
        EXPECT_EQ(reader.Get("mode"), "5") << reader.State();
        EXPECT_EQ(Open(reader.Rects("panel")),
                  (std::vector<bool>{true, true, true, false, true, true}));

        // The replay screen: the three scenes and the first ending.
        ASSERT_TRUE(reader.Click(reader.Rects("mode")[1]));
        const std::vector<bool> scenes{true, true, true, true, false, false};
        EXPECT_EQ(Open(reader.Rects("panel")), scenes);
        EXPECT_FALSE(reader.Rects("mode")[1].enabled);

        // A replay of the first scene plays in the game mode and comes back
        // to the replay screen.
        ASSERT_TRUE(reader.Click(reader.Rects("panel")[0]));
        EXPECT_EQ(reader.Get("mode"), "2") << reader.State();
        EXPECT_EQ(reader.Get("script"), "s01") << reader.State();
        reader.SkipWhileIn("2");
        ASSERT_EQ(reader.Get("mode"), "5") << reader.State();
        ASSERT_TRUE(reader.Do("idle"));
        EXPECT_FALSE(reader.Rects("mode")[1].enabled);
        EXPECT_EQ(Open(reader.Rects("panel")), scenes);
        EXPECT_EQ(reader.Quit(), 0);
    }

    // What the play left in the shared data: the ending cleared, its scenes
    // opened for the replay, and its pictures in the gallery's history.
    const std::string shared = testing::Decoded(folder / "savedata" / "sd00.ini");
    for (const char* line : {"clear_a=1", "clear_b=0", "rep_s1=1", "rep_ea=1", "rep_eb=0",
                             "ev_bottle=1", "ev_light=1", "end_a:"})
        EXPECT_NE(shared.find(line), std::string::npos) << line;
    EXPECT_EQ(shared.find("ev_dawn="), std::string::npos);

    // The music room, heard: silence after its stop button, then the piece
    // of its second panel.
    const std::string sound = shots + "/music.raw";
    {
        Reader reader(folder, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", sound}});
        ASSERT_TRUE(reader.AtTitle()) << reader.State();
        ASSERT_TRUE(reader.Click(reader.Rects("main_menu")[3]));
        ASSERT_TRUE(reader.Click(reader.Rects("mode")[2]));
        const std::vector<EventRect> commands = reader.Rects("command");
        ASSERT_EQ(commands.size(), 4u);
        // The title's music goes on until the room plays an entry; its stop
        // button stops only what the room plays.
        EXPECT_EQ(reader.Get("bgm"), "bgm_title");
        ASSERT_TRUE(reader.Click(reader.Rects("panel")[0]));
        ASSERT_TRUE(reader.Click(commands[2]));
        EXPECT_EQ(reader.Get("bgm"), "-");
        ASSERT_TRUE(reader.Do("wait 1500"));
        ASSERT_TRUE(reader.Click(reader.Rects("panel")[1]));
        EXPECT_EQ(reader.Get("bgm"), "bgm_day");
        ASSERT_TRUE(reader.Do("wait 2000"));
        EXPECT_EQ(reader.Quit(), 0);
    }
    const std::vector<double> levels = Loudness(sound);
    ASSERT_GT(levels.size(), 30u);
    // The last stretches before the quit play the piece...
    size_t end = levels.size();
    while (end > 0 && levels[end - 1] < 1e-4)
        --end;  // the close may pad silence
    ASSERT_GT(end, 10u);
    double loud = 0;
    for (size_t i = end - 10; i < end; ++i)
        loud = std::max(loud, levels[i]);
    EXPECT_GT(loud, 0.01) << levels.size() << " stretches";
    // ...after a second of silence that the stop left.
    size_t silent = 0, longest = 0;
    for (size_t i = 0; i + 10 < end; ++i) {
        silent = levels[i] < 1e-4 ? silent + 1 : 0;
        longest = std::max(longest, silent);
    }
    EXPECT_GE(longest, 8u) << levels.size() << " stretches";
}

}  // namespace
}  // namespace zelk
