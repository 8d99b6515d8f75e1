// The about box closes from the keyboard as from its button: Escape and
// Return, each pressed and released between two frames as a quick tap or
// the scripted input does.
#include <gtest/gtest.h>

#include <string>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::LoadRgb;
using testing::MeanDifference;
using testing::Reader;

TEST(AboutBoxPlay, EscapeAndReturnCloseTheBox) {
    const auto folder = CopyOfDemoGame("about_box");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    for (const std::string key : {"Escape", "Return"}) {
        const std::string before = (folder / ("before-" + key + ".png")).string();
        const std::string open = (folder / ("open-" + key + ".png")).string();
        const std::string after = (folder / ("after-" + key + ".png")).string();
        ASSERT_TRUE(reader.Do("idle") && reader.Do("shotwin " + before));
        // A modal box holds the pump, so the player never goes idle under it.
        ASSERT_TRUE(reader.Do("menu help!version") && reader.Do("wait 300"));
        ASSERT_TRUE(reader.Do("shotwin " + open));
        ASSERT_TRUE(reader.Do("key " + key) && reader.Do("idle"));
        ASSERT_TRUE(reader.Do("shotwin " + after));
        // The box stands in the middle of the window.
        EXPECT_GT(MeanDifference(LoadRgb(open), LoadRgb(before), 220, 190, 420, 310), 10.0)
            << key << ": the box did not open: " << open;
        EXPECT_LT(MeanDifference(LoadRgb(after), LoadRgb(before), 220, 190, 420, 310), 1.0)
            << key << " left the box open: " << after;
    }
    EXPECT_EQ(reader.Quit(), 0);
}

}  // namespace
}  // namespace zelk
