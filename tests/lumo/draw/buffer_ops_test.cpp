#include "buffer_ops.h"

#include <gtest/gtest.h>

#include <limits>

#include "pixels.h"

namespace lumo {
namespace {

using testing::pixelAt;
using testing::setPixel;

// A colour picture whose pixel (x, y) is 0xBBGGRR = (x, y, 7).
PixelStore numbered(int width, int height) {
    PixelStore store(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            setPixel(store.buffer(), x, y, x << 16 | y << 8 | 7);
    }
    return store;
}

TEST(PixelStore, ColourRowsArePaddedToFourBytesAndMasksAreNot) {
    EXPECT_EQ(PixelStore(5, 2, 3).buffer().stride, 16);
    EXPECT_EQ(PixelStore(4, 2, 3).buffer().stride, 12);
    EXPECT_EQ(PixelStore(5, 2, 1).buffer().stride, 5);
}

TEST(PixelStore, ResizingToTheSameSizeOnlyClearsAndKeepsTheBytesInPlace) {
    PixelStore store(3, 3, 3);
    std::uint8_t* bits = store.buffer().bits;
    bits[4] = 9;
    store.resize(3, 3, 3);
    EXPECT_EQ(store.buffer().bits, bits);
    EXPECT_EQ(bits[4], 0);
}

TEST(PixelStore, RefusesSizesBeyondItsLimitAndStaysUsable) {
    PixelStore store(4, 4, 3);
    EXPECT_FALSE(store.resize(PixelStore::kLargestSide + 1, 2, 3));
    EXPECT_TRUE(store.buffer().empty());
    EXPECT_EQ(store.byteSize(), 0u);
    EXPECT_FALSE(store.resize(1 << 30, 1 << 30, 1));
    EXPECT_TRUE(store.resize(2, 2, 1));
    EXPECT_EQ(store.buffer().stride, 2);
}

TEST(ViewOf, ClipsToTheBufferAndClampsNegativeCorners) {
    PixelStore store(10, 8, 3);
    const PixelBuffer view = viewOf(store.buffer(), -2, 6, 5, 5);
    EXPECT_EQ(view.width, 3);
    EXPECT_EQ(view.clipWidth, 3);
    EXPECT_EQ(view.height, 5);
    EXPECT_EQ(view.clipHeight, 2);
    EXPECT_EQ(view.bits, store.buffer().at(0, 6));
    EXPECT_TRUE(viewOf(store.buffer(), 10, 0, 3, 3).empty());
    EXPECT_TRUE(viewOf(store.buffer(), -4, 0, 3, 3).empty());
}

TEST(CopyBlock, CopiesRowByRowBetweenEqualPixelSizes) {
    PixelStore source = numbered(6, 5);
    PixelStore destination(6, 5, 3);
    copyBlock(destination.buffer(), 1, 2, source.buffer(), 3, 1, 2, 2);
    EXPECT_EQ(pixelAt(destination.buffer(), 1, 2), 0x030107u);
    EXPECT_EQ(pixelAt(destination.buffer(), 2, 3), 0x040207u);
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 2), 0u);
    EXPECT_EQ(pixelAt(destination.buffer(), 3, 2), 0u);
}

TEST(CopyBlock, NegativeCoordinatesShiftAndShrinkTheBlock) {
    PixelStore source = numbered(6, 6);
    PixelStore destination(6, 6, 3);
    copyBlock(destination.buffer(), -2, 1, source.buffer(), 0, -1, 4, 4);
    // Two columns are cut on the left; one row is cut at the source's top.
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 2), 0x020007u);
    EXPECT_EQ(pixelAt(destination.buffer(), 1, 4), 0x030207u);
    EXPECT_EQ(pixelAt(destination.buffer(), 2, 2), 0u);
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 1), 0u);
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 5), 0u);
}

TEST(CopyBlock, ClipsToTheDestinationClipAndTheSourceSize) {
    PixelStore source = numbered(4, 4);
    PixelStore destination(8, 8, 3);
    const PixelBuffer window = viewOf(destination.buffer(), 2, 2, 3, 3);
    copyBlock(window, 1, 1, source.buffer(), 2, 2, 10, 10);
    EXPECT_EQ(pixelAt(destination.buffer(), 3, 3), 0x020207u);
    EXPECT_EQ(pixelAt(destination.buffer(), 4, 4), 0x030307u);
    // Past the view's clip and past the source nothing is written.
    EXPECT_EQ(pixelAt(destination.buffer(), 5, 3), 0u);
    EXPECT_EQ(pixelAt(destination.buffer(), 3, 5), 0u);
}

TEST(CopyBlock, DoesNothingForBlocksSmallerThanOnePixel) {
    PixelStore source = numbered(4, 4);
    PixelStore destination(4, 4, 3);
    copyBlock(destination.buffer(), 0, 0, source.buffer(), 1, 1, 0, 3);
    copyBlock(destination.buffer(), 0, 0, source.buffer(), 1, 1, 3, -1);
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 0), 0u);
}

