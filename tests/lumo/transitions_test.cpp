// Screen transitions installed and stepped through the API: each redraw set
// at its first, middle and last step, and the refusals that keep the normal
// redraw.
#include "lumo_host.h"

using namespace lumo_test;

namespace {

// A screen film showing `oldColour` whose first child holds the new scene.
struct Scene {
    int32_t screen;
    int32_t next;
};

Scene scene(int w, int h, uint32_t oldColour, uint32_t newColour) {
    const int32_t screen = makeFilm(FT_SCREEN, -1, 0, 0, w, h, oldColour);
    const int32_t next = makeFilm(FT_IMAGE, -1, 0, 0, w, h, newColour);
    setProp(next, FP_PARENT, screen, 0);
    return {screen, next};
}

bool install(int32_t film, int32_t set) {
    const LumoRedrawFuncs* table = GetRedrawFuncs(set);
    EXPECT_NE(table, nullptr);
    EXPECT_EQ(SetFilmProp(film, FP_REDRAW_PROC, &table), 0);
    // An installed procedure draws whenever the film is redrawn: probe it.
    return table != nullptr;
}

void uninstall(int32_t film) {
    ASSERT_EQ(SetFilmProp(film, FP_REDRAW_PROC, nullptr), 0);
}

void step(int32_t film, int32_t param1) {
    setProp(film, FP_PARAM1, param1);
    call(film, FM_REDRAW);
}

// Every pixel of a film has one colour.
void expectEverywhere(int32_t film, int w, int h, Bgr colour) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(pixel(film, x, y), colour) << x << "," << y;
}

}  // namespace

TEST_F(LumoTest, FadeWeighsOldAgainstNewByteByByte) {
    // Odd width: rows carry padding that must not shift the pixels.
    const auto [screen, next] = scene(5, 3, 0x6464C8, 0xC9C964);  // old r 200, new r 100
    install(screen, RF_FADE);
    step(screen, 256);
    expectEverywhere(screen, 5, 3, {100, 100, 200});
    step(screen, 128);
    expectEverywhere(screen, 5, 3,
                     {201 + 128 * (100 - 201) / 256, 201 + 128 * (100 - 201) / 256,
                      100 + 128 * (200 - 100) / 256});
    step(screen, 0);
    expectEverywhere(screen, 5, 3, {201, 201, 100});
    uninstall(screen);
}

TEST_F(LumoTest, FastFadeWeighsBothPicturesAtOnce) {
    const auto [screen, next] = scene(5, 3, 0x6464C8, 0xC9C964);
    install(screen, RF_FADE_FAST);
    step(screen, 128);
    const int blue = (201 * 128 + 100 * 128) / 256;
    expectEverywhere(screen, 5, 3, {blue, blue, (100 * 128 + 200 * 128) / 256});
    step(screen, 0);
    expectEverywhere(screen, 5, 3, {201, 201, 100});
}

TEST_F(LumoTest, VectorFadeGivesTheBytesOfTheByteFade) {
    const auto [screen, next] = scene(7, 5, 0x6464C8, 0xC9C964);
    install(screen, RF_FADE_MMX);
    for (int p : {256, 200, 129, 128, 1, 0}) {
        step(screen, p);
        expectEverywhere(screen, 7, 5,
                         {201 + p * (100 - 201) / 256, 201 + p * (100 - 201) / 256,
                          100 + p * (200 - 100) / 256});
    }
}

