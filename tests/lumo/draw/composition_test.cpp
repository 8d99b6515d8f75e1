#include "composition.h"

#include <gtest/gtest.h>

#include "pixels.h"

namespace lumo {
namespace {

using testing::pixelAt;
using testing::setPixel;

constexpr std::uint32_t kPlain = 0x02;
constexpr std::uint32_t kLayer = 0xC2;
constexpr std::uint32_t kToned = 0x0A;

// A parent and a child of one row each, composed at the same coordinates.
struct Row {
    explicit Row(int width)
        : parentImage(width, 1, 3),
          parentAlpha(width, 1, 1),
          childImage(width, 1, 3),
          childAlpha(width, 1, 1) {}

    Piece piece(bool parentKeepsAlpha = false, bool childHasAlpha = true) const {
        return makePiece(parentImage.buffer(),
                         parentKeepsAlpha ? parentAlpha.buffer() : PixelBuffer{}, 0, 0,
                         childImage.buffer(), childHasAlpha ? childAlpha.buffer() : PixelBuffer{},
                         0, 0, parentImage.buffer().width, 1);
    }
    void child(int x, std::uint32_t colour, std::uint8_t alpha) const {
        setPixel(childImage.buffer(), x, 0, colour);
        childAlpha.buffer().bits[x] = alpha;
    }
    void parent(int x, std::uint32_t colour, std::uint8_t alpha = 0) const {
        setPixel(parentImage.buffer(), x, 0, colour);
        parentAlpha.buffer().bits[x] = alpha;
    }
    std::uint32_t colour(int x) const { return pixelAt(parentImage.buffer(), x, 0); }
    int alpha(int x) const { return parentAlpha.buffer().bits[x]; }

