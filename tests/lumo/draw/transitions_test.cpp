#include "transitions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "pixels.h"

namespace lumo {
namespace {

using testing::pixelAt;
using testing::setPixel;

// One pixel of each picture, so that a formula can be read off directly.
struct Pixels {
    PixelStore out{1, 1, 3};
    PixelStore before{1, 1, 3};
    PixelStore after{1, 1, 3};

    Pixels(std::uint32_t oldColour, std::uint32_t newColour) {
        setPixel(before.buffer(), 0, 0, oldColour);
        setPixel(after.buffer(), 0, 0, newColour);
    }
    std::uint32_t result() const { return pixelAt(out.buffer(), 0, 0); }
};

using Fade = void (*)(const PixelBuffer&, const PixelBuffer&, const PixelBuffer&, int);

std::uint32_t fadeOne(Fade fade, std::uint32_t oldColour, std::uint32_t newColour, int p) {
    Pixels pixels(oldColour, newColour);
    fade(pixels.out.buffer(), pixels.before.buffer(), pixels.after.buffer(), p);
    return pixels.result();
}

class ExactFade : public ::testing::TestWithParam<Fade> {};
INSTANTIATE_TEST_SUITE_P(BytewiseAndVector, ExactFade, ::testing::Values(&fadeBytes, &fadeVector));

TEST_P(ExactFade, StartsOnTheOldPictureAndEndsOnTheNew) {
    EXPECT_EQ(fadeOne(GetParam(), 0xFF8001, 0x00FF10, 256), 0xFF8001u);
    EXPECT_EQ(fadeOne(GetParam(), 0xFF8001, 0x00FF10, 0), 0x00FF10u);
}

TEST_P(ExactFade, WeighsTheMiddleWithATruncatingDivision) {
    // new + 128 × (old - new) / 256: 0 + 127.5 → 127; 255 - 127.5 → 128; 1 - 0.5 → 1.
    EXPECT_EQ(fadeOne(GetParam(), 0xFF0000, 0x00FF01, 128), 0x7F8001u);
}

TEST_P(ExactFade, ClampsWeightsOutsideTheRange) {
    EXPECT_EQ(fadeOne(GetParam(), 0x102030, 0x405060, 300), 0x102030u);
    EXPECT_EQ(fadeOne(GetParam(), 0x102030, 0x405060, -5), 0x405060u);
}

TEST(FadeWords, WeighsBothPicturesAndRoundsDown) {
    EXPECT_EQ(fadeOne(&fadeWords, 0xFF8001, 0x00FF10, 256), 0xFF8001u);
    EXPECT_EQ(fadeOne(&fadeWords, 0xFF8001, 0x00FF10, 0), 0x00FF10u);
    // (new × 128 + old × 128) / 256: 127, 127, 0 (where the bytewise fade gives 1).
    EXPECT_EQ(fadeOne(&fadeWords, 0xFF0000, 0x00FF01, 128), 0x7F7F00u);
}

TEST(FadeWords, HandlesRowsThatDoNotFillWholeWords) {
    PixelStore out(5, 3, 3), before(5, 3, 3), after(5, 3, 3);
    std::mt19937 random(3);
    testing::fillRandom(before, random);
    testing::fillRandom(after, random);
    fadeWords(out.buffer(), before.buffer(), after.buffer(), 77);
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 15; ++i) {
            const int expected =
                (after.buffer().row(y)[i] * (256 - 77) + before.buffer().row(y)[i] * 77) / 256;
            ASSERT_EQ(out.buffer().row(y)[i], expected) << y << "," << i;
        }
        EXPECT_EQ(out.buffer().row(y)[15], 0);  // padding untouched
    }
}

TEST(LevelBytes, GoesFromBlackThroughUnchangedToWhite) {
    PixelStore out(3, 1, 3), source(3, 1, 3);
    setPixel(source.buffer(), 0, 0, 0x0080FF);
    setPixel(source.buffer(), 1, 0, 0x203040);
    setPixel(source.buffer(), 2, 0, 0x112233);
    levelBytes(out.buffer(), source.buffer(), 0);
    EXPECT_EQ(pixelAt(out.buffer(), 0, 0), 0u);
    levelBytes(out.buffer(), source.buffer(), 128);
    EXPECT_EQ(pixelAt(out.buffer(), 1, 0), 0x203040u);
    levelBytes(out.buffer(), source.buffer(), 256);
    EXPECT_EQ(pixelAt(out.buffer(), 2, 0), 0xFFFFFFu);
    levelBytes(out.buffer(), source.buffer(), 64);  // g × 128 / 256
    EXPECT_EQ(pixelAt(out.buffer(), 0, 0), 0x00407Fu);
    levelBytes(out.buffer(), source.buffer(), 192);  // (g × 128 + 32640) / 256
    EXPECT_EQ(pixelAt(out.buffer(), 0, 0), 0x7FBFFFu);
}

TEST(SmoothPass, WeighsTheFourNeighboursAgainstTheCentre) {
    PixelStore out(3, 3, 3), source(3, 3, 3);
    setPixel(source.buffer(), 1, 0, 0x0A0000);
    setPixel(source.buffer(), 1, 2, 0x140000);
    setPixel(source.buffer(), 0, 1, 0x1E0000);
    setPixel(source.buffer(), 2, 1, 0x280000);
    setPixel(source.buffer(), 1, 1, 0xC8FF00);
    smoothPass(out.buffer(), source.buffer());
    // ((10 + 20 + 30 + 40) × 115 + 200 × 51) / 512 = 42; 255 × 51 / 512 = 25.
    EXPECT_EQ(pixelAt(out.buffer(), 1, 1), 0x2A1900u);
}