TEST_F(LumoTest, FadeRefusesAChildOfAnotherRectangleAndKeepsTheNormalRedraw) {
    const auto [screen, next] = scene(4, 2, 0x000000, 0x0000FF);
    setProp(next, FP_X, 1);
    install(screen, RF_FADE);
    step(screen, 256);
    EXPECT_EQ(pixel(screen, 1, 0), (Bgr{0, 0, 255})) << "composed normally, not faded";
    EXPECT_EQ(pixel(screen, 0, 0), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, VectorFadeNeedsOnlyAChild) {
    const int32_t lone = makeFilm(FT_SCREEN, -1, 0, 0, 4, 2, 0x000000);
    install(lone, RF_FADE_MMX);
    step(lone, 0);  // normal redraw: nothing to compose, nothing changes
    EXPECT_EQ(pixel(lone, 0, 0), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, OneFadeAtATime) {
    const auto [screen, next] = scene(4, 2, 0x000000, 0x0000FF);
    install(screen, RF_FADE);
    const int32_t other = makeFilm(FT_IMAGE, -1, 0, 0, 4, 2, 0x00FF00);
    makeFilm(FT_IMAGE, other, 0, 0, 4, 2, 0xFF0000);
    install(other, RF_FADE);
    step(other, 256);
    EXPECT_EQ(pixel(other, 0, 0), (Bgr{255, 0, 0})) << "refused: composed normally";
    uninstall(screen);
    install(other, RF_FADE);
    setProp(other, FP_PARAM1, 256);
    call(other, FM_REDRAW);
    EXPECT_EQ(pixel(other, 0, 0), (Bgr{255, 0, 0})) << "the old picture is what it showed";
}

TEST_F(LumoTest, LevelGoesFromBlackThroughUnchangedToWhite) {
    const auto [screen, next] = scene(5, 4, 0x000000, 0x646464);
    install(screen, RF_LEVEL);
    step(screen, 0);
    expectEverywhere(screen, 5, 4, {0, 0, 0});
    step(screen, 128);
    expectEverywhere(screen, 5, 4, {100, 100, 100});
    step(screen, 64);
    expectEverywhere(screen, 5, 4, {100 * 128 / 256, 100 * 128 / 256, 100 * 128 / 256});
    step(screen, 255);
    const int bright = (100 * (512 - 510) + 510 * 255 - 65280) / 256;
    expectEverywhere(screen, 5, 4, {bright, bright, bright});
}

TEST_F(LumoTest, LevelStartsAtTheRowOfTheSecondParameter) {
    const auto [screen, next] = scene(3, 4, 0x0000FF, 0x646464);
    install(screen, RF_LEVEL);
    setProp(screen, FP_PARAM2, 2);
    step(screen, 0);
    EXPECT_EQ(pixel(screen, 0, 1), (Bgr{0, 0, 255}));
    EXPECT_EQ(pixel(screen, 0, 2), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, SmoothBlursTheSavedPictureByTheParameter) {
    const auto [screen, next] = scene(7, 7, 0xC8C8C8, 0x000000);
    install(screen, RF_SMOOTH);
    step(screen, 16);  // one pass out and one back
    const int once = (4 * 200 * 115 + 200 * 51) / 512;
    const int twice = (4 * once * 115 + once * 51) / 512;
    EXPECT_EQ(pixel(screen, 3, 3).r, twice);
    EXPECT_EQ(pixel(screen, 0, 3).r, 200) << "the border stays";
    step(screen, 15);
    EXPECT_EQ(pixel(screen, 3, 3).r, 200) << "below 16: the saved picture, unblurred";
}

TEST_F(LumoTest, SecondSmoothBlursFurtherEachStep) {
    // Large enough that the unblurred border cannot reach the centre in six passes.
    const auto [screen, next] = scene(15, 15, 0xC8C8C8, 0x000000);
    install(screen, RF_SMOOTH2);
    int expected = 200;
    for (int n = 0; n < 3; ++n) {
        step(screen, n);
        for (int pass = 0; pass < 2; ++pass)
            expected = (4 * expected * 115 + expected * 51) / 512;
        EXPECT_EQ(pixel(screen, 7, 7).r, expected) << n;
    }
}

TEST_F(LumoTest, RuleWipeRevealsSmallRuleValuesFirst) {
    const auto [screen, next] = scene(3, 1, 0x000000, 0xFFFFFF);
    setProp(next, FP_MASK_SIZE, 3, 1);
    LumoSurface* mask = surfaceOf(next, FP_MASK_OBJECT);
    mask->pixels[0] = 10;   // rule 11
    mask->pixels[1] = 100;  // rule 101
    mask->pixels[2] = 250;  // rule 251
    setProp(next, FP_SOFTNESS, 32);
    install(screen, RF_RULE);
    auto wipe = [&, screen = screen, next = next](int p) {
        setProp(next, FP_PARAM1, p);
        call(screen, FM_INVALIDATE);
        call(screen, FM_REDRAW);
    };
    wipe(256 + 32);  // t = 0
    EXPECT_EQ(pixel(screen, 0, 0), (Bgr{0, 0, 0}));
    wipe(32 + 256 - 27);  // t = 27: 16 units into the first pixel's span
    EXPECT_EQ(pixel(screen, 0, 0).b, 0 + (16 * 256 / 32) * 255 / 256);
    EXPECT_EQ(pixel(screen, 1, 0), (Bgr{0, 0, 0}));
    wipe(32 + 256 - 200);  // t = 200
    EXPECT_EQ(pixel(screen, 0, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(pixel(screen, 1, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(pixel(screen, 2, 0), (Bgr{0, 0, 0}));
    wipe(0);  // t = 288
    EXPECT_EQ(pixel(screen, 2, 0), (Bgr{255, 255, 255}));
}

TEST_F(LumoTest, RuleWipeReadsTheMaskTheChildShares) {
    const auto [screen, next] = scene(2, 1, 0x000000, 0xFFFFFF);
    // The child's own mask would reveal the right pixel first.
    setProp(next, FP_MASK_SIZE, 2, 1);
    surfaceOf(next, FP_MASK_OBJECT)->pixels[0] = 250;
    surfaceOf(next, FP_MASK_OBJECT)->pixels[1] = 10;
    const int32_t rule = makeFilm(FT_IMAGE, -1, 0, 0, 2, 1);
    setProp(rule, FP_MASK_SIZE, 2, 1);
    surfaceOf(rule, FP_MASK_OBJECT)->pixels[0] = 10;
    surfaceOf(rule, FP_MASK_OBJECT)->pixels[1] = 250;
    setProp(next, FP_SHARE_MASK, rule, 0);
    setProp(next, FP_SOFTNESS, 1);
    install(screen, RF_RULE);
    setProp(next, FP_PARAM1, 1 + 256 - 100);  // t = 100
    call(screen, FM_INVALIDATE);
    call(screen, FM_REDRAW);
    EXPECT_EQ(pixel(screen, 0, 0), (Bgr{255, 255, 255}));
    EXPECT_EQ(pixel(screen, 1, 0), (Bgr{0, 0, 0}));
}

TEST_F(LumoTest, RuleWipeNeedsAChildOfTheFilmsSize) {
    const auto [screen, next] = scene(3, 2, 0x000000, 0xFFFFFF);
    setProp(next, FP_WIDTH, 2);
    install(screen, RF_RULE);
    call(screen, FM_INVALIDATE);
    call(screen, FM_REDRAW);
    EXPECT_EQ(pixel(screen, 0, 0), (Bgr{255, 255, 255})) << "normal redraw";
}

TEST_F(LumoTest, RemovingAFilmWithAProcedureFreesIt) {
    const auto [screen, next] = scene(4, 2, 0x000000, 0x0000FF);
    install(screen, RF_FADE);
    ASSERT_EQ(RemoveFilmChildren(screen), 0);
    const auto [again, child] = scene(4, 2, 0x00FF00, 0x0000FF);
    install(again, RF_FADE);
    step(again, 256);
    EXPECT_EQ(pixel(again, 0, 0), (Bgr{0, 255, 0})) << "installed again: the old picture";
    step(again, 0);
    EXPECT_EQ(pixel(again, 0, 0), (Bgr{0, 0, 255}));
}
