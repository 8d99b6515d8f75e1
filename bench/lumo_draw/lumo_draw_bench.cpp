// One run compares, on a 640 by 480 screen: the per-pixel blend of a child with
// an alpha map and opacity onto a 24-bit picture against pixman's OVER composite
// (32-bit source, 8-bit mask) onto 32-bit and 24-bit destinations and against a
// memcpy of the frame; the cross-fade step against memcpy; a page of glyphs.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "buffer_ops.h"
#include "composition.h"
#include "glyph_renderer.h"
#include "transitions.h"

#ifdef LUMO_BENCH_PIXMAN
#include <pixman.h>
#endif

namespace {

using namespace lumo;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kPlainParent = 0x10070002;

// Alpha as characters and windows have it: wide transparent and opaque runs
// with soft edges, or every value at random (no run to shortcut).
enum class AlphaKind { Runs, Random };

void fillBytes(const PixelStore& store, unsigned seed) {
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < store.byteSize(); ++i) {
        store.buffer().bits[i] = static_cast<std::uint8_t>(random());
    }
}

std::vector<std::uint8_t> alphaValues(AlphaKind kind) {
    std::vector<std::uint8_t> alpha(kWidth * kHeight);
    std::mt19937 random(7);
    if (kind == AlphaKind::Random) {
        for (auto& a : alpha)
            a = static_cast<std::uint8_t>(random());
        return alpha;
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // A figure in the middle third with a soft 8-pixel edge.
            const int inside = std::min(x - 200, 440 - x);
            alpha[y * kWidth + x] = static_cast<std::uint8_t>(inside < 0    ? 0
                                                              : inside >= 8 ? 255
                                                                            : 32 * inside);
        }
    }
    return alpha;
}

struct Scene {
    explicit Scene(AlphaKind kind)
        : screen(kWidth, kHeight, 3), child(kWidth, kHeight, 3), alpha(kWidth, kHeight, 1) {
        fillBytes(screen, 1);
        fillBytes(child, 2);
        const auto values = alphaValues(kind);
        std::memcpy(alpha.buffer().bits, values.data(), values.size());
    }
    PixelStore screen, child, alpha;
};

void BM_Memcpy_Frame(benchmark::State& state) {
    std::vector<std::uint8_t> from(kWidth * kHeight * 3, 1), to(kWidth * kHeight * 3);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(from.size()));
}
BENCHMARK(BM_Memcpy_Frame);

