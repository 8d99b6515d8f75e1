// Small helpers for building and reading pixels in the drawing tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "pixel_buffer.h"

namespace lumo::testing {

inline void setPixel(const PixelBuffer& buffer, int x, int y, std::uint32_t bgr) {
    std::uint8_t* p = buffer.at(x, y);
    p[0] = static_cast<std::uint8_t>(bgr >> 16);
    p[1] = static_cast<std::uint8_t>(bgr >> 8);
    p[2] = static_cast<std::uint8_t>(bgr);
}

// The pixel as 0xBBGGRR, blue in the high byte as it lies first in memory.
inline std::uint32_t pixelAt(const PixelBuffer& buffer, int x, int y) {
    const std::uint8_t* p = buffer.at(x, y);
    return static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
}

inline void fillRandom(const PixelStore& store, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    const PixelBuffer& b = store.buffer();
    for (std::size_t i = 0; i < store.byteSize(); ++i)
        b.bits[i] = static_cast<std::uint8_t>(byte(random));
}

// Alpha values as a picture has them: mostly fully transparent or opaque runs
// with soft edges between.
inline void fillAlphaRuns(const PixelStore& store, std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    const PixelBuffer& b = store.buffer();
    std::size_t i = 0;
    while (i < store.byteSize()) {
        const int k = kind(random);
        const int n = length(random);
        for (int j = 0; j < n && i < store.byteSize(); ++j, ++i) {
            b.bits[i] = static_cast<std::uint8_t>(k <= 1 ? 0 : k <= 3 ? 255 : byte(random));
        }
    }
}

// Every byte of the visible part of each row, row by row (padding left out).
inline std::vector<std::uint8_t> visibleBytes(const PixelBuffer& buffer) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < buffer.clipHeight; ++y) {
        const std::uint8_t* row = buffer.row(y);
        bytes.insert(bytes.end(), row, row + buffer.clipWidth * buffer.bytesPerPixel);
    }
    return bytes;
}

}  // namespace lumo::testing
