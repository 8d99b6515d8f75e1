#include "modes/mode_saveload_preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "common/codepage.h"
#include "platform/picture.h"
#include "platform/screen_surface.h"
#include "settings/ini_file.h"

namespace zelk {
namespace {

struct Source {
    int width, height, stride;
    std::vector<std::uint8_t> pixels;
    Source(int w, int h) : width(w), height(h), stride(ColorStride(w)), pixels(stride * h, 0) {}
    std::uint8_t* At(int x, int y) { return &pixels[y * stride + x * 3]; }
    void Fill(int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
        std::uint8_t* p = At(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
};

const std::uint8_t* OutAt(const SavePreviewImage& image, int x, int y) {
    return &image.pixels[static_cast<std::size_t>(y * image.stride + x * 3)];
}

TEST(SavePreviewTest, AnEvenColourStaysExactlyThatColour) {
    Source source(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            source.Fill(x, y, 10, 128, 250);
    const SavePreviewImage image =
        ScalePreview(source.pixels.data(), 640, 480, source.stride, 128, 96);
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 96);
    EXPECT_EQ(image.stride, ColorStride(128));
    for (int y : {0, 47, 95})
        for (int x : {0, 63, 127}) {
            EXPECT_EQ(OutAt(image, x, y)[0], 10);
            EXPECT_EQ(OutAt(image, x, y)[1], 128);
            EXPECT_EQ(OutAt(image, x, y)[2], 250);
        }
}

TEST(SavePreviewTest, FineDetailAveragesInsteadOfVanishing) {
    // One-pixel white lines every fifth column: point sampling at a factor
    // of five sees all of them or none; averaging gives each thumbnail
    // column a fifth of white.
    Source source(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 2; x < 640; x += 5)
            source.Fill(x, y, 255, 255, 255);
    const SavePreviewImage image =
        ScalePreview(source.pixels.data(), 640, 480, source.stride, 128, 96);
    for (int x = 0; x < 128; ++x)
        EXPECT_EQ(OutAt(image, x, 40)[1], 51) << x;
}

TEST(SavePreviewTest, AFractionalFactorWeighsPartlyCoveredPixels) {
    // 3 to 2: the first output pixel covers source 0 whole and half of 1.
    Source source(3, 1);
    source.Fill(0, 0, 0, 0, 0);
    source.Fill(1, 0, 90, 90, 90);
    source.Fill(2, 0, 180, 180, 180);
    const SavePreviewImage image = ScalePreview(source.pixels.data(), 3, 1, source.stride, 2, 1);
    EXPECT_EQ(OutAt(image, 0, 0)[0], 30);
    EXPECT_EQ(OutAt(image, 1, 0)[0], 150);
}

TEST(SavePreviewTest, EnlargingInterpolatesAndNoSizeGivesNoPicture) {
    Source source(2, 1);
    source.Fill(0, 0, 0, 0, 0);
    source.Fill(1, 0, 200, 200, 200);
    const SavePreviewImage image = ScalePreview(source.pixels.data(), 2, 1, source.stride, 4, 1);
    EXPECT_EQ(OutAt(image, 0, 0)[0], 0);
    EXPECT_EQ(OutAt(image, 1, 0)[0], 50);
    EXPECT_EQ(OutAt(image, 2, 0)[0], 150);
    EXPECT_EQ(OutAt(image, 3, 0)[0], 200);
    EXPECT_EQ(ScalePreview(source.pixels.data(), 2, 1, source.stride, 0, 96).width, 0);
    EXPECT_TRUE(ScalePreview(nullptr, 2, 1, 8, 4, 4).pixels.empty());
}

TEST(SavePreviewTest, TheScreenIsTakenAsPresented) {
    ScreenSurface screen(64, 48);
    screen.Lock();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = screen.Pixels() + y * screen.Stride() + x * 3;
            p[0] = x < 32 ? 255 : 0;
            p[2] = x < 32 ? 0 : 255;
        }
    screen.Unlock();
    const SavePreviewImage image = TakeScreenPreview(screen, 16, 12);
    EXPECT_EQ(OutAt(image, 0, 0)[0], 255);
    EXPECT_EQ(OutAt(image, 15, 11)[2], 255);
    EXPECT_EQ(OutAt(image, 15, 11)[0], 0);
}

TEST(SlotTextTest, DateTimeAndTheFirstFourteenCharactersOfThePlace) {
    INIFile document;
    document.Text(
        "[VellStatus]\r\nDateString=２６／１２／０８\r\nTimeString=０９：１５\r\n"
        "[GameViewStatus]\r\nSiteName=ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔ\r\n");
    EXPECT_EQ(SlotSummaryText(document),
              "２６／１２／０８\n０９：１５\nａｂｃｄｅｆｇｈｉｊｋｌｍｎ");
    INIFile empty;
    EXPECT_EQ(SlotSummaryText(empty), "\n\n");
}

TEST(SlotTextTest, TheEngineGetsOnlyTwoByteCharactersAndLineBreaks) {
    const std::string bytes = SlotTextForEngine("Ab 1\nｶﾞ港\t☃");
    const std::optional<std::string> expected = Utf8ToCp932("Ａｂ　１\nカ゛港？");
    ASSERT_TRUE(expected);
    EXPECT_EQ(bytes, *expected);
}

}  // namespace
}  // namespace zelk
