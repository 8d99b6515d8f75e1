#include "transitions.h"

#include <algorithm>
#include <cstring>

#include "byte_runs.h"
#include "pixel_functions.h"
#include "vector_kernels.h"

namespace lumo {

void fadeBytes(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
               int p) {
    p = std::clamp(p, 0, 256);
    forEachRun(out, oldImage, newImage, [p](auto... run) { pixel::fade(run..., p); });
}

void fadeWords(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
               int p) {
    p = std::clamp(p, 0, 256);
    const std::uint32_t keep = static_cast<std::uint32_t>(p);
    const std::uint32_t take = 256 - keep;
    const ByteExtent extent = commonExtent({&out, &oldImage, &newImage});
    const int words = extent.rowBytes / 4;
    for (int y = 0; y < extent.rows; ++y) {
        std::uint8_t* o = out.row(y);
        const std::uint8_t* before = oldImage.row(y);
        const std::uint8_t* after = newImage.row(y);
        for (int w = 0; w < words; ++w, o += 4, before += 4, after += 4) {
            std::uint32_t b, a;
            std::memcpy(&b, before, 4);
            std::memcpy(&a, after, 4);
            // Channels 0 and 2, then 1 and 3, each in a 16-bit half: a weighted
            // sum never exceeds 255 × 256, so the halves stay apart.
            const std::uint32_t even =
                (((a & 0x00FF00FFu) * take + (b & 0x00FF00FFu) * keep) >> 8) & 0x00FF00FFu;
            const std::uint32_t odd =
                ((((a >> 8) & 0x00FF00FFu) * take + ((b >> 8) & 0x00FF00FFu) * keep)) & 0xFF00FF00u;
            const std::uint32_t mixed = even | odd;
            std::memcpy(o, &mixed, 4);
        }
        for (int i = 4 * words; i < extent.rowBytes; ++i) {
            const std::uint8_t* bi = oldImage.row(y) + i;
            const std::uint8_t* ai = newImage.row(y) + i;
            out.row(y)[i] = static_cast<std::uint8_t>((*ai * take + *bi * keep) >> 8);
        }
    }
}

void levelBytes(const PixelBuffer& out, const PixelBuffer& source, int p) {
    p = std::clamp(p, 0, 256);
    // One table for the 256 byte values.
    std::uint8_t table[256];
    for (int g = 0; g < 256; ++g) {
        const int level = p >= 128 ? (g * (512 - 2 * p) + 510 * p - 65280) / 256 : g * 2 * p / 256;
        table[g] = static_cast<std::uint8_t>(level);
    }
    const ByteExtent extent = commonExtent({&out, &source});
    for (int y = 0; y < extent.rows; ++y) {
        std::uint8_t* o = out.row(y);
        const std::uint8_t* g = source.row(y);
        for (int i = 0; i < extent.rowBytes; ++i)
            o[i] = table[g[i]];
    }
}

namespace {

using SmoothRow = void (*)(std::uint8_t*, const std::uint8_t*, const std::uint8_t*,
                           const std::uint8_t*, int, int);

void smoothPassWith(SmoothRow smoothRow, const PixelBuffer& out, const PixelBuffer& source) {
    const ByteExtent extent = commonExtent({&out, &source});
    const int step = source.bytesPerPixel;
    for (int y = 0; y < extent.rows; ++y) {
        std::uint8_t* o = out.row(y);
        const std::uint8_t* centre = source.row(y);
        if (y == 0 || y == extent.rows - 1 || extent.rowBytes < 3 * step) {
            std::memmove(o, centre, extent.rowBytes);
            continue;
        }
        const int last = extent.rowBytes - step;
        std::memcpy(o, centre, step);
        std::memcpy(o + last, centre + last, step);
        smoothRow(o + step, source.row(y - 1) + step, centre + step, source.row(y + 1) + step,
                  last - step, step);
    }
}

}  // namespace

void smoothPass(const PixelBuffer& out, const PixelBuffer& source) {
#if LUMO_X86
    smoothPassWith(source.bytesPerPixel == 3 ? &vector::smoothRowSse : &pixel::smooth, out, source);
#else
    smoothPassWith(&pixel::smooth, out, source);
#endif
}

void smoothPassScalar(const PixelBuffer& out, const PixelBuffer& source) {
    smoothPassWith(&pixel::smooth, out, source);
}

void buildRuleMap(const PixelBuffer& ruleMap, const PixelBuffer& oldImage,
                  const PixelBuffer& newImage, const PixelBuffer& mask) {
    if (ruleMap.bits == nullptr || oldImage.bits == nullptr || newImage.bits == nullptr) return;
    const int width = std::min({ruleMap.clipWidth, oldImage.clipWidth, newImage.clipWidth});
    const int height = std::min({ruleMap.clipHeight, oldImage.clipHeight, newImage.clipHeight});
    for (int y = 0; y < height; ++y) {
        std::uint8_t* rule = ruleMap.row(y);
        const std::uint8_t* before = oldImage.row(y);
        const std::uint8_t* after = newImage.row(y);
        const bool masked = mask.bits != nullptr && y < mask.clipHeight;
        for (int x = 0; x < width; ++x) {
            if (std::memcmp(before + 3 * x, after + 3 * x, 3) == 0) {
                rule[x] = 0;
                continue;
            }
            const int value = masked && x < mask.clipWidth ? mask.row(y)[x] : 0;
            rule[x] = static_cast<std::uint8_t>(value | 1);
        }
    }
}

void ruleStep(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
              const PixelBuffer& ruleMap, int softness, int p) {
    if (out.bits == nullptr || oldImage.bits == nullptr || newImage.bits == nullptr ||
        ruleMap.bits == nullptr) {
        return;
    }
    // Bounds far past any real wipe keep the products below in range.
    softness = std::clamp(softness, 0, 1 << 20);
    p = std::clamp(p, -(1 << 21), 1 << 21);
    const int threshold = softness - p + 256;

    // The threshold is the same for the whole step, so what happens to a pixel
    // depends on its rule value alone: one entry each for the 256 values.
    constexpr int kStays = -1;
    constexpr int kShown = 256;
    int weight[256];
    weight[0] = kStays;
    for (int v = 1; v < 256; ++v) {
        const int reached = threshold - v;
        if (reached < 0) {
            weight[v] = kStays;
        } else if (reached > softness || softness == 0) {
            weight[v] = kShown;
        } else {
            weight[v] = reached * 256 / softness;
        }
    }

    const int width =
        std::min({out.clipWidth, oldImage.clipWidth, newImage.clipWidth, ruleMap.clipWidth});
    const int height =
        std::min({out.clipHeight, oldImage.clipHeight, newImage.clipHeight, ruleMap.clipHeight});
    for (int y = 0; y < height; ++y) {
        std::uint8_t* o = out.row(y);
        const std::uint8_t* before = oldImage.row(y);
        const std::uint8_t* after = newImage.row(y);
        const std::uint8_t* rule = ruleMap.row(y);
        for (int x = 0; x < width; ++x) {
            const int w = weight[rule[x]];
            if (w == kStays) continue;
            if (w == kShown) {
                std::memcpy(o + 3 * x, after + 3 * x, 3);
                continue;
            }
            for (int i = 3 * x; i < 3 * x + 3; ++i) {
                o[i] = static_cast<std::uint8_t>(before[i] + w * (after[i] - before[i]) / 256);
            }
        }
    }
}

}  // namespace lumo
