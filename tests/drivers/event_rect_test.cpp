// Event rectangles: index reuse, inclusive hit testing, tags and the saved
// form a save slot keeps.
#include "drivers/event_rect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lumo.h"

namespace zelk {
namespace {

TEST(EventRects, TheLowestFreeIndexIsReusedAfterARemove) {
    clsEventRects rects;
    rects.Add(0, "a");
    rects.Add(0, "b");
    rects.Add(0, "c");
    rects.Remove(1);
    EXPECT_EQ(rects.Add(7, "d").Index, 1);
    EXPECT_EQ(rects.Count(), 3);
    EXPECT_EQ(rects.Add(0, "e").Index, 3);
    // Insertion order, not index order, is the order of the collection.
    std::vector<long> order;
    for (const auto& rect : rects)
        order.push_back(rect->Index);
    EXPECT_EQ(order, (std::vector<long>{0, 2, 1, 3}));
}

TEST(EventRects, CornersAreInsideAndADisabledRectangleHoldsNothing) {
    clsEventRect rect;
    rect.Move(10, 20, 30, 40);
    EXPECT_TRUE(rect.IsPntInRect(10, 20));
    EXPECT_TRUE(rect.IsPntInRect(40, 60)) << "right and bottom edges are inside";
    EXPECT_FALSE(rect.IsPntInRect(41, 60));
    EXPECT_FALSE(rect.IsPntInRect(40, 61));
    rect.Enabled = false;
    EXPECT_FALSE(rect.IsPntInRect(15, 25));
}

TEST(EventRects, MoveKeepsWhatMinusOneNames) {
    clsEventRect rect;
    rect.Move(10, 20, 30, 40);
    rect.Move(5, -1, -1, -1);
    EXPECT_EQ(rect.x1, 5);
    EXPECT_EQ(rect.y1, 20);
    EXPECT_EQ(rect.x2, 40) << "width -1 keeps x2 while x1 moves";
    EXPECT_EQ(rect.y2, 60);
    rect.size(2, 3);
    EXPECT_EQ(rect.x2, 7);
    EXPECT_EQ(rect.y2, 23);
}

TEST(EventRects, TypeBitsDecideWhatARectangleSenses) {
    clsEventRect rect;
    EXPECT_EQ(rect.RectType, 5);
    rect.SetType(false, true, false, false);
    EXPECT_EQ(rect.RectType, 4);
    EXPECT_TRUE(rect.IsPointSense());
    EXPECT_FALSE(rect.IsLClickSense());
    rect.SetType(true, true, true, true);
    EXPECT_EQ(rect.RectType, 15);

    clsEventRects rects;
    rects.Add(0, "hover").Move(0, 0, 100, 100).SetType(false, true, false, false);
    EXPECT_EQ(rects.HitTest(50, 50, clsEventRect::kLeftClick), nullptr)
        << "a pointing-only rectangle ignores clicks";
    EXPECT_NE(rects.HitTest(50, 50, clsEventRect::kPoint), nullptr);
}

TEST(EventRects, TheLaterOfOverlappingRectanglesWins) {
    clsEventRects rects;
    rects.Add(0, "under").Move(0, 0, 100, 100);
    rects.Add(0, "over").Move(50, 50, 100, 100);
    EXPECT_EQ(rects.HitTest(60, 60, clsEventRect::kLeftClick)->STag, "over");
    EXPECT_EQ(rects.HitTest(10, 10, clsEventRect::kLeftClick)->STag, "under");
    rects.Item(1)->Enabled = false;
    EXPECT_EQ(rects.HitTest(60, 60, clsEventRect::kLeftClick)->STag, "under");
}

TEST(EventRects, TagOperationsTouchOnlyTheirTag) {
    clsEventRects rects;
    rects.Add(1, "wndbutton");
    rects.Add(2, "wndbutton");
    rects.Add(1, "scene");
    EXPECT_EQ(rects.CountByTag("wndbutton"), 2);
    EXPECT_EQ(rects.GetRectByTag("wndbutton", 2)->Index, 1);
    EXPECT_EQ(rects.GetRectByTag("scene", 2), nullptr);
    rects.EnabledByTag("wndbutton", false);
    EXPECT_FALSE(rects.Item(0)->Enabled);
    EXPECT_TRUE(rects.Item(2)->Enabled);
    rects.RemoveByTag("wndbutton");
    EXPECT_EQ(rects.Count(), 1);
    EXPECT_EQ(rects.Add(0, "x").Index, 0);
}

TEST(EventRects, TheSavedFormRoundTrips) {
    clsEventRect rect;
    rect.RectType = 13;
    rect.lTag = -4;
    rect.STag = "door";
    rect.Enabled = false;
    rect.KBOrder = 2;
    rect.Move(1, 2, 3, 4);
    rect.PointScript = "*hover";
    rect.ClickScript = "room.*open";
    rect.Extension = "ext";
    rect.TargetCID = "akane";
    EXPECT_EQ(rect.SavedForm(), "13,-4,door,False,2,1,2,4,6,*hover,room.*open,ext,akane");

    clsEventRect back;
    ASSERT_TRUE(back.ParseSavedForm(rect.SavedForm()));
    EXPECT_EQ(back.SavedForm(), rect.SavedForm());
    ASSERT_TRUE(back.ParseSavedForm("5,0,,FALSE,-1,0,0,9,9,,,,"));
    EXPECT_FALSE(back.Enabled) << "any letter case of false";
    ASSERT_TRUE(back.ParseSavedForm("5,0,,yes,-1,0,0,9,9,,,,"));
    EXPECT_TRUE(back.Enabled) << "anything but false reads true";
    EXPECT_FALSE(back.ParseSavedForm("5,0,broken")) << "too few values";
    EXPECT_EQ(back.x2, 9) << "a failed parse keeps the rectangle";

    clsEventRect button;
    button.STag = "wndbutton";
    EXPECT_FALSE(button.IsSaved());
    button.STag = "selectionitem";
    EXPECT_FALSE(button.IsSaved());
}

TEST(EventRects, DebugListingNamesEveryRectangle) {
    clsEventRects rects;
    rects.Add(3, "item").Move(1, 2, 10, 10).SetType(true, true, false, true).KBOrder = 0;
    std::vector<std::string> lines;
    rects.ShowAllRect([&lines](const std::string& line) { lines.push_back(line); });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "EventRect Info... 1 Rects ");
    EXPECT_EQ(lines[1], "ID=0:(1,2)-(11,12):Tyep='LRP':Tag=3,'item':KB=0");
}

TEST(EventRects, FitFilmTakesTheFilmsPlaceInTheEngine) {
    ASSERT_EQ(InitializeLumo(), 0);
    const std::int32_t film = AddFilm(FT_IMAGE);
    const std::int32_t pos[2] = {30, 40};
    const std::int32_t extent[2] = {100, 20};
    SetFilmProp(film, FP_POS, pos);
    SetFilmProp(film, FP_SIZE, extent);
    ExeQueue();
    clsEventRect rect;
    rect.FitFilm(film);
    EXPECT_EQ(rect.x1, 30);
    EXPECT_EQ(rect.y1, 40);
    EXPECT_EQ(rect.x2, 130);
    EXPECT_EQ(rect.y2, 60);
    EXPECT_EQ(rect.FilmID, film);
    rect.FitFilm(9999);
    EXPECT_EQ(rect.x1, 30) << "a film that does not exist moves nothing";
    TerminateLumo();
}

}  // namespace
}  // namespace zelk
