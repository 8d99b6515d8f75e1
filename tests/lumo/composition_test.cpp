// Composition of children into their parent, checked pixel by pixel against
// the formulas: e = a × o / 256, c + (s - c) × e / 256, the keeps-alpha
// accumulation and the tone function.
#include "lumo_host.h"

using namespace lumo_test;

namespace {

void fillAlpha(int32_t film, int value) {
    call(film, FM_FILL_ALPHA, value);
}

void setAlphaAt(int32_t film, int x, int y, uint8_t value) {
    LumoSurface* a = surfaceOf(film, FP_ALPHA_OBJECT);
    a->pixels[y * a->stride + x] = value;
}

}  // namespace

TEST_F(LumoTest, HalfOpacityOverFullAlphaWeighsBy127) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 2, 1, 0x000000);
    const int32_t child = makeFilm(FT_ALPHA, root, 0, 0, 2, 1, 0x0000C8);  // red 200
    fillAlpha(child, 255);
    setProp(child, FP_ALPHA, 128);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 200 * 127 / 256}));
}

TEST_F(LumoTest, BlendTowardDarkerSourceTruncatesTowardZero) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x0000C8);
    const int32_t child = makeFilm(FT_ALPHA, root, 0, 0, 1, 1, 0x000000);
    fillAlpha(child, 255);
    setProp(child, FP_ALPHA, 128);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0).r, 200 + (0 - 200) * 127 / 256);
}

TEST_F(LumoTest, TransparentSourcePixelsLeaveTheParentUntouched) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 5, 1, 0x112233);
    const int32_t child = makeFilm(FT_ALPHA, root, 0, 0, 5, 1, 0xFFFFFF);
    setAlphaAt(child, 4, 0, 255);  // a run of transparent pixels, then one opaque
    setProp(child, FP_ALPHA, 256);
    call(root, FM_REDRAW);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(pixel(root, x, 0), (Bgr{0x11, 0x22, 0x33})) << x;
    EXPECT_EQ(pixel(root, 4, 0), (Bgr{255, 255, 255}));
}

TEST_F(LumoTest, FullEffectiveAlphaCopiesTheSourcePixel) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x000000);
    const int32_t child = makeFilm(FT_ALPHA, root, 0, 0, 1, 1, 0x8090A0);
    fillAlpha(child, 255);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0x80, 0x90, 0xA0}));
}

TEST_F(LumoTest, ZeroOpacityChildIsNotDrawn) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x000000);
    const int32_t child = makeFilm(FT_IMAGE, root, 0, 0, 1, 1, 0xFFFFFF);
    setProp(child, FP_ALPHA, 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, PlainPictureBelowFullOpacityBlendsAsOpaque) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x000000);
    const int32_t child = makeFilm(FT_IMAGE, root, 0, 0, 1, 1, 0x0000FF);
    setProp(child, FP_ALPHA, 100);
    call(root, FM_REDRAW);
    const int e = 255 * 100 / 256;
    EXPECT_EQ(pixel(root, 0, 0).r, 255 * e / 256);
}

TEST_F(LumoTest, KeepsAlphaLayerTakesTheFirstColourUnblendedThenAccumulates) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x000000);
    const int32_t layer = makeFilm(FT_LAYER, root, 0, 0, 1, 1, 0x777777);
    fillAlpha(layer, 99);
    const int32_t first = makeFilm(FT_ALPHA, layer, 0, 0, 1, 1, 0x00000A);  // red 10
    fillAlpha(first, 200);
    const int32_t second = makeFilm(FT_ALPHA, layer, 0, 0, 1, 1, 0x0000FA);  // red 250
    fillAlpha(second, 100);
    setProp(second, FP_ALPHA, 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(layer, 0, 0), (Bgr{0, 0, 10})) << "cleared, then the colour unblended";
    EXPECT_EQ(alphaAt(layer, 0, 0), 200) << "with the child's effective alpha";

    setProp(second, FP_ALPHA, 256);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(layer, 0, 0).r, 10 + 100 * (250 - 10) / 256);
    // d - ((e (d - 255) + 255) >> 8) with an arithmetic shift: 200 - (-5245 >> 8) = 221.
    EXPECT_EQ(alphaAt(layer, 0, 0), 221);
}

