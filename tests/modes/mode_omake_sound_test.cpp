// The music room on the real sound engine (SDL's dummy output): panels,
// the command and play-mode buttons, and what follows an entry's end.
#include <gtest/gtest.h>

#include <set>

#include "mode_omake_fixture.h"

namespace zelk::testing {
namespace {

class MusicRoomTest : public OmakeModeTest {
protected:
    clsModeOmake& OpenMusic() {
        clsModeOmake& mode = Open();
        Click(mode.ModeRect(clsModeOmake::kSubMusic));
        return mode;
    }
    // The entry ends as if it had played through.
    void EndEntry() {
        root.wavo->StopBGM(false);
        ASSERT_TRUE(WaitUntil([&] { return !root.wavo->IsPlayingBGM(); }));
        Observer();
    }
    std::string Playing() const { return root.wavo->PlayingBGMKey(); }
};

TEST(OmakeRandom, DrawsReachEveryEntryEvenPastAHundred) {
    std::mt19937 generator(7);
    std::set<long> seen;
    for (int i = 0; i < 20000; ++i) {
        const long n = clsModeOmake::DrawEntry(generator, 150);
        ASSERT_GE(n, 0);
        ASSERT_LT(n, 150);
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 150u);
    EXPECT_EQ(clsModeOmake::DrawEntry(generator, 1), 0);
}

TEST_F(MusicRoomTest, EntriesComeFromThePanelsInPageAndPanelOrder) {
    clsModeOmake& mode = OpenMusic();
    ASSERT_EQ(mode.MusicEntries().size(), 3u);
    EXPECT_EQ(mode.MusicEntries()[1].musicKey, "bgm_day");
    EXPECT_EQ(mode.MusicEntries()[1].panel, 1);
    EXPECT_EQ(Panel(2).ClickScript, "2");
    for (long k = 0; k < 3; ++k)
        EXPECT_TRUE(Panel(k).Enabled);
    // Single play is selected.
    EXPECT_FALSE(Rect(mode.PlayModeRect(0))->Enabled);
    EXPECT_TRUE(Rect(mode.PlayModeRect(1))->Enabled);
}

TEST_F(MusicRoomTest, APanelPlaysItsEntryAndMarksItsPanel) {
    clsModeOmake& mode = OpenMusic();
    Click(mode.PanelRect(1));
    EXPECT_EQ(mode.PlayingEntry(), 1);
    EXPECT_EQ(mode.LastEntry(), 1);
    EXPECT_TRUE(root.wavo->IsPlayingBGM());
    EXPECT_EQ(Playing(), "bgm_day");
    EXPECT_FALSE(Panel(1).Enabled);
    EXPECT_EQ(CellOf(Panel(1)), 2);
    EXPECT_TRUE(Panel(0).Enabled);
}

TEST_F(MusicRoomTest, BackOnTheFirstEntryPlaysTheLastAndNextOnTheLastPlaysTheFirst) {
    clsModeOmake& mode = OpenMusic();
    Click(mode.PanelRect(0));
    Click(mode.CommandRect(0));
    EXPECT_EQ(mode.PlayingEntry(), 2);
    EXPECT_EQ(Playing(), "bgm_night");
    Click(mode.CommandRect(3));
    EXPECT_EQ(mode.PlayingEntry(), 0);
    Click(mode.CommandRect(3));
    EXPECT_EQ(mode.PlayingEntry(), 1);
}

TEST_F(MusicRoomTest, StopForgetsThePlayingEntryAndPlayResumesTheLast) {
    clsModeOmake& mode = OpenMusic();
    Click(mode.PanelRect(2));
    Click(mode.CommandRect(2));
    EXPECT_EQ(mode.PlayingEntry(), -1);
    EXPECT_EQ(mode.LastEntry(), 2);
    EXPECT_TRUE(Panel(2).Enabled);
    EXPECT_EQ(CellOf(Panel(2)), 0);
    ASSERT_TRUE(WaitUntil([&] { return !root.wavo->IsPlayingBGM(); }));
    // Nothing plays now, so the observer leaves it alone.
    Observer();
    EXPECT_EQ(mode.PlayingEntry(), -1);
    // Back and next count from the last entry while none plays.
    Click(mode.CommandRect(3));
    EXPECT_EQ(mode.PlayingEntry(), 0);
    Click(mode.CommandRect(2));
    Click(mode.CommandRect(1));
    EXPECT_EQ(mode.PlayingEntry(), 0);
    EXPECT_EQ(Playing(), "bgm_title");
}

TEST_F(MusicRoomTest, InAllTheEndOfTheLastEntryPlaysTheFirst) {
    clsModeOmake& mode = OpenMusic();
    Click(mode.PlayModeRect(clsModeOmake::kPlayAll));
    EXPECT_EQ(mode.PlayMode(), clsModeOmake::kPlayAll);
    EXPECT_FALSE(Rect(mode.PlayModeRect(1))->Enabled);
    EXPECT_TRUE(Rect(mode.PlayModeRect(0))->Enabled);
    Click(mode.PanelRect(1));
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 2);
    EXPECT_EQ(Playing(), "bgm_night");
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 0);
    EXPECT_EQ(Playing(), "bgm_title");
    EXPECT_EQ(CellOf(Panel(0)), 2);
}

