// Film properties and methods that reshape pictures: cells, trimming,
// tinting, sizes, copies and sharing.
#include <string>

#include "lumo_host.h"

using namespace lumo_test;

TEST_F(LumoTest, CellIndexWrapsBothWays) {
    const int32_t film = makeFilm(FT_IMAGE, -1, 0, 0, 10, 10);
    setProp(film, FP_IMAGE_SIZE, 40, 10);  // a strip of four cells
    setProp(film, FP_CELL_X, -1);
    EXPECT_EQ(filmProp(film, FP_SRC_X), 30) << "-1 selects the last cell";
    EXPECT_EQ(filmProp(film, FP_CELL_X), 3);
    setProp(film, FP_CELL_X, 5);
    EXPECT_EQ(filmProp(film, FP_SRC_X), 10);
    call(film, FM_CELL_X_STEP, 3);
    EXPECT_EQ(filmProp(film, FP_CELL_X), 0);
    setProp(film, FP_CELL_X, -6);
    EXPECT_EQ(filmProp(film, FP_CELL_X), 2);
}

TEST_F(LumoTest, CellOfAZeroSizedFilmChangesNothing) {
    const int32_t film = AddFilm(FT_IMAGE);
    setProp(film, FP_IMAGE_SIZE, 40, 10);
    setProp(film, FP_SRC_X, 7);
    setProp(film, FP_CELL_X, 2);
    EXPECT_EQ(filmProp(film, FP_SRC_X), 7);
}

TEST_F(LumoTest, TrimKeepsThePictureInPlace) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 8, 8, 0x000000);
    const int32_t sprite = makeFilm(FT_ALPHA, root, 0, 0, 8, 8, 0x0000FF);
    LumoSurface* alpha = surfaceOf(sprite, FP_ALPHA_OBJECT);
    for (int y = 3; y < 5; ++y)
        for (int x = 2; x < 6; ++x)
            alpha->pixels[y * alpha->stride + x] = 255;
    call(sprite, FM_TRIM);
    int32_t size[2];
    ASSERT_EQ(GetFilmProp(sprite, FP_IMAGE_SIZE, size), 0);
    EXPECT_EQ(size[0], 4);
    EXPECT_EQ(size[1], 5) << "rows from the first visible one to the old bottom";
    EXPECT_EQ(filmProp(sprite, FP_SRC_X), -2);
    EXPECT_EQ(filmProp(sprite, FP_SRC_Y), -3);
    call(sprite, FM_INVALIDATE);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 2, 3), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixel(root, 5, 4), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixel(root, 1, 3), (Bgr{0, 0, 0}));
    EXPECT_EQ(pixel(root, 6, 4), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, TrimOfAnInvisiblePictureKeepsIt) {
    const int32_t sprite = makeFilm(FT_ALPHA, -1, 0, 0, 8, 8);
    call(sprite, FM_TRIM);
    int32_t size[2];
    ASSERT_EQ(GetFilmProp(sprite, FP_IMAGE_SIZE, size), 0);
    EXPECT_EQ(size[0], 8);
}

TEST_F(LumoTest, TintMovesChannelsTowardTheColour) {
    const int32_t film = makeFilm(FT_IMAGE, -1, 0, 0, 1, 1, 0x204060);  // r 0x60 g 0x40 b 0x20
    call(film, FM_TINT, static_cast<int32_t>(0x40FF0080u));  // keep 64/256, RR FF GG 00 BB 80
    const Bgr p = pixel(film, 0, 0);
    EXPECT_EQ(p.b, (0x80 * 192 + 64 * 0x20) / 256);
    EXPECT_EQ(p.g, (0x00 * 192 + 64 * 0x40) / 256);
    EXPECT_EQ(p.r, (0xFF * 192 + 64 * 0x60) / 256);
}

TEST_F(LumoTest, ImageSizeReallocatesClearedAndResetsBounds) {
    const int32_t film = makeFilm(FT_ALPHA, -1, 0, 0, 3, 2, 0xFFFFFF);
    setProp(film, FP_IMAGE_SIZE, 5, 3);
    const LumoSurface* image = surfaceOf(film, FP_IMAGE_OBJECT);
    EXPECT_EQ(image->width, 5);
    EXPECT_EQ(image->stride, 16) << "rows rounded up to four bytes";
    EXPECT_EQ(pixel(film, 4, 2), (Bgr{0, 0, 0}));
    const LumoSurface* alpha = surfaceOf(film, FP_ALPHA_OBJECT);
    EXPECT_EQ(alpha->stride, 5);
    EXPECT_EQ(alpha->bytes_per_pixel, 1);
    EXPECT_EQ(image, surfaceOf(film, FP_IMAGE_DC)) << "one surface under both names";
}