TEST(CopyBlock, SurvivesCoordinatesAtTheEndsOfTheIntRange) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    PixelStore source = numbered(4, 4);
    PixelStore destination(4, 4, 3);
    copyBlock(destination.buffer(), kMin, 0, source.buffer(), kMax, 0, kMax, kMax);
    copyBlock(destination.buffer(), kMax, kMax, source.buffer(), kMin, kMin, kMax, kMax);
    copyBlock(destination.buffer(), 0, 0, source.buffer(), kMin, 0, kMax, 4);
    bitBltMask(destination.buffer(), kMin, kMin, kMax, kMax, source.buffer(), kMax, kMin);
    EXPECT_TRUE(viewOf(destination.buffer(), kMin, kMin, kMax, kMax).empty());
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 0), 0u);
    copyBlock(destination.buffer(), -1, -1, source.buffer(), 0, 0, kMax, kMax);
    EXPECT_EQ(pixelAt(destination.buffer(), 0, 0), 0x010107u);
}

TEST(CopyBlock, AColourPictureLeavesItsBlueChannelInAnAlphaMap) {
    PixelStore source = numbered(4, 4);
    PixelStore alpha(4, 4, 1);
    copyBlock(alpha.buffer(), 0, 0, source.buffer(), 0, 0, 4, 4);
    EXPECT_EQ(alpha.buffer().at(3, 1)[0], 3);
    EXPECT_EQ(alpha.buffer().at(2, 2)[0], 2);
}

TEST(CopyBlock, AnAlphaMapCopiedIntoColourFillsOnlyTheFirstChannel) {
    PixelStore alpha(2, 1, 1);
    alpha.buffer().bits[0] = 200;
    PixelStore colour = numbered(2, 1);
    copyBlock(colour.buffer(), 0, 0, alpha.buffer(), 0, 0, 1, 1);
    EXPECT_EQ(pixelAt(colour.buffer(), 0, 0), 0xC80007u);
}

TEST(CopyBlock, MovesABlockDownInsideOneBufferWithoutSmearing) {
    PixelStore store = numbered(3, 6);
    copyBlock(store.buffer(), 0, 1, store.buffer(), 0, 0, 3, 4);
    for (int y = 1; y <= 4; ++y)
        EXPECT_EQ(pixelAt(store.buffer(), 1, y), 0x010007u | (y - 1) << 8);
}

TEST(FillBlock, StoresTheColourBlueFirst) {
    PixelStore store(3, 3, 3);
    fillBlock(store.buffer(), 1, 1, 1, 1, 0x00112233);
    const std::uint8_t* p = store.buffer().at(1, 1);
    EXPECT_EQ(p[0], 0x11);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x33);
}

TEST(FillBlock, ClampsNegativeCornersAndClipsToTheBuffer) {
    PixelStore store(5, 4, 3);
    fillBlock(store.buffer(), -1, -1, 3, 9, 0x00FFFFFF);
    EXPECT_EQ(pixelAt(store.buffer(), 1, 3), 0xFFFFFFu);
    EXPECT_EQ(pixelAt(store.buffer(), 2, 0), 0u);
    fillBlock(store.buffer(), 0, 0, 100, 100, 0x00FFFFFF);
    EXPECT_EQ(pixelAt(store.buffer(), 4, 3), 0xFFFFFFu);
    // The row padding is left alone.
    EXPECT_EQ(store.buffer().row(0)[15], 0);
}

TEST(FillBlock, UsesTheLowByteOnOneBytePixels) {
    PixelStore alpha(4, 2, 1);
    fillBlock(alpha.buffer(), 0, 0, 4, 2, 0x00ABCDEF);
    EXPECT_EQ(alpha.buffer().at(3, 1)[0], 0xEF);
}

TEST(BitBltMask, AnAlphaMapTakesTheBlueChannelOfThePicture) {
    PixelStore host = numbered(8, 8);
    PixelStore alpha(4, 4, 1);
    bitBltMask(alpha.buffer(), 1, 0, 3, 3, host.buffer(), 1, 1);
    // From (1, 1) of the 3 by 3 picture: a 2 by 2 block reaches the map.
    EXPECT_EQ(alpha.buffer().at(1, 0)[0], 1);
    EXPECT_EQ(alpha.buffer().at(2, 1)[0], 2);
    EXPECT_EQ(alpha.buffer().at(3, 0)[0], 0);
    EXPECT_EQ(alpha.buffer().at(1, 2)[0], 0);
}

TEST(BitBltMask, ThePartOfThePictureBeyondTheSourceArrivesBlack) {
    PixelStore host = numbered(2, 2);
    PixelStore image(4, 4, 3);
    fillBlock(image.buffer(), 0, 0, 4, 4, 0x00FFFFFF);
    bitBltMask(image.buffer(), 0, 0, 3, 3, host.buffer(), 0, 0);
    EXPECT_EQ(pixelAt(image.buffer(), 1, 1), 0x010107u);
    EXPECT_EQ(pixelAt(image.buffer(), 2, 0), 0u);
    EXPECT_EQ(pixelAt(image.buffer(), 0, 2), 0u);
    EXPECT_EQ(pixelAt(image.buffer(), 3, 3), 0xFFFFFFu);
}

TEST(BitBltMask, AHugeBlockCostsNoPictureOfThatSize) {
    PixelStore host = numbered(4, 4);
    PixelStore image(4, 4, 3);
    bitBltMask(image.buffer(), 0, 0, 1 << 30, 1 << 30, host.buffer(), 1, 1);
    EXPECT_EQ(pixelAt(image.buffer(), 0, 0), 0x010107u);
    EXPECT_EQ(pixelAt(image.buffer(), 3, 3), 0u);
}

}  // namespace
}  // namespace lumo
