#include "glyph_renderer.h"

#include "font_set.h"
#include "pixel_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace lumo {
namespace {

// Face names as the host sends them, in code page 932.
const std::string kMsGothic = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
const std::string kMsMincho = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";
const std::string kMsPGothic = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

// "あ" and "ー" in code page 932.
constexpr std::uint8_t kA[2] = {0x82, 0xA0};
constexpr std::uint8_t kLongVowel[2] = {0x81, 0x5B};

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1, covered = 0;
};

Box inkOf(const PixelBuffer& glyph) {
    Box box;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.at(x, y)[0] == 0) continue;
            ++box.covered;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

TEST(FontLibrary, ResolvesTheWindowsJapaneseFacesToTheIpaFonts) {
    FontLibrary library;
    const std::string gothic = library.resolve(kMsGothic);
    EXPECT_TRUE(endsWith(gothic, "ipag.ttf") || endsWith(gothic, "japanese-gothic.ttf")) << gothic;
    const std::string mincho = library.resolve(kMsMincho);
    EXPECT_TRUE(endsWith(mincho, "ipam.ttf") || endsWith(mincho, "japanese-mincho.ttf")) << mincho;
    EXPECT_TRUE(endsWith(library.resolve(kMsPGothic), "ipagp.ttf"));
    EXPECT_EQ(library.resolve("MS Gothic"), gothic);
}

TEST(FontLibrary, AnUnknownFaceFallsBackToAFontWithJapanese) {
    FontLibrary library;
    EXPECT_FALSE(library.resolve("No Such Face At All").empty());
    EXPECT_FALSE(library.resolve("DejaVu Sans").empty());
    EXPECT_FALSE(library.resolve("").empty());
}

TEST(FontLibrary, GivesTheSameFontForTheSameFaceAndSize) {
    FontLibrary library;
    const auto font = library.open(kMsGothic, 24);
    EXPECT_EQ(library.open(kMsGothic, 24), font);
    EXPECT_NE(library.open(kMsGothic, 20), font);
    EXPECT_EQ(font->size(), 24);
}

TEST(Font, DrawsHiraganaAInsideItsCell) {
    FontLibrary library;
    const PixelBuffer glyph = library.open(kMsGothic, 24)->glyph(kA[0], kA[1]);
    ASSERT_EQ(glyph.width, 24);
    ASSERT_EQ(glyph.height, 24);
    EXPECT_EQ(glyph.stride, 24);
    EXPECT_EQ(glyph.bytesPerPixel, 1);
    const Box ink = inkOf(glyph);
    EXPECT_GT(ink.covered, 24 * 24 / 8);
    // A full-width kana fills most of the cell, clear of its edges.
    EXPECT_GE(ink.left, 0);
    EXPECT_LE(ink.left, 5);
    EXPECT_GE(ink.right, 18);
    EXPECT_LE(ink.top, 6);
    EXPECT_GE(ink.bottom, 17);
    EXPECT_LT(ink.bottom, 24);
}

TEST(Font, ReducesTwiceTheSizeToSoftEdges) {
    FontLibrary library;
    const PixelBuffer glyph = library.open(kMsGothic, 24)->glyph(kA[0], kA[1]);
    int full = 0, partial = 0;
    for (int i = 0; i < 24 * 24; ++i) {
        const int v = glyph.bits[i];
        full += v == 255;
        partial += v > 0 && v < 255;
    }
    EXPECT_GT(full, 0);
    EXPECT_GT(partial, 0);
}

TEST(Font, AHorizontalStrokeSitsNearTheMiddleOfTheCell) {
    FontLibrary library;
    const Box ink = inkOf(library.open(kMsGothic, 32)->glyph(kLongVowel[0], kLongVowel[1]));
    ASSERT_GT(ink.covered, 0);
    EXPECT_GT(ink.top, 8);
    EXPECT_LT(ink.bottom, 24);
    EXPECT_GT(ink.right - ink.left, 16);
}

TEST(Font, GivesABlankCellForBytesThatAreNoCharacter) {
    FontLibrary library;
    const PixelBuffer glyph = library.open(kMsGothic, 24)->glyph(0x85, 0x7F);
    ASSERT_EQ(glyph.width, 24);
    EXPECT_EQ(inkOf(glyph).covered, 0);
}

TEST(Font, SizesOutsideTheUsableRangeGiveNoPixels) {
    FontLibrary library;
    EXPECT_TRUE(library.open(kMsGothic, 0)->glyph(kA[0], kA[1]).empty());
    EXPECT_TRUE(library.open(kMsGothic, -3)->glyph(kA[0], kA[1]).empty());
    EXPECT_TRUE(library.open(kMsGothic, 1 << 20)->glyph(kA[0], kA[1]).empty());
}

TEST(Font, RendersTheSameFromSeveralThreads) {
    FontLibrary library;
    const auto font = library.open(kMsGothic, 20);
    const auto other = library.open(kMsGothic, 28);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (std::uint8_t trail = 0x9F; trail < 0xF1; ++trail) {
                (t % 2 ? font : other)->glyph(0x82, trail);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    FontLibrary fresh;
    const PixelBuffer expected = fresh.open(kMsGothic, 20)->glyph(kA[0], kA[1]);
    const PixelBuffer actual = font->glyph(kA[0], kA[1]);
    EXPECT_EQ(0, std::memcmp(expected.bits, actual.bits, 20 * 20));
}

TEST(Font, OutlivesItsLibrary) {
    std::shared_ptr<Font> font;
    {
        FontLibrary library;
        font = library.open(kMsGothic, 12);
    }
    EXPECT_GT(inkOf(font->glyph(kA[0], kA[1])).covered, 0);
}

TEST(GlyphCoverage, EachPixelTakesTheLargerAndNothingOutsideTheGlyphChanges) {
    // Every row width from one pixel to past two vectors, placed inside the
    // map, across each edge and off it.
    std::mt19937 random(35);
    const int mapWidth = 70;
    const int mapHeight = 12;
    for (int width = 1; width <= 40; ++width) {
        for (int x : {0, 3, mapWidth - width, -width / 2, mapWidth - width / 2, -width, mapWidth}) {
            GlyphImage glyph;
            glyph.width = width;
            glyph.height = 5;
            for (int i = 0; i < width * glyph.height; ++i)
                glyph.coverage.push_back(static_cast<std::uint8_t>(random()));
            PixelStore store(mapWidth, mapHeight, 1);
            const PixelBuffer& alpha = store.buffer();
            for (int y = 0; y < mapHeight; ++y)
                for (int column = 0; column < mapWidth; ++column)
                    alpha.row(y)[column] = static_cast<std::uint8_t>(random());
            std::vector<std::uint8_t> expected(alpha.bits, alpha.bits + store.byteSize());
            const int y = -2;  // the top rows lie above the map
            for (int row = 0; row < glyph.height; ++row) {
                for (int column = 0; column < width; ++column) {
                    const int mx = x + column;
                    const int my = y + row;
                    if (mx < 0 || mx >= mapWidth || my < 0 || my >= mapHeight) continue;
                    std::uint8_t& to = expected[static_cast<std::size_t>(my * alpha.stride + mx)];
                    to = std::max(to,
                                  glyph.coverage[static_cast<std::size_t>(row * width + column)]);
                }
            }
            addCoverage(alpha, x, y, glyph);
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), alpha.bits))
                << "width " << width << " at " << x;
        }
    }
}

}  // namespace
}  // namespace lumo
