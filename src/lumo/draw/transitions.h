// Pixel kernels of the screen transitions (the redraw sets). Each works on views
// of equal size, row by row, so padded rows are handled; bytes of the row
// padding are never read or written. A weight p runs from 0 (new picture) to
// 256 (old picture) and is clamped to that range.
#pragma once

#include <cstdint>

#include "pixel_buffer.h"

namespace lumo {

// RF_FADE, byte by byte: out = new + p × (old - new) / 256, the division
// truncating toward zero.
void fadeBytes(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
               int p);

// RF_FADE_FAST, two channels in each 32-bit word: out = (new × (256 - p) + old × p) / 256.
void fadeWords(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
               int p);

// RF_FADE_MMX: the bytes of fadeBytes, computed with vector instructions.
void fadeVector(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
                int p);

// RF_LEVEL on every byte g of `source` into `out`: p >= 128 gives
// (g × (512 - 2p) + 510 × p - 65280) / 256, p < 128 gives g × 2p / 256
// (0 black, 128 unchanged, 256 white).
void levelBytes(const PixelBuffer& out, const PixelBuffer& source, int p);

// One smoothing pass from `source` into `out` (same size, colour): every channel
// of an inner pixel becomes ((up + down + left + right) × 115 + centre × 51) / 512;
// the border pixels are copied unchanged. `out` and `source` must not overlap.
void smoothPass(const PixelBuffer& out, const PixelBuffer& source);

// The reference pixel-by-pixel implementation of smoothPass.
void smoothPassScalar(const PixelBuffer& out, const PixelBuffer& source);

// Rule map of a wipe (1-byte `ruleMap`): 0 where the old pixel equals the new
// one, else the mask value with bit 0 set (1..255). An empty mask counts as 0.
void buildRuleMap(const PixelBuffer& ruleMap, const PixelBuffer& oldImage,
                  const PixelBuffer& newImage, const PixelBuffer& mask);

// One rule wipe step into `out` at threshold t = softness - p + 256: a pixel with
// rule value v (v = 0 is never touched) keeps its old look while v > t (runs are
// skipped, `out` is expected to hold the old picture there), shows the new pixel
// once t - v > softness, and in between is old + w × (new - old) / 256 with
// w = (t - v) × 256 / softness. With softness 0 a reached pixel shows the new one.
void ruleStep(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
              const PixelBuffer& ruleMap, int softness, int p);

}  // namespace lumo
