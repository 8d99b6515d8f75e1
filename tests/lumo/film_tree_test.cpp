// Films as a tree: links, refusals and removal.
#include "lumo_host.h"

using namespace lumo_test;

namespace {

int32_t parentOf(int32_t film) {
    return filmProp(film, FP_PARENT);
}

void link(int32_t film, int32_t property, int32_t target) {
    const int32_t value[2] = {target, 0};
    ASSERT_EQ(SetFilmProp(film, property, value), 0);
}

}  // namespace

TEST_F(LumoTest, NewFilmsTakeTheLowestFreeSlot) {
    EXPECT_EQ(AddFilm(FT_IMAGE), 0);
    EXPECT_EQ(AddFilm(FT_ALPHA), 1);
    EXPECT_EQ(AddFilm(FT_TEXT), 2);
    ASSERT_EQ(RemoveFilm(1), 0);
    EXPECT_EQ(AddFilm(FT_LAYER), 1);
    EXPECT_EQ(parentOf(1), -1);
    int32_t size[2] = {-1, -1};
    ASSERT_EQ(GetFilmProp(1, FP_SIZE, size), 0);
    EXPECT_EQ(size[0], 0);
    EXPECT_EQ(size[1], 0);
}

TEST_F(LumoTest, LinkingUnderItsOwnDescendantLeavesTheFilmUnlinked) {
    const int32_t a = AddFilm(FT_IMAGE), b = AddFilm(FT_IMAGE), c = AddFilm(FT_IMAGE);
    link(b, FP_PARENT, a);
    link(c, FP_PARENT, b);
    link(a, FP_PARENT, c);
    EXPECT_EQ(parentOf(a), -1);
    link(a, FP_PARENT, a);
    EXPECT_EQ(parentOf(a), -1);
    link(b, FP_PARENT, c);
    EXPECT_EQ(parentOf(b), -1) << "b was detached from a before the refused link";
}

TEST_F(LumoTest, SiblingLinksNeedATargetWithAParent) {
    const int32_t root = AddFilm(FT_IMAGE), loose = AddFilm(FT_IMAGE), f = AddFilm(FT_IMAGE);
    link(f, FP_PARENT, root);
    link(f, FP_INSERT_AFTER, loose);
    EXPECT_EQ(parentOf(f), -1);
    link(f, FP_INSERT_BEFORE, 77);
    EXPECT_EQ(parentOf(f), -1);
}

TEST_F(LumoTest, DetachingFlagOrNullValueUnlinks) {
    const int32_t root = AddFilm(FT_IMAGE), f = AddFilm(FT_IMAGE);
    link(f, FP_PARENT, root);
    const int32_t detach[2] = {root, 1};
    ASSERT_EQ(SetFilmProp(f, FP_PARENT, detach), 0);
    EXPECT_EQ(parentOf(f), -1);
    link(f, FP_PARENT, root);
    ASSERT_EQ(SetFilmProp(f, FP_PARENT, nullptr), 0);
    EXPECT_EQ(parentOf(f), -1);
}

// The drawing order shows the child order: later children cover earlier ones.
TEST_F(LumoTest, InsertBeforeTheFirstChildDrawsBelowEveryOther) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 2, 1);
    const int32_t red = makeFilm(FT_IMAGE, root, 0, 0, 2, 1, 0x0000FF);
    const int32_t green = makeFilm(FT_IMAGE, -1, 0, 0, 1, 1, 0x00FF00);
    const int32_t blue = makeFilm(FT_IMAGE, -1, 1, 0, 1, 1, 0xFF0000);
    link(green, FP_INSERT_BEFORE, red);
    link(blue, FP_INSERT_AFTER, red);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 255})) << "green lies under red";
    EXPECT_EQ(pixel(root, 1, 0), (Bgr{255, 0, 0})) << "blue lies over red";
    EXPECT_EQ(parentOf(green), root);
}