template <void (*Blend)(const Piece&, int, const Tone&, std::uint32_t)>
void BM_Blend(benchmark::State& state) {
    Scene scene(static_cast<AlphaKind>(state.range(0)));
    const Piece piece = makePiece(scene.screen.buffer(), {}, 0, 0, scene.child.buffer(),
                                  scene.alpha.buffer(), 0, 0, kWidth, kHeight);
    for (auto _ : state) {
        Blend(piece, 200, Tone{}, kPlainParent);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Blend<blendPiece>)->Name("BM_Blend_Ours_24bit/alpha_runs")->Arg(0);
BENCHMARK(BM_Blend<blendPiece>)->Name("BM_Blend_Ours_24bit/alpha_random")->Arg(1);
BENCHMARK(BM_Blend<blendScalar>)->Name("BM_Blend_Reference_24bit/alpha_runs")->Arg(0);
BENCHMARK(BM_Blend<blendScalar>)->Name("BM_Blend_Reference_24bit/alpha_random")->Arg(1);

void BM_Blend_KeepsAlpha(benchmark::State& state) {
    Scene scene(AlphaKind::Runs);
    PixelStore layerAlpha(kWidth, kHeight, 1);
    fillBytes(layerAlpha, 3);
    const Piece piece =
        makePiece(scene.screen.buffer(), layerAlpha.buffer(), 0, 0, scene.child.buffer(),
                  scene.alpha.buffer(), 0, 0, kWidth, kHeight);
    for (auto _ : state) {
        blendPiece(piece, 200, Tone{}, 0x100700C2);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Blend_KeepsAlpha);

#ifdef LUMO_BENCH_PIXMAN
void BM_Pixman_Over(benchmark::State& state) {
    const bool to24 = state.range(0) == 24;
    const auto values = alphaValues(static_cast<AlphaKind>(state.range(1)));
    std::vector<std::uint32_t> source(kWidth * kHeight), destination32(kWidth * kHeight);
    std::vector<std::uint8_t> mask(values), destination24(((kWidth * 3 + 3) & ~3) * kHeight);
    std::mt19937 random(2);
    for (auto& p : source)
        p = random();
    for (auto& p : destination32)
        p = random();
    for (auto& p : destination24)
        p = static_cast<std::uint8_t>(random());
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* msk = pixman_image_create_bits(
        PIXMAN_a8, kWidth, kHeight, reinterpret_cast<std::uint32_t*>(mask.data()), kWidth);
    pixman_image_t* dst =
        to24 ? pixman_image_create_bits(PIXMAN_r8g8b8, kWidth, kHeight,
                                        reinterpret_cast<std::uint32_t*>(destination24.data()),
                                        (kWidth * 3 + 3) & ~3)
             : pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, destination32.data(),
                                        kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, msk, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(dst);
    pixman_image_unref(msk);
    pixman_image_unref(src);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Pixman_Over)->Name("BM_Pixman_Over_32bit/alpha_runs")->Args({32, 0});
BENCHMARK(BM_Pixman_Over)->Name("BM_Pixman_Over_32bit/alpha_random")->Args({32, 1});
BENCHMARK(BM_Pixman_Over)->Name("BM_Pixman_Over_24bit/alpha_runs")->Args({24, 0});
BENCHMARK(BM_Pixman_Over)->Name("BM_Pixman_Over_24bit/alpha_random")->Args({24, 1});
#endif

template <void (*Fade)(const PixelBuffer&, const PixelBuffer&, const PixelBuffer&, int)>
void BM_Fade(benchmark::State& state) {
    PixelStore out(kWidth, kHeight, 3), before(kWidth, kHeight, 3), after(kWidth, kHeight, 3);
    fillBytes(before, 4);
    fillBytes(after, 5);
    int p = 0;
    for (auto _ : state) {
        Fade(out.buffer(), before.buffer(), after.buffer(), p);
        p = (p + 37) & 255;
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(out.byteSize()));
}
BENCHMARK(BM_Fade<fadeVector>)->Name("BM_CrossFadeStep_Vector");
BENCHMARK(BM_Fade<fadeWords>)->Name("BM_CrossFadeStep_Words");
BENCHMARK(BM_Fade<fadeBytes>)->Name("BM_CrossFadeStep_Bytes");

// The other transitions, each one step on the whole screen.
void BM_LevelStep(benchmark::State& state) {
    PixelStore out(kWidth, kHeight, 3), source(kWidth, kHeight, 3);
    fillBytes(source, 6);
    for (auto _ : state) {
        levelBytes(out.buffer(), source.buffer(), 200);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LevelStep);

void BM_SmoothPass(benchmark::State& state) {
    PixelStore out(kWidth, kHeight, 3), source(kWidth, kHeight, 3);
    fillBytes(source, 7);
    for (auto _ : state) {
        smoothPass(out.buffer(), source.buffer());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SmoothPass);

// Mid-wipe with a rule picture that is a diagonal gradient (as wipes are drawn)
// or noise (every pixel a coin toss between staying, blending and showing).
void BM_RuleWipeStep(benchmark::State& state) {
    PixelStore out(kWidth, kHeight, 3), before(kWidth, kHeight, 3), after(kWidth, kHeight, 3);
    PixelStore mask(kWidth, kHeight, 1), rule(kWidth, kHeight, 1);
    fillBytes(before, 8);
    fillBytes(after, 9);
    if (state.range(0) == 0) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                mask.buffer().at(x, y)[0] = static_cast<std::uint8_t>((x + y) * 255 / 1118);
            }
        }
    } else {
        fillBytes(mask, 10);
    }
    buildRuleMap(rule.buffer(), before.buffer(), after.buffer(), mask.buffer());
    for (auto _ : state) {
        ruleStep(out.buffer(), before.buffer(), after.buffer(), rule.buffer(), 48, 200);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RuleWipeStep)->Name("BM_RuleWipeStep/gradient")->Arg(0);
BENCHMARK(BM_RuleWipeStep)->Name("BM_RuleWipeStep/noise")->Arg(1);

// A 400-character page: for each character the glyph look-up, its coverage
// copied into the alpha map and the colour filled behind it.
void BM_PrintPage(benchmark::State& state) {
    FontLibrary library;
    const std::string face = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
    PixelStore image(kWidth, kHeight, 3), alpha(kWidth, kHeight, 1);
    for (auto _ : state) {
        const auto font = library.open(face, 24);
        for (int i = 0; i < 400; ++i) {
            const int x = (i % 25) * 24, y = (i / 25) * 24;
            const PixelBuffer glyph = font->glyph(0x82, static_cast<std::uint8_t>(0x9F + i % 83));
            copyBlock(alpha.buffer(), x, y, glyph, 0, 0, 24, 24);
            fillBlock(image.buffer(), x, y, 24, 24, 0xFFFFFF);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PrintPage);

// The first print of a character: rendered at twice the size and reduced. Each
// iteration takes the next kanji, so none comes from the cache.
void BM_RenderNewGlyph(benchmark::State& state) {
    FontLibrary library;
    const std::string face = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
    const auto font = library.open(face, 24);
    int lead = 0x88, trail = 0x9F;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            font->glyph(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail)));
        if (++trail == 0x7F) ++trail;
        if (trail > 0xFC) trail = 0x40, ++lead;
    }
}
BENCHMARK(BM_RenderNewGlyph)->Iterations(3000);

}  // namespace

BENCHMARK_MAIN();
