// Block copy and fill between pixel buffers, and the copy behind BitBltMask.
#pragma once

#include <cstdint>

#include "pixel_buffer.h"

namespace lumo {

// Copies a width by height block from (sx, sy) of `source` to (dx, dy) of
// `destination`. Negative coordinates on either side shift the block and shrink
// it; the block is clipped to both clip sizes; nothing happens below 1 by 1.
// Equal pixel sizes copy row by row; otherwise each destination pixel takes the
// first min(destination, source) bytes of its source pixel, so a colour picture
// copied into an alpha map leaves its blue channel there.
void copyBlock(const PixelBuffer& destination, int dx, int dy, const PixelBuffer& source, int sx,
               int sy, int width, int height);

// Fills the rectangle (x, y, width, height), clipped to the buffer with negative
// corners clamped to 0, with `colour` (0x00BBGGRR) as blue, green, red in colour
// buffers or with its low byte in 1-byte buffers.
void fillBlock(const PixelBuffer& destination, int x, int y, int width, int height,
               std::uint32_t colour);

// BitBltMask: takes the width by height block at (0, 0) of the host's surface
// `source` as a 24-bit picture, then copies from (sx, sy) of that picture into
// `destination` at (dx, dy), clipped to both (the channel rule of copyBlock).
void bitBltMask(const PixelBuffer& destination, int dx, int dy, int width, int height,
                const PixelBuffer& source, int sx, int sy);

}  // namespace lumo