    PixelStore parentImage, parentAlpha, childImage, childAlpha;
};

// Both the reference and the routine the engine calls must give these bytes.
using Blend = void (*)(const Piece&, int, const Tone&, std::uint32_t);
class PerPixelBlend : public ::testing::TestWithParam<Blend> {
protected:
    void blend(const Row& row, int opacity, std::uint32_t parentType, Tone tone = {}) {
        GetParam()(row.piece((parentType & LUMO_FILM_KEEPS_ALPHA) != 0), opacity, tone, parentType);
    }
};

INSTANTIATE_TEST_SUITE_P(ReferenceAndFast, PerPixelBlend,
                         ::testing::Values(&blendScalar, &blendPiece));

TEST_P(PerPixelBlend, OpacityHalfOverFullAlphaGivesEffectiveAlpha127) {
    Row row(1);
    row.child(0, 0xFFFFFF, 255);
    blend(row, 128, kLayer);
    EXPECT_EQ(row.alpha(0), 127);

    Row plain(1);
    plain.child(0, 0xFFFFFF, 255);
    blend(plain, 128, kPlain);
    EXPECT_EQ(plain.colour(0), 0x7E7E7Eu);  // 255 × 127 / 256 = 126
}

TEST_P(PerPixelBlend, SourceAlphaZeroLeavesTheDestinationWhateverTheOpacity) {
    for (std::uint32_t type : {kPlain, kLayer, kToned}) {
        Row row(3);
        for (int x = 0; x < 3; ++x)
            row.child(x, 0xFFFFFF, 0), row.parent(x, 0x102030, 0);
        blend(row, 256, type, Tone{100, 300});
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(row.colour(x), 0x102030u);
            EXPECT_EQ(row.alpha(x), 0);
        }
    }
}

TEST_P(PerPixelBlend, EffectiveAlphaZeroFromLowOpacityIsSkippedToo) {
    Row row(2);
    row.child(0, 0xFFFFFF, 255);
    row.child(1, 0xFFFFFF, 1);
    blend(row, 1, kLayer);  // 255 × 1 < 256
    EXPECT_EQ(row.colour(0), 0u);
    EXPECT_EQ(row.alpha(0), 0);
}

TEST_P(PerPixelBlend, AClearedKeepsAlphaParentTakesTheChildUnblended) {
    Row row(2);
    row.child(0, 0x405060, 200);
    row.child(1, 0x405060, 200);
    row.parent(1, 0xFFFFFF, 0);
    blend(row, 100, kLayer);
    EXPECT_EQ(row.colour(0), 0x405060u);
    EXPECT_EQ(row.colour(1), 0x405060u);
    EXPECT_EQ(row.alpha(0), 78);  // 200 × 100 / 256
}

TEST_P(PerPixelBlend, KeepsAlphaAccumulatesTowardOpaque) {
    Row row(3);
    row.parent(0, 0x000000, 100);
    row.child(0, 0xC8C8C8, 255);
    row.parent(1, 0xC8C8C8, 255);
    row.child(1, 0x000000, 255);
    row.parent(2, 0x000000, 128);
    row.child(2, 0xFFFFFF, 255);
    blend(row, 129, kLayer);              // e = 128
    EXPECT_EQ(row.colour(0), 0x646464u);  // 0 + 128 × 200 / 256
    EXPECT_EQ(row.alpha(0), 177);         // 100 - ((128 × -155 + 255) >> 8)
    EXPECT_EQ(row.colour(1), 0x646464u);
    EXPECT_EQ(row.alpha(1), 255);
    EXPECT_EQ(row.colour(2), 0x7F7F7Fu);
    EXPECT_EQ(row.alpha(2), 191);
}

TEST_P(PerPixelBlend, KeepsAlphaDoesNotCopyAtFullEffectiveAlpha) {
    Row row(1);
    row.parent(0, 0x000000, 10);
    row.child(0, 0xFFFFFF, 255);
    blend(row, 256, kLayer);
    EXPECT_EQ(row.colour(0), 0xFEFEFEu);
    EXPECT_EQ(row.alpha(0), 254);  // 10 + (255 × 245) >> 8
}

TEST_P(PerPixelBlend, PlainParentCopiesOpaquePixelsAndTruncatesTowardZero) {
    Row row(3);
    row.parent(0, 0x000000);
    row.child(0, 0x123456, 255);
    row.parent(1, 0xC9C9C9);
    row.child(1, 0x000000, 3);
    row.parent(2, 0x000000);
    row.child(2, 0xC9C9C9, 3);
    blend(row, 256, kPlain);
    EXPECT_EQ(row.colour(0), 0x123456u);
    EXPECT_EQ(row.colour(1), 0xC7C7C7u);  // 201 + trunc(-603 / 256) = 199
    EXPECT_EQ(row.colour(2), 0x020202u);
}

TEST_P(PerPixelBlend, TonedParentTonesTheSourceAndBlendsEvenWhenOpaque) {
    Row row(1);
    row.child(0, 0xC8C8C8, 255);
    blend(row, 256, kToned, Tone{128, 256});
    EXPECT_EQ(row.colour(0), 0x636363u);  // 200 → 100, then 255 × 100 / 256
}

TEST_P(PerPixelBlend, ATransparentRunStopsBeforeTheLastPixelOfTheRow) {
    Row row(6);
    row.child(0, 0xFFFFFF, 0);
    for (int x = 1; x < 5; ++x)
        row.child(x, 0xFFFFFF, 0);
    row.child(5, 0x010203, 255);
    blend(row, 256, kPlain);
    EXPECT_EQ(row.colour(4), 0u);
    EXPECT_EQ(row.colour(5), 0x010203u);
}

TEST_P(PerPixelBlend, AChildWithoutAlphaMapCountsAsOpaque) {
    Row row(1);
    row.child(0, 0xFFFFFF, 0);
    GetParam()(row.piece(false, false), 128, Tone{}, kPlain);
    EXPECT_EQ(row.colour(0), 0x7E7E7Eu);
}

TEST(Tone, BrightnessScalesAndClampsEachChannel) {
    std::uint8_t pixel[3] = {200, 100, 0};
    applyTone(pixel, Tone{384, 256});
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 150);
    EXPECT_EQ(pixel[2], 0);
    applyTone(pixel, Tone{-10, 256});
    EXPECT_EQ(pixel[0], 0);
}

