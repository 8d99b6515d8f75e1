// The vector variants against the scalar reference on random pictures, with odd
// widths, padded rows and views that start in the middle of a row.
#include "vector_kernels.h"

#include <gtest/gtest.h>

#include <cstring>

#include "pixels.h"
#include "transitions.h"

#if LUMO_X86

namespace lumo {
namespace {

using testing::fillAlphaRuns;
using testing::fillRandom;
using testing::visibleBytes;

constexpr int kWidths[] = {1, 15, 16, 17, 31, 32, 33, 47, 95, 97, 641};

// The four buffers of a composition, wider than the piece so that views into
// them have padded rows.
struct Scene {
    explicit Scene(int width, int height, unsigned seed)
        : parentImage(width + 5, height, 3),
          parentAlpha(width + 3, height, 1),
          childImage(width + 7, height, 3),
          childAlpha(width + 2, height, 1) {
        std::mt19937 random(seed);
        fillRandom(parentImage, random);
        fillAlphaRuns(parentAlpha, random);
        fillRandom(childImage, random);
        fillAlphaRuns(childAlpha, random);
        piece = makePiece(parentImage.buffer(), parentAlpha.buffer(), 3, 0, childImage.buffer(),
                          childAlpha.buffer(), 1, 0, width, height);
    }
    Scene(const Scene& other) = delete;

    // A copy of the parent's bytes to compare against.
    std::vector<std::uint8_t> parentBytes() const {
        auto bytes = visibleBytes(parentImage.buffer());
        auto alpha = visibleBytes(parentAlpha.buffer());
        bytes.insert(bytes.end(), alpha.begin(), alpha.end());
        return bytes;
    }

    PixelStore parentImage, parentAlpha, childImage, childAlpha;
    Piece piece;
};

using Variant = void (*)(const Piece&, int);

void expectSameAsReference(Variant variant, std::uint32_t parentType) {
    for (int width : kWidths) {
        for (int opacity : {1, 2, 128, 129, 255, 256}) {
            const unsigned seed = static_cast<unsigned>(width * 1000 + opacity);
            Scene reference(width, 3, seed);
            Scene fast(width, 3, seed);
            blendScalar(reference.piece, opacity, Tone{}, parentType);
            variant(fast.piece, opacity);
            ASSERT_EQ(reference.parentBytes(), fast.parentBytes())
                << "width " << width << ", opacity " << opacity;
        }
    }
}

TEST(VectorBlend, PlainSseMatchesTheReference) {
    expectSameAsReference(&vector::blendPlainSse, 0x42);
}

TEST(VectorBlend, PlainAvx2MatchesTheReference) {
    if (!vector::hasAvx2()) GTEST_SKIP() << "no AVX2 here";
    expectSameAsReference(&vector::blendPlainAvx2, 0x42);
}

TEST(VectorBlend, KeepsAlphaSseMatchesTheReference) {
    expectSameAsReference(&vector::blendKeepAlphaSse, 0xC2);
}

TEST(VectorBlend, TheChosenRoutineMatchesTheReferenceForEveryParentType) {
    for (std::uint32_t type : {0x02u, 0x42u, 0xC2u, 0x0Au}) {
        Scene reference(97, 4, type);
        Scene fast(97, 4, type);
        blendScalar(reference.piece, 200, Tone{300, 100}, type);
        blendPiece(fast.piece, 200, Tone{300, 100}, type);
        ASSERT_EQ(reference.parentBytes(), fast.parentBytes()) << "type " << type;
    }
}

TEST(VectorBlend, FullyOpaqueAndFullyClearBlocksTakeTheirShortcutsExactly) {
    Scene reference(64, 2, 9), fast(64, 2, 9);
    for (Scene* scene : {&reference, &fast}) {
        const PixelBuffer& alpha = scene->childAlpha.buffer();
        std::memset(alpha.row(0), 255, alpha.width);
        std::memset(alpha.row(1), 0, alpha.width);
    }
    blendScalar(reference.piece, 256, Tone{}, 0x42);
    blendPiece(fast.piece, 256, Tone{}, 0x42);
    EXPECT_EQ(reference.parentBytes(), fast.parentBytes());
}

using Fade = void (*)(const PixelBuffer&, const PixelBuffer&, const PixelBuffer&, int);

void expectFadeSameAsBytewise(Fade variant) {
    for (int width : kWidths) {
        for (bool padded : {false, true}) {
            const int storeWidth = padded ? width + 3 : width;
            PixelStore before(storeWidth, 5, 3), after(storeWidth, 5, 3);
            PixelStore expected(storeWidth, 5, 3), actual(storeWidth, 5, 3);
            std::mt19937 random(static_cast<unsigned>(width));
            fillRandom(before, random);
            fillRandom(after, random);
            auto view = [&](const PixelStore& s) { return viewOf(s.buffer(), 0, 0, width, 5); };
            for (int p : {0, 1, 77, 128, 255, 256}) {
                fadeBytes(view(expected), view(before), view(after), p);
                variant(view(actual), view(before), view(after), p);
                ASSERT_EQ(visibleBytes(expected.buffer()), visibleBytes(actual.buffer()))
                    << "width " << width << ", p " << p;
            }
        }
    }
}

TEST(VectorFade, SseGivesTheBytesOfTheBytewiseFade) {
    expectFadeSameAsBytewise(&vector::fadeSse);
}

TEST(VectorFade, Avx2GivesTheBytesOfTheBytewiseFade) {
    if (!vector::hasAvx2()) GTEST_SKIP() << "no AVX2 here";
    expectFadeSameAsBytewise(&vector::fadeAvx2);
}

TEST(VectorFade, TheChosenRoutineGivesTheBytesOfTheBytewiseFade) {
    expectFadeSameAsBytewise(&fadeVector);
}

TEST(VectorSmooth, GivesTheBytesOfTheReferencePass) {
    for (int width : kWidths) {
        for (int height : {1, 2, 3, 9}) {
            PixelStore source(width + 3, height, 3), expected(width + 1, height, 3),
                actual(width + 2, height, 3);
            std::mt19937 random(static_cast<unsigned>(width * 10 + height));
            fillRandom(source, random);
            fillRandom(expected, random);
            std::memcpy(actual.buffer().bits, expected.buffer().bits,
                        std::min(expected.byteSize(), actual.byteSize()));
            auto view = [&](const PixelStore& s) {
                return viewOf(s.buffer(), 0, 0, width, height);
            };
            smoothPassScalar(view(expected), view(source));
            smoothPass(view(actual), view(source));
            ASSERT_EQ(visibleBytes(view(expected)), visibleBytes(view(actual)))
                << "width " << width << ", height " << height;
        }
    }
}

}  // namespace
}  // namespace lumo

#endif
