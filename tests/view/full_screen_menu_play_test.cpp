// The menu bar in full screen, used with the pointer as a reader uses it: the
// bar comes down when the pointer reaches the top, and a dropdown opened from
// it stays while the pointer goes down to one of its items, so that the item
// clicked runs.
#include <gtest/gtest.h>

#include <string>

#include "modes/play_support.h"

namespace zelk {
namespace {

using testing::CopyOfDemoGame;
using testing::Reader;

// Game-screen pixels, at the demo's 640 x 480 in the dummy display's full
// screen: "ファイル" on the bar, and "終了", the last item of its dropdown,
// well below the bar's band.
constexpr const char* kFileMenu = "19 5";
constexpr const char* kExitItem = "19 82";

TEST(FullScreenMenuPlay, AnItemFarDownTheDropdownIsReachedAndRuns) {
    const auto folder = CopyOfDemoGame("full_screen_menu");
    if (folder.empty()) GTEST_SKIP() << "the demo game is not packed";
    Reader reader(folder);
    ASSERT_TRUE(reader.AtTitle()) << reader.State();
    ASSERT_TRUE(reader.Do("menu screen!full") && reader.Do("idle"));
    ASSERT_EQ(reader.Get("screen"), "0") << reader.State();

    ASSERT_TRUE(reader.Do("move 100 5") && reader.Do("idle"));
    ASSERT_TRUE(reader.Do(std::string("click ") + kFileMenu) && reader.Do("idle"));
    ASSERT_TRUE(reader.Do(std::string("move ") + kExitItem) && reader.Do("idle"));
    const std::string shot = (folder / "dropdown.png").string();
    ASSERT_TRUE(reader.Do("shotwin " + shot));
    ASSERT_TRUE(reader.Do("answer yes"));
    ASSERT_TRUE(reader.Do(std::string("click ") + kExitItem));
    // The exit asked its question, had its yes, and the player closes.
    reader.Do("wait 2000");
    const std::string after = reader.State();
    EXPECT_EQ(after, "") << "the player still runs; the dropdown: " << shot;
    if (after.empty()) {
        EXPECT_EQ(reader.Wait(), 0);
    }
}

}  // namespace
}  // namespace zelk