TEST(Tone, SaturationPullsTowardTheIntegerMeanWithAnArithmeticShift) {
    std::uint8_t grey[3] = {10, 20, 30};
    applyTone(grey, Tone{256, 0});
    EXPECT_EQ(grey[0], 20);
    EXPECT_EQ(grey[2], 20);

    std::uint8_t pixel[3] = {10, 20, 30};  // mean 20
    applyTone(pixel, Tone{256, 100});
    EXPECT_EQ(pixel[0], 16);  // 20 + (-1000 >> 8) = 20 - 4
    EXPECT_EQ(pixel[2], 23);  // 20 + (1000 >> 8)

    std::uint8_t vivid[3] = {0, 128, 250};
    applyTone(vivid, Tone{256, 1024});
    EXPECT_EQ(vivid[0], 0);
    EXPECT_EQ(vivid[2], 255);
}

TEST(Tone, ExtremeFactorsSaturateInsteadOfOverflowing) {
    std::uint8_t pixel[3] = {1, 128, 0};
    applyTone(pixel, Tone{1 << 30, 256});
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[2], 0);
    std::uint8_t other[3] = {10, 20, 30};
    applyTone(other, Tone{256, -(1 << 30)});
    EXPECT_EQ(other[0], 255);
    EXPECT_EQ(other[1], 20);
    EXPECT_EQ(other[2], 0);
}

TEST(Tone, AppliesBrightnessBeforeSaturation) {
    std::uint8_t pixel[3] = {100, 50, 0};
    applyTone(pixel, Tone{512, 0});  // 200, 100, 0 → mean 100
    EXPECT_EQ(pixel[0], 100);
    EXPECT_EQ(pixel[1], 100);
    EXPECT_EQ(pixel[2], 100);
}

TEST(DirectCopy, ReplacesThePixelsAndMakesAKeepsAlphaParentOpaque) {
    Row row(2);
    row.child(0, 0x112233, 0);
    row.child(1, 0x445566, 9);
    directCopy(row.piece(true), kLayer);
    EXPECT_EQ(row.colour(0), 0x112233u);
    EXPECT_EQ(row.colour(1), 0x445566u);
    EXPECT_EQ(row.alpha(0), 255);
    EXPECT_EQ(row.alpha(1), 255);
}

TEST(TonedCopy, StoresEveryPixelThroughTheTone) {
    Row row(1);
    row.child(0, 0x80C840, 0);
    tonedCopy(row.piece(true), Tone{128, 256}, kLayer);
    EXPECT_EQ(row.colour(0), 0x406420u);
    EXPECT_EQ(row.alpha(0), 255);
}

TEST(MakePiece, ClipsAllFourViewsToOneSize) {
    PixelStore parentImage(10, 10, 3), parentAlpha(10, 10, 1);
    PixelStore childImage(4, 6, 3), childAlpha(4, 5, 1);
    const Piece piece = makePiece(parentImage.buffer(), parentAlpha.buffer(), 8, 2,
                                  childImage.buffer(), childAlpha.buffer(), 1, 1, 5, 5);
    EXPECT_EQ(piece.width, 2);   // the parent ends two columns on
    EXPECT_EQ(piece.height, 4);  // the child's alpha map ends four rows on
    EXPECT_EQ(piece.destinationImage.bits, parentImage.buffer().at(8, 2));
    EXPECT_EQ(piece.sourceAlpha.bits, childAlpha.buffer().at(1, 1));
}

TEST(MakePiece, NegativeSourceCoordinatesMoveTheDestinationAlong) {
    PixelStore parentImage(10, 10, 3), childImage(4, 4, 3);
    const Piece piece =
        makePiece(parentImage.buffer(), {}, 2, 2, childImage.buffer(), {}, -1, -3, 4, 4);
    EXPECT_EQ(piece.width, 3);
    EXPECT_EQ(piece.height, 1);
    EXPECT_EQ(piece.destinationImage.bits, parentImage.buffer().at(3, 5));
    EXPECT_EQ(piece.sourceImage.bits, childImage.buffer().at(0, 0));
}

}  // namespace
}  // namespace lumo