TEST_F(LumoTest, ImageSizeOutOfRangeIsIgnored) {
    const int32_t film = makeFilm(FT_IMAGE, -1, 0, 0, 3, 2);
    setProp(film, FP_IMAGE_SIZE, -4, 2);
    setProp(film, FP_IMAGE_SIZE, 1 << 20, 1 << 20);
    int32_t size[2];
    ASSERT_EQ(GetFilmProp(film, FP_IMAGE_SIZE, size), 0);
    EXPECT_EQ(size[0], 3);
    EXPECT_EQ(size[1], 2);
}

TEST_F(LumoTest, MaskSizeIsTheMasksOwn) {
    const int32_t film = makeFilm(FT_IMAGE, -1, 0, 0, 3, 2);
    setProp(film, FP_IMAGE_MASK_SIZE, 6, 4);
    int32_t size[2];
    ASSERT_EQ(GetFilmProp(film, FP_MASK_SIZE, size), 0);
    EXPECT_EQ(size[0], 6);
    EXPECT_EQ(size[1], 4);
    const LumoSurface* mask = surfaceOf(film, FP_MASK_OBJECT);
    EXPECT_EQ(mask->bytes_per_pixel, 1);
    EXPECT_EQ(mask->width, 6);
}

TEST_F(LumoTest, CopyImageToAnotherFilmClipsToBoth) {
    const int32_t from = makeFilm(FT_IMAGE, -1, 0, 0, 3, 1, 0x0000FF);
    const int32_t to = makeFilm(FT_IMAGE, -1, 0, 0, 2, 2, 0x00FF00);
    call(from, FM_COPY_IMAGE_TO, to);
    EXPECT_EQ(pixel(to, 1, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixel(to, 1, 1), (Bgr{0, 255, 0}));
}

TEST_F(LumoTest, TakeSizeCopiesBothSizes) {
    const int32_t model = makeFilm(FT_IMAGE, -1, 0, 0, 7, 3);
    setProp(model, FP_IMAGE_SIZE, 14, 3);
    const int32_t film = AddFilm(FT_IMAGE);
    call(film, FM_TAKE_SIZE, model);
    EXPECT_EQ(filmProp(film, FP_WIDTH), 7);
    int32_t size[2];
    ASSERT_EQ(GetFilmProp(film, FP_IMAGE_SIZE, size), 0);
    EXPECT_EQ(size[0], 14);
}

TEST_F(LumoTest, SharedImageShowsTheOtherFilmsPixels) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 2, 1, 0x000000);
    const int32_t owner = makeFilm(FT_ALPHA, -1, 0, 0, 2, 1, 0x0000FF);
    call(owner, FM_FILL_ALPHA, 255);
    const int32_t viewer = makeFilm(FT_ALPHA, root, 0, 0, 2, 1, 0x00FF00);
    call(viewer, FM_FILL_ALPHA, 255);
    const int32_t share[2] = {owner, 0};
    ASSERT_EQ(SetFilmProp(viewer, FP_SHARE_IMAGE, share), 0);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 0, 255}));
    ASSERT_EQ(RemoveFilm(owner), 0);
    call(viewer, FM_INVALIDATE);
    call(root, FM_REDRAW);
    EXPECT_EQ(pixel(root, 0, 0), (Bgr{0, 255, 0})) << "the owner is gone: its own pixels again";
}