TEST_F(LumoTest, RemovingAFilmUncoversWhatWasBelow) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 2, 1);
    makeFilm(FT_IMAGE, root, 0, 0, 2, 1, 0x0000FF);
    const int32_t top = makeFilm(FT_IMAGE, root, 0, 0, 2, 1, 0x00FF00);
    call(root, FM_REDRAW);
    ASSERT_EQ(pixel(root, 0, 0), (Bgr{0, 255, 0}));
    ASSERT_EQ(RemoveFilm(top), 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 255}));
}

TEST_F(LumoTest, RemovingAFilmKeepsItsChildrenAliveAndLoose) {
    const int32_t a = AddFilm(FT_IMAGE), b = AddFilm(FT_IMAGE);
    link(b, FP_PARENT, a);
    ASSERT_EQ(RemoveFilm(a), 0);
    EXPECT_EQ(parentOf(b), -1);
}

TEST_F(LumoTest, RemoveFilmChildrenRemovesTheFilmAndItsSubtree) {
    const int32_t a = AddFilm(FT_IMAGE), b = AddFilm(FT_IMAGE), c = AddFilm(FT_IMAGE),
                  other = AddFilm(FT_IMAGE);
    link(b, FP_PARENT, a);
    link(c, FP_PARENT, b);
    ASSERT_EQ(RemoveFilmChildren(a), 0);
    int32_t value;
    EXPECT_EQ(GetFilmProp(a, FP_X, &value), -1);
    EXPECT_EQ(GetFilmProp(b, FP_X, &value), -1);
    EXPECT_EQ(GetFilmProp(c, FP_X, &value), -1);
    EXPECT_EQ(GetFilmProp(other, FP_X, &value), 0);
    ASSERT_EQ(RemoveFilmChildren(-1), 0);
    EXPECT_EQ(GetFilmProp(other, FP_X, &value), -1);
    EXPECT_EQ(AddFilm(FT_IMAGE), 0);
}

TEST_F(LumoTest, MoveChildrenPutsThemBelowTheTargetsOwn) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1);
    const int32_t own = makeFilm(FT_IMAGE, root, 0, 0, 1, 1, 0x00FF00);
    const int32_t holder = AddFilm(FT_IMAGE);
    const int32_t moved = makeFilm(FT_IMAGE, holder, 0, 0, 1, 1, 0x0000FF);
    call(holder, FM_MOVE_CHILDREN, root);
    EXPECT_EQ(parentOf(moved), root);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 255, 0})) << "the moved film is drawn first";
    ASSERT_EQ(RemoveFilm(own), 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 255}));
}

TEST_F(LumoTest, MoveChildrenIntoADescendantIsRefused) {
    const int32_t a = AddFilm(FT_IMAGE), b = AddFilm(FT_IMAGE), c = AddFilm(FT_IMAGE);
    link(b, FP_PARENT, a);
    link(c, FP_PARENT, b);
    call(a, FM_MOVE_CHILDREN, c);
    EXPECT_EQ(parentOf(b), a);
}

TEST_F(LumoTest, PropertiesOfAMissingCapabilityFailToRead) {
    const int32_t image = AddFilm(FT_IMAGE);
    int32_t value[2];
    EXPECT_EQ(GetFilmProp(image, FP_TEXT_LENGTH, value), -1);
    EXPECT_EQ(GetFilmProp(image, FP_BRIGHTNESS, value), -1);
    EXPECT_EQ(GetFilmProp(image, FP_ALPHA_OBJECT, value), -1);
    EXPECT_EQ(GetFilmProp(image, FP_SCREEN_DC, value), -1) << "write-only";
    EXPECT_EQ(GetFilmProp(image, 0x10000009, value), -1);
    EXPECT_EQ(GetFilmProp(image, FP_X, nullptr), -1);
    const int32_t toned = AddFilm(FT_TONED);
    EXPECT_EQ(filmProp(toned, FP_BRIGHTNESS), 128);
}
