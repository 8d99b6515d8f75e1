#include <gtest/gtest.h>

#include "modes/mode_fixture.h"
#include "modes/mode_game.h"
#include "modes/mode_title.h"

namespace zelk {
namespace {

class ModeFramework : public testing::ModeTest {};

TEST_F(ModeFramework, AnUnknownIdentifierLeavesADoNothingMode) {
    Root().ChangeMode(9, 0);
    ASSERT_NE(Root().Mode(), nullptr);
    EXPECT_EQ(Root().VellMode(), 9);
    EXPECT_EQ(Root().Mode()->GameMembers(), nullptr);
    Root().Click(kCmdClick);
    EXPECT_EQ(Root().Mode()->SubStatus(), 0);
}

TEST_F(ModeFramework, OnlyTheGameModeOffersItsMembers) {
    Root().ChangeMode(kModeTitle, 1);
    EXPECT_EQ(Root().Mode()->GameMembers(), nullptr);
    Root().ChangeMode(kModeGame, 7);
    EXPECT_NE(Root().Mode()->GameMembers(), nullptr);
}

TEST_F(ModeFramework, SwitchingToTheSameModeStartsAFreshOne) {
    Root().ChangeMode(kModeGame, 7);
    clsModeBase* first = Root().Mode();
    first->SubStatus(42);
    Root().ChangeMode(kModeGame, 7);
    EXPECT_NE(Root().Mode(), first);
    EXPECT_EQ(Root().Mode()->SubStatus(), kGameReading);
}

TEST_F(ModeFramework, AClickRaisedForTheTitleIsIgnoredByTheGame) {
    Root().Host().AddScript("main", "start:\r\nwait\r\nwait");
    Root().ChangeMode(kModeTitle, 1);
    const long raisedFor = Root().VellMode();
    Root().ChangeMode(kModeGame, 6, true);
    Root().FireAutoClick();  // the game's first step
    const long address = Root().Intprt()->Address();
    Root().ModeScreenCmd(raisedFor, kCmdClick, nullptr);
    EXPECT_EQ(Root().Intprt()->Address(), address);
    Root().Click(kCmdClick);
    EXPECT_GT(Root().Intprt()->Address(), address);
}

}  // namespace
}  // namespace zelk