TEST_F(LumoTest, DirectCopyIntoAKeepsAlphaLayerMakesItOpaque) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 2, 1, 0x000000);
    const int32_t layer = makeFilm(FT_LAYER, root, 0, 0, 2, 1);
    makeFilm(FT_IMAGE, layer, 1, 0, 1, 1, 0x010203);
    call(root, FM_REDRAW);
    EXPECT_EQ(alphaAt(layer, 0, 0), 0);
    EXPECT_EQ(alphaAt(layer, 1, 0), 255);
    EXPECT_EQ(pixel(layer, 1, 0), (Bgr{1, 2, 3}));
}

TEST_F(LumoTest, TonedChildPassesThroughBrightnessAndSaturation) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 2, 1, 0x000000);
    const int32_t toned = makeFilm(FT_TONED, root, 0, 0, 2, 1, 0x0032C8);  // b 200, g 50, r 0
    setProp(toned, FP_BRIGHTNESS, 128);
    setProp(toned, FP_SATURATION, 256);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 25, 100}));

    setProp(toned, FP_BRIGHTNESS, 256);
    setProp(toned, FP_SATURATION, 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{83, 83, 83})) << "(200 + 50 + 0) / 3";
}

TEST_F(LumoTest, TonedParentTonesEachBlendedChildByTheChildsTone) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x000000);
    const int32_t parent = makeFilm(FT_TONED, root, 0, 0, 1, 1, 0x000000);
    const int32_t child = makeFilm(FT_ALPHA, parent, 0, 0, 1, 1, 0x0064C8);  // b 0 g 100 r 200
    fillAlpha(child, 255);
    call(root, FM_REDRAW);
    // The child's tone is the creation default, 128 and 128: (200, 100, 0)
    // darkens to (100, 50, 0), m = 50, then 50 + (128 (c - 50) >> 8).
    const int toned[3] = {25, 50, 75};  // blue, green, red
    const Bgr p = pixel(parent, 0, 0);
    EXPECT_EQ(p.b, 255 * toned[0] / 256);
    EXPECT_EQ(p.g, 255 * toned[1] / 256);
    EXPECT_EQ(p.r, 255 * toned[2] / 256);
}

TEST_F(LumoTest, PieceCoordinatesFollowPositionAndSourceOffset) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 4, 1, 0x000000);
    const int32_t strip = makeFilm(FT_IMAGE, -1, 1, 0, 2, 1);
    setProp(strip, FP_IMAGE_SIZE, 4, 1);
    LumoSurface* image = surfaceOf(strip, FP_IMAGE_OBJECT);
    for (int x = 0; x < 4; ++x)
        image->pixels[x * 3] = static_cast<uint8_t>(10 * (x + 1));
    setProp(strip, FP_SRC_X, 2);
    setProp(strip, FP_PARENT, root, 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0).b, 0);
    EXPECT_EQ(pixel(root, 1, 0).b, 30);
    EXPECT_EQ(pixel(root, 2, 0).b, 40);
    EXPECT_EQ(pixel(root, 3, 0).b, 0);
}

TEST_F(LumoTest, OnlyDirtyAreasAreRecomposed) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 4, 1, 0x000000);
    const int32_t child = makeFilm(FT_IMAGE, root, 0, 0, 4, 1, 0x0000FF);
    call(root, FM_REDRAW);
    call(child, FM_FILL, 0x00FF00);  // no invalidation of its own
    setProp(child, FP_DIRTY_RECT, 1, 3 + 65536);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixel(root, 1, 0), (Bgr{0, 255, 0}));
    EXPECT_EQ(pixel(root, 2, 0), (Bgr{0, 255, 0}));
    EXPECT_EQ(pixel(root, 3, 0), (Bgr{0, 0, 255}));
}

TEST_F(LumoTest, FrozenFilmKeepsItsOldPicture) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 1, 1, 0x000000);
    const int32_t box = makeFilm(FT_IMAGE, root, 0, 0, 1, 1, 0x000000);
    const int32_t child = makeFilm(FT_IMAGE, box, 0, 0, 1, 1, 0x0000FF);
    call(root, FM_REDRAW);
    ASSERT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 255}));
    setProp(box, FP_LIVE, 0);
    call(child, FM_FILL, 0x00FF00);
    call(child, FM_INVALIDATE);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(box, 0, 0), (Bgr{0, 0, 255}));
    setProp(box, FP_LIVE, 1);
    call(child, FM_INVALIDATE);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 255, 0})) << "live again: the normal redraw is back";
}