TEST(SmoothPass, CopiesTheBorderUnchanged) {
    PixelStore out(4, 3, 3), source(4, 3, 3);
    std::mt19937 random(5);
    testing::fillRandom(source, random);
    smoothPass(out.buffer(), source.buffer());
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(pixelAt(out.buffer(), x, 0), pixelAt(source.buffer(), x, 0));
        EXPECT_EQ(pixelAt(out.buffer(), x, 2), pixelAt(source.buffer(), x, 2));
    }
    EXPECT_EQ(pixelAt(out.buffer(), 0, 1), pixelAt(source.buffer(), 0, 1));
    EXPECT_EQ(pixelAt(out.buffer(), 3, 1), pixelAt(source.buffer(), 3, 1));
}

struct Wipe {
    PixelStore out{4, 1, 3}, before{4, 1, 3}, after{4, 1, 3}, mask{4, 1, 1}, rule{4, 1, 1};

    Wipe() {
        for (int x = 0; x < 4; ++x) {
            setPixel(before.buffer(), x, 0, 0x000000);
            setPixel(after.buffer(), x, 0, 0xFFFFFF);
        }
        setPixel(after.buffer(), 3, 0, 0x000000);  // unchanged pixel
        const std::uint8_t maskValues[4] = {0, 100, 201, 50};
        std::memcpy(mask.buffer().bits, maskValues, 4);
        buildRuleMap(rule.buffer(), before.buffer(), after.buffer(), mask.buffer());
        std::memcpy(out.buffer().bits, before.buffer().bits, 12);
    }
    void step(int softness, int p) {
        ruleStep(out.buffer(), before.buffer(), after.buffer(), rule.buffer(), softness, p);
    }
    int at(int x) const { return out.buffer().at(x, 0)[0]; }
};

TEST(RuleMap, MarksChangedPixelsWithTheirOddMaskValue) {
    Wipe wipe;
    const std::uint8_t* rule = wipe.rule.buffer().bits;
    EXPECT_EQ(rule[0], 1);
    EXPECT_EQ(rule[1], 101);
    EXPECT_EQ(rule[2], 201);
    EXPECT_EQ(rule[3], 0);
}

TEST(RuleMap, CountsAMissingMaskAsZero) {
    Wipe wipe;
    buildRuleMap(wipe.rule.buffer(), wipe.before.buffer(), wipe.after.buffer(), PixelBuffer{});
    EXPECT_EQ(wipe.rule.buffer().bits[1], 1);
    EXPECT_EQ(wipe.rule.buffer().bits[3], 0);
}

TEST(RuleStep, FirstStepLeavesTheOldPicture) {
    Wipe wipe;
    wipe.step(64, 256 + 64);  // t = 0
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(wipe.at(x), 0);
}

TEST(RuleStep, MiddleStepBlendsTheSoftSpanAndShowsPassedPixels) {
    Wipe wipe;
    wipe.step(64, 256 + 64 - 133);  // t = 133
    EXPECT_EQ(wipe.at(0), 255);     // 132 past its value, beyond the span
    EXPECT_EQ(wipe.at(1), 127);     // w = 32 × 256 / 64 = 128: 255 × 128 / 256
    EXPECT_EQ(wipe.at(2), 0);       // not reached
    EXPECT_EQ(wipe.at(3), 0);
}

TEST(RuleStep, LastStepShowsTheNewPicture) {
    Wipe wipe;
    wipe.step(64, 0);  // t = 320
    EXPECT_EQ(wipe.at(0), 255);
    EXPECT_EQ(wipe.at(1), 255);
    EXPECT_EQ(wipe.at(2), 255);
    EXPECT_EQ(wipe.at(3), 0);
}

TEST(RuleStep, WithoutSoftnessAReachedPixelSwitchesAtOnce) {
    Wipe wipe;
    wipe.step(0, 256 - 101);  // t = 101 = the second pixel's value
    EXPECT_EQ(wipe.at(0), 255);
    EXPECT_EQ(wipe.at(1), 255);
    EXPECT_EQ(wipe.at(2), 0);
}

TEST(RuleStep, ExtremeParametersStayInRange) {
    Wipe wipe;
    wipe.step(1 << 30, 1 << 30);
    EXPECT_EQ(wipe.at(0), 0);
    wipe.step(std::numeric_limits<int>::max(), std::numeric_limits<int>::min());
    EXPECT_EQ(wipe.at(0), 255);
    EXPECT_EQ(wipe.at(3), 0);
}

TEST(Transitions, LeaveRowPaddingAndPixelsOutsideTheViewAlone) {
    PixelStore out(7, 4, 3), before(7, 4, 3), after(7, 4, 3);
    std::memset(before.buffer().bits, 200, before.byteSize());
    std::memset(out.buffer().bits, 9, out.byteSize());
    const PixelBuffer view = viewOf(out.buffer(), 1, 1, 5, 2);
    const PixelBuffer oldView = viewOf(before.buffer(), 1, 1, 5, 2);
    const PixelBuffer newView = viewOf(after.buffer(), 1, 1, 5, 2);
    for (Fade fade : {&fadeBytes, &fadeWords, &fadeVector})
        fade(view, oldView, newView, 256);
    for (int y = 0; y < 4; ++y) {
        for (int i = 0; i < out.buffer().stride; ++i) {
            const bool inside = y >= 1 && y <= 2 && i >= 3 && i < 18;
            ASSERT_EQ(out.buffer().row(y)[i], inside ? 200 : 9) << y << "," << i;
        }
    }
}

}  // namespace
}  // namespace lumo
