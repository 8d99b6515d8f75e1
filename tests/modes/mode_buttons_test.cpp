#include "modes/mode_buttons.h"

#include <gtest/gtest.h>

#include "drivers/event_rect.h"
#include "modes/mode_fixture.h"

namespace zelk {
namespace {

using testing::FakeRoot;

TEST(FilmSpecs, ItemsAreTrimmedAndReadAsNumbers) {
    const FilmSpecRecord spec = ParseFilmSpec(" log_back , 10, &h20 ,x, 40");
    EXPECT_EQ(spec.Name, "log_back");
    EXPECT_EQ(spec.X, 10);
    EXPECT_EQ(spec.Y, 32);
    EXPECT_EQ(spec.W, 0);
    EXPECT_EQ(spec.H, 40);
}

TEST(FilmSpecs, MissingItemsAreZero) {
    const FilmSpecRecord spec = ParseFilmSpec("tb_start,5");
    EXPECT_EQ(spec.Name, "tb_start");
    EXPECT_EQ(spec.X, 5);
    EXPECT_EQ(spec.Y, 0);
    EXPECT_EQ(spec.W, 0);
    EXPECT_EQ(spec.H, 0);
    const FilmSpecRecord empty = ParseFilmSpec("");
    EXPECT_EQ(empty.Name, "");
    EXPECT_EQ(empty.X, 0);
}

// The save/load screen adds a slot's offset before rounding: ".5" sums
// round to even as the one number they are.
TEST(FilmSpecs, OffsetsAreAddedBeforeRounding) {
    const FilmSpecRecord slot = ParseFilmSpec(" sl_save , 146, 78.5,64.4,x,7", 1, 1);
    EXPECT_EQ(slot.Name, "sl_save");
    EXPECT_EQ(slot.X, 147);
    EXPECT_EQ(slot.Y, 80) << "78.5 + 1 is 79.5, which rounds to 80";
    EXPECT_EQ(slot.W, 64);
    EXPECT_EQ(slot.H, 0);
    EXPECT_EQ(slot.Extra, 7);
    EXPECT_EQ(ParseFilmSpec("x,0,78.5").Y, 78) << "alone, 78.5 rounds to 78";
    EXPECT_EQ(ParseFilmSpec("x,1.5,2.5", 0, 0).X, 2);
}

TEST(FilmSpecs, TheItemCountTellsAMissingItemFromAZero) {
    EXPECT_EQ(ParseFilmSpec("a,0,0,0").Items, 4);
    EXPECT_EQ(ParseFilmSpec("a,0,0,0,0").Items, 5);
    EXPECT_EQ(ParseFilmSpec("").Items, 1);
}

class ButtonTest : public testing::ModeTest {};

TEST_F(ButtonTest, APictureWithoutSizeGivesItsOwn) {
    clsLumoDriver& lumo = *Root().Lumo();
    clsEventRect* rect =
        MakeButton(lumo, Root().GameView()->EvRects(), 3, "log_move", "lb_return,568,430");
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->lTag, 3);
    EXPECT_EQ(rect->STag, "log_move");
    EXPECT_EQ(rect->x1, 568);
    EXPECT_EQ(rect->y1, 430);
    EXPECT_GT(rect->x2, rect->x1);
    EXPECT_GT(rect->y2, rect->y1);
    EXPECT_EQ(FakeRoot::FilmProp(rect->FilmID, FP_ALPHA), 256);
    EXPECT_EQ(FakeRoot::FilmProp(rect->FilmID, FP_PARENT), lumo.FIDBuff());
}

TEST_F(ButtonTest, AnEmptyNameMakesABlankFilmOfTheSize) {
    clsLumoDriver& lumo = *Root().Lumo();
    const int32_t film = AddFilm(FT_ALPHA);
    FilmSpecRecord spec = ParseFilmSpec(",0,0,640,480");
    ApplyFilmSpec(lumo, film, spec);
    int32_t size[2] = {0, 0};
    GetFilmProp(film, FP_SIZE, size);
    EXPECT_EQ(size[0], 640);
    EXPECT_EQ(size[1], 480);
    RemoveFilm(film);
}

TEST_F(ButtonTest, ExplicitSizesOverrideThePicture) {
    clsLumoDriver& lumo = *Root().Lumo();
    const int32_t film = AddFilm(FT_ALPHA);
    FilmSpecRecord spec = ParseFilmSpec("log_voice,40,46,28,28");
    ApplyFilmSpec(lumo, film, spec);
    EXPECT_EQ(FakeRoot::FilmProp(film, FP_WIDTH), 28);
    EXPECT_EQ(FakeRoot::FilmProp(film, FP_HEIGHT), 28);
    RemoveFilm(film);
}

// A blank button of four states: one row tall, its image four rows, so that
// selecting a row of a picture loaded later needs no other size.
TEST_F(ButtonTest, ABlankButtonHoldsItsRowsInItsImage) {
    clsLumoDriver& lumo = *Root().Lumo();
    clsEventRect* rect =
        MakeButton(lumo, Root().GameView()->EvRects(), 0, "panel", " ,40,60,100,30", 4);
    ASSERT_NE(rect, nullptr);
    const auto film = static_cast<int32_t>(rect->FilmID);
    int32_t image[2] = {0, 0};
    GetFilmProp(film, FP_IMAGE_SIZE, image);
    EXPECT_EQ(image[0], 100);
    EXPECT_EQ(image[1], 120);
    EXPECT_EQ(FakeRoot::FilmProp(film, FP_HEIGHT), 30);
    EXPECT_EQ(rect->y2 - rect->y1, 30);
    EXPECT_EQ(rect->x1, 40);
}

TEST_F(ButtonTest, AButtonAtAPlaceShowsOneRowOfItsPicture) {
    clsLumoDriver& lumo = *Root().Lumo();
    clsEventRect* rect = MakeButtonAt(lumo, Root().GameView()->EvRects(), 0, "main_menu",
                                      "tb_start", 60, 236, 36, true);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->x1, 60);
    EXPECT_EQ(rect->y1, 236);
    EXPECT_EQ(rect->y2 - rect->y1, 36);
    EXPECT_EQ(FakeRoot::FilmProp(rect->FilmID, FP_HEIGHT), 36);
}

// The save/load screen's slots give no height where the whole picture is
// the button.
TEST_F(ButtonTest, AButtonAtAPlaceWithoutAHeightShowsTheWholePicture) {
    clsLumoDriver& lumo = *Root().Lumo();
    clsEventRect* rows = MakeButtonAt(lumo, Root().GameView()->EvRects(), 0, "main_menu",
                                      "tb_start", 60, 236, 36, true);
    clsEventRect* whole =
        MakeButtonAt(lumo, Root().GameView()->EvRects(), 0, "slot", "tb_start", 60, 236, 0, true);
    ASSERT_NE(rows, nullptr);
    ASSERT_NE(whole, nullptr);
    EXPECT_GT(whole->y2 - whole->y1, rows->y2 - rows->y1);
    EXPECT_EQ(FakeRoot::FilmProp(whole->FilmID, FP_HEIGHT), whole->y2 - whole->y1);
}

}  // namespace
}  // namespace zelk