// A film that shares another's mask works with that mask wherever a mask
// is read or written, until it takes its own again or the owner goes.
TEST_F(LumoTest, ASharedMaskIsTheMaskTheHostAndTheCopiesSee) {
    const int32_t owner = makeFilm(FT_IMAGE, -1, 0, 0, 3, 1);
    setProp(owner, FP_MASK_SIZE, 3, 1);
    LumoSurface* shared = surfaceOf(owner, FP_MASK_OBJECT);
    shared->pixels[0] = 10;
    shared->pixels[1] = 20;
    shared->pixels[2] = 30;
    const int32_t viewer = makeFilm(FT_IMAGE, -1, 0, 0, 3, 1);
    setProp(viewer, FP_MASK_SIZE, 3, 1);
    LumoSurface* own = surfaceOf(viewer, FP_MASK_OBJECT);
    own->pixels[0] = 99;

    setProp(viewer, FP_SHARE_MASK, owner, 0);
    EXPECT_EQ(surfaceOf(viewer, FP_MASK_OBJECT), shared);

    // Copied out of the viewer: the shared mask's values.
    const int32_t copy = makeFilm(FT_IMAGE, -1, 0, 0, 3, 1);
    setProp(copy, FP_MASK_SIZE, 3, 1);
    call(viewer, FM_COPY_MASK_TO, copy);
    EXPECT_EQ(surfaceOf(copy, FP_MASK_OBJECT)->pixels[2], 30);
    // Copied into the viewer: into the mask it works with.
    surfaceOf(copy, FP_MASK_OBJECT)->pixels[1] = 77;
    call(copy, FM_COPY_MASK_TO, viewer);
    EXPECT_EQ(shared->pixels[1], 77);
    EXPECT_EQ(own->pixels[0], 99) << "the viewer's own mask is left alone";

    setProp(viewer, FP_SHARE_MASK, owner, 1);
    EXPECT_EQ(surfaceOf(viewer, FP_MASK_OBJECT), own) << "its own again";
    setProp(viewer, FP_SHARE_MASK, owner, 0);
    ASSERT_EQ(RemoveFilm(owner), 0);
    ASSERT_EQ(ExeQueue(), 0);
    EXPECT_EQ(surfaceOf(viewer, FP_MASK_OBJECT), own) << "the owner is gone";
}

TEST_F(LumoTest, ClearZeroesAllThreeBuffers) {
    const int32_t film = makeFilm(FT_ALPHA, -1, 0, 0, 2, 2, 0xFFFFFF);
    call(film, FM_FILL_ALPHA, 0x1FF);
    EXPECT_EQ(alphaAt(film, 1, 1), 0xFF) << "the low byte";
    call(film, FM_CLEAR);
    EXPECT_EQ(alphaAt(film, 1, 1), 0);
    EXPECT_EQ(pixel(film, 1, 1), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, BitBltMaskIntoAnAlphaMapTakesTheBlueChannel) {
    const int32_t film = makeFilm(FT_ALPHA, -1, 0, 0, 4, 4);
    uint8_t bytes[2 * 8] = {};
    LumoSurface picture{};
    picture.width = 2;
    picture.height = 2;
    picture.stride = 8;
    picture.bytes_per_pixel = 3;
    picture.pixels = bytes;
    bytes[3] = 0x11;  // pixel (1, 0): blue 0x11, green 0x22, red 0x33
    bytes[4] = 0x22;
    bytes[5] = 0x33;
    EXPECT_EQ(BitBltMask(surfaceOf(film, FP_ALPHA_OBJECT), 2, 1, 2, 2, &picture, 1, 0), 0);
    EXPECT_EQ(alphaAt(film, 2, 1), 0x11);
    EXPECT_EQ(BitBltMask(surfaceOf(film, FP_IMAGE_OBJECT), 0, 0, 2, 2, &picture, 0, 0), 0);
    EXPECT_EQ(pixel(film, 1, 0), (Bgr{0x11, 0x22, 0x33}));
    EXPECT_EQ(BitBltMask(nullptr, 0, 0, 2, 2, &picture, 0, 0), -1);
}

TEST_F(LumoTest, ExtremeValuesAreHeldWithinRange) {
    const int32_t root = makeFilm(FT_SCREEN, -1, 0, 0, 8, 8);
    const int32_t film = makeFilm(FT_TEXT, root, 0, 0, 8, 8);
    const int32_t huge = 0x7FFFFFFF;
    setProp(film, FP_X, huge);
    setProp(film, FP_WIDTH, huge);
    setProp(film, FP_SRC_POS, -huge - 1, huge);
    setProp(film, FP_TEXT_SIZE, huge);
    setProp(film, FP_TEXT_PITCH, huge);
    setProp(film, FP_TEXT_X, huge);
    const std::string text =
        "\x82\xa0\x82\xa0\x82\xa0"
        "K+fff";
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, text.c_str()), 0);
    setProp(film, FP_TEXT_SHOWN, 3);
    call(film, FM_CELL_X_STEP, huge);
    call(root, FM_REDRAW);
    EXPECT_GT(filmProp(film, FP_X), 0);
    EXPECT_GT(filmProp(film, FP_TEXT_X), 0);
}
