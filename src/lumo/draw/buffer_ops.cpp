#include "buffer_ops.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace lumo {
void copyBlock(const PixelBuffer& destination, int dx, int dy, const PixelBuffer& source, int sx,
               int sy, int width, int height) {
    if (destination.bits == nullptr || source.bits == nullptr) return;
    Block b{dx, dy, sx, sy, width, height};
    if (!clipBlock(b, destination.clipWidth, destination.clipHeight, source.clipWidth,
                   source.clipHeight)) {
        return;
    }
    dx = b.dx, dy = b.dy, sx = b.sx, sy = b.sy, width = b.width, height = b.height;

    const int destinationSize = destination.bytesPerPixel;
    const int sourceSize = source.bytesPerPixel;
    if (destinationSize == sourceSize) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * destinationSize;
        // A block moved down inside one buffer is copied bottom row first.
        const bool upward =
            std::greater<const std::uint8_t*>{}(destination.at(dx, dy), source.at(sx, sy));
        for (int i = 0; i < height; ++i) {
            const int y = upward ? height - 1 - i : i;
            std::memmove(destination.at(dx, dy + y), source.at(sx, sy + y), rowBytes);
        }
        return;
    }
    const int channels = std::min(destinationSize, sourceSize);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* to = destination.at(dx, dy + y);
        const std::uint8_t* from = source.at(sx, sy + y);
        for (int x = 0; x < width; ++x, to += destinationSize, from += sourceSize) {
            for (int c = 0; c < channels; ++c)
                to[c] = from[c];
        }
    }
}

void fillBlock(const PixelBuffer& destination, int x, int y, int width, int height,
               std::uint32_t colour) {
    const PixelBuffer view = viewOf(destination, x, y, width, height);
    if (view.empty()) return;
    if (view.bytesPerPixel == 1) {
        for (int row = 0; row < view.clipHeight; ++row) {
            std::memset(view.row(row), static_cast<int>(colour & 0xFF), view.clipWidth);
        }
        return;
    }
    // 0x00BBGGRR is stored blue first.
    const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(colour >> 16),
                                   static_cast<std::uint8_t>(colour >> 8),
                                   static_cast<std::uint8_t>(colour)};
    for (int row = 0; row < view.clipHeight; ++row) {
        std::uint8_t* to = view.row(row);
        for (int column = 0; column < view.clipWidth; ++column, to += 3) {
            std::memcpy(to, pixel, 3);
        }
    }
}

void bitBltMask(const PixelBuffer& destination, int dx, int dy, int width, int height,
                const PixelBuffer& source, int sx, int sy) {
    if (destination.bits == nullptr || source.bits == nullptr) return;
    // The intermediate picture is the width by height block at (0, 0) of the
    // source, black where the source ends. Rather than allocating it, copy the
    // part that reaches the destination straight from the source and blacken
    // what lies beyond the source's edge.
    Block b{dx, dy, sx, sy, width, height};
    if (!clipBlock(b, destination.clipWidth, destination.clipHeight, width, height)) return;
    const int insideWidth = std::clamp(source.clipWidth - b.sx, 0, b.width);
    const int insideHeight = std::clamp(source.clipHeight - b.sy, 0, b.height);
    fillBlock(destination, b.dx + insideWidth, b.dy, b.width - insideWidth, b.height, 0);
    fillBlock(destination, b.dx, b.dy + insideHeight, insideWidth, b.height - insideHeight, 0);
    copyBlock(destination, b.dx, b.dy, source, b.sx, b.sy, insideWidth, insideHeight);
}

}  // namespace lumo