TEST_F(MusicRoomTest, SingleRepeatsTheEntryAndRandomTakesTheGeneratorsChoice) {
    clsModeOmake& mode = OpenMusic();
    Click(mode.PanelRect(1));
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 1);
    std::vector<long> counts;
    mode.Random([&](long count) {
        counts.push_back(count);
        return 2L;
    });
    Click(mode.PlayModeRect(clsModeOmake::kPlayRandom));
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 2);
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0], 3);
}

TEST_F(MusicRoomTest, AnEntryThatEndsOnAnotherScreenDoesNotRebuildTheMusicPage) {
    clsModeOmake& mode = OpenMusic();
    Click(mode.PlayModeRect(clsModeOmake::kPlayAll));
    Click(mode.PanelRect(0));
    Click(mode.ModeRect(clsModeOmake::kSubCG));
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 1);
    EXPECT_EQ(mode.SubMode(), clsModeOmake::kSubCG);
    EXPECT_EQ(root.lumo->BGName(), "om_bg_cg");
}

TEST_F(MusicRoomTest, PlayingOnIntoAnotherPageTurnsToIt) {
    INISection& screen = root.omake->KeySection("SndMode");
    screen.KeyValue("PageCount", "2");
    screen.KeyValue("SndPageBtn02", "om_page1,90,432,40,28");
    root.omake->KeySection("sndmode_panel").KeyValue("panel02_02", "snp_day,bgm_title");
    clsModeOmake& mode = OpenMusic();
    ASSERT_EQ(mode.MusicEntries().size(), 4u);
    EXPECT_EQ(mode.MusicEntries()[3].page, 1);
    Click(mode.PlayModeRect(clsModeOmake::kPlayAll));
    Click(mode.PanelRect(2));
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 3);
    EXPECT_EQ(mode.CurrentPage(), 1);
    EXPECT_FALSE(Rect(mode.PageRect(1))->Enabled);
    EXPECT_TRUE(Rect(mode.PageRect(0))->Enabled);
    // Page 2 has only its second panel; it is the one playing.
    EXPECT_FALSE(Panel(0).Enabled);
    EXPECT_EQ(AlphaOf(Panel(0)), 0);
    EXPECT_EQ(CellOf(Panel(1)), 2);
    // Turning back by hand keeps the entry playing and unmarked there.
    Click(mode.PageRect(0));
    EXPECT_EQ(mode.CurrentPage(), 0);
    EXPECT_TRUE(Panel(2).Enabled);
    EndEntry();
    EXPECT_EQ(mode.PlayingEntry(), 0);
    // The next entry is on the page shown: it stays.
    EXPECT_EQ(mode.CurrentPage(), 0);
}

TEST_F(MusicRoomTest, TheStartPutsTheMusicVolumeBackToFull) {
    root.wavo->BGMVolumeRate(40);
    Open();
    EXPECT_EQ(root.wavo->BGMVolumeRate(), 100);
}

}  // namespace
}  // namespace zelk::testing
