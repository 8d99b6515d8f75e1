// The extras' replay screen of a game whose settings write the switch of its
// text pictures as "True": a setting is true for "true" in any case, so the
// picture under the panels tells of the scene under the pointer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "modes/play_support.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::EventRect;
using testing::LoadRgb;
using testing::MeanDifference;
using testing::Reader;

TEST(ReplayTextPlay, ASwitchWrittenTrueInCapitalsShowsThePanelsText) {
    const auto folder = CopyOfDemoGame("replay_text_in_capitals");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    // The game's own extras file with the switch in the case a settings
    // editor writes; a loose file is read before the archived one.
    std::string omake;
    ASSERT_TRUE(ReadTextFile(ZELK_SOURCE_DIR "/games/demo/omake_mode.ini", omake));
    const size_t at = omake.find("RepModeText=true");
    ASSERT_NE(at, std::string::npos);
    omake.replace(at, 16, "RepModeText=True");
    ASSERT_TRUE(WriteTextFile((folder / "omake_mode.ini").string(), omake));
    // Every scene open, as for the game's author.
    ASSERT_TRUE(WriteFileAtomic((folder / "debug.ini").string(), "[debug]\r\nAllCG=true\r\n"));

    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Click(reader.Rects("main_menu")[3]));
    ASSERT_EQ(reader.Get("mode"), "5") << reader.State();
    ASSERT_TRUE(reader.Click(reader.Rects("mode")[1]));
    EXPECT_EQ(reader.Rects("repmodetext").size(), 1u);
    const std::vector<EventRect> panels = reader.Rects("panel");
    ASSERT_FALSE(panels.empty());
    ASSERT_TRUE(panels[0].enabled);

    const std::string away = (folder / "away.png").string();
    const std::string pointed = (folder / "pointed.png").string();
    ASSERT_TRUE(reader.Do("move 630 470") && reader.Do("idle") && reader.Do("shot " + away));
    ASSERT_TRUE(reader.Do("move " + panels[0].Centre()) && reader.Do("idle") &&
                reader.Do("shot " + pointed));
    // The text picture's place: empty with the pointer away, the first
    // scene's words with the pointer on its panel.
    EXPECT_GT(MeanDifference(LoadRgb(away), LoadRgb(pointed), 100, 380, 540, 416), 4.0)
        << away << " " << pointed;
    EXPECT_EQ(reader.Quit(), 0);
}

}  // namespace
}  // namespace zelk
