#include "modes/mode_saveload_layout.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"

namespace zelk {
namespace {

INIFile Settings(const std::string& text) {
    INIFile ini;
    ini.Text(text);
    return ini;
}

TEST(SaveLoadLayoutTest, AGridIsNumberedDownEachColumn) {
    const SaveLoadLayout layout = SaveLoadLayout::Read(
        Settings("[Slots]\r\nSlotXCount=2\r\nSlotYCount=3\r\nSlotXBase=10\r\nSlotYBase=20\r\n"
                 "SlotXDiff=300\r\nSlotYDiff=100\r\nSlotCount=99\r\n"));
    ASSERT_EQ(layout.SlotCount(), 6);
    const long expected[6][2] = {{10, 20}, {10, 120}, {10, 220}, {310, 20}, {310, 120}, {310, 220}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(layout.Slots[i].x, expected[i][0]) << i;
        EXPECT_EQ(layout.Slots[i].y, expected[i][1]) << i;
    }
}

TEST(SaveLoadLayoutTest, FreePlacementTakesEachSlotsOwnPosition) {
    const SaveLoadLayout layout = SaveLoadLayout::Read(
        Settings("[Slots]\r\nFreePlaceMode=TRUE\r\nSlotCount=3\r\nSlotXCount=9\r\n"
                 "Slot00=5,6\r\nSlot01= 70 , 80\r\nSlot02=bad\r\n"));
    ASSERT_EQ(layout.SlotCount(), 3);
    EXPECT_EQ(layout.Slots[0].x, 5);
    EXPECT_EQ(layout.Slots[0].y, 6);
    EXPECT_EQ(layout.Slots[1].x, 70);
    EXPECT_EQ(layout.Slots[1].y, 80);
    EXPECT_EQ(layout.Slots[2].x, 0);
    EXPECT_EQ(layout.Slots[2].y, 0);
}

TEST(SaveLoadLayoutTest, AbsurdCountsAreBoundedInsteadOfExhaustingTheEngine) {
    const SaveLoadLayout grid = SaveLoadLayout::Read(Settings(
        "[Slots]\r\nSlotXCount=1000\r\nSlotYCount=1000\r\n[Button]\r\nPageNoCount=-4\r\n"));
    EXPECT_LE(grid.SlotCount(), SaveLoadLayout::kMaxSlots);
    EXPECT_EQ(grid.PageCount(), 0);
    const SaveLoadLayout free = SaveLoadLayout::Read(Settings(
        "[Slots]\r\nFreePlaceMode=true\r\nSlotCount=100000\r\n[Button]\r\nPageNoCount=7e9\r\n"));
    EXPECT_EQ(free.SlotCount(), SaveLoadLayout::kMaxSlots);
    EXPECT_EQ(free.PageCount(), SaveLoadLayout::kMaxPages);
}

TEST(SaveLoadLayoutTest, BaseKeysKeepTheirDefaultsOnlyWhenMissing) {
    SaveLoadLayout layout = SaveLoadLayout::Read(Settings("[Base]\r\n"));
    EXPECT_EQ(layout.PageButtonFlipNumOnClick, 2);
    EXPECT_EQ(layout.PageButtonFlipNumOnLock, 0);
    layout = SaveLoadLayout::Read(
        Settings("[Base]\r\nPageButtonFlipNumOnClick=1\r\nPageButtonFlipNumOnLock=3\r\n"
                 "TransparentBGFromGame=True\r\nBGAlphaBlend=999\r\n[Button]\r\nPageNoCount=2\r\n"
                 "PageNo00=p1,1,2,3,4\r\nPageNo01=p2\r\n[SlotBase]\r\nTextColor=FF8000\r\n"));
    EXPECT_EQ(layout.PageButtonFlipNumOnClick, 1);
    EXPECT_EQ(layout.PageButtonFlipNumOnLock, 3);
    EXPECT_TRUE(layout.TransparentBGFromGame);
    EXPECT_FALSE(layout.TransparentBGFromTitle);
    EXPECT_EQ(layout.BGAlphaBlend, 256);
    ASSERT_EQ(layout.PageCount(), 2);
    EXPECT_EQ(layout.PageNo[1], "p2");
    // Settings write red-green-blue; the engine wants blue-green-red.
    EXPECT_EQ(layout.TextColor, 0x0080FF);
}

TEST(SaveLoadLayoutTest, PagesOutsideTheRangeOpenPageOneAndTheLastNeverSaves) {
    EXPECT_EQ(ClampPage(0, 5), 1);
    EXPECT_EQ(ClampPage(6, 5), 1);
    EXPECT_EQ(ClampPage(5, 5), 5);
    EXPECT_EQ(ClampPage(1, 0), 1);
    EXPECT_TRUE(SaveAllowedOnPage(4, 5, true));
    EXPECT_FALSE(SaveAllowedOnPage(5, 5, true));
    EXPECT_FALSE(SaveAllowedOnPage(1, 5, false));
    EXPECT_FALSE(SaveAllowedOnPage(1, 1, true));
}

TEST(SaveLoadLayoutTest, SlotNamesCountPagesFromOneAndSlotsFromZero) {
    EXPECT_EQ(SaveLoadSlotName(1, 3), "sd01-03");
    EXPECT_EQ(SaveLoadSlotName(12, 0), "sd12-00");
}

TEST(SaveLoadLayoutTest, TextSizesScaleFromScriptToScreenByIntegerDivision) {
    EXPECT_EQ(ScaleToScreen(14, 640, 640), 14);
    EXPECT_EQ(ScaleToScreen(14, 800, 640), 17);
    EXPECT_EQ(ScaleToScreen(20, 480, 960), 10);
    EXPECT_EQ(ScaleToScreen(20, 480, 0), 20);
}

}  // namespace
}  // namespace zelk
