// Pixel buffers of the film engine: colour images (3 bytes a pixel, blue, green,
// red), alpha maps and masks (1 byte a pixel), and views into them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace lumo {

// Rows of a colour image are padded to a multiple of 4 bytes; alpha maps and
// masks are not padded.
constexpr int rowStride(int width, int bytesPerPixel) {
    return bytesPerPixel == 3 ? (width * 3 + 3) & ~3 : width * bytesPerPixel;
}

// A non-owning description of pixels: a whole buffer or a view of a rectangle
// inside one. Rows run top-down, `stride` bytes apart. In a view, width and
// height are the rectangle asked for and clipWidth / clipHeight the part of it
// that lies inside the underlying buffer; nothing outside the clip is touched.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    int clipWidth = 0;
    int clipHeight = 0;
    int stride = 0;
    int bytesPerPixel = 3;
    std::uint8_t* bits = nullptr;

    bool empty() const { return bits == nullptr || clipWidth <= 0 || clipHeight <= 0; }
    std::uint8_t* row(int y) const { return bits + static_cast<std::ptrdiff_t>(y) * stride; }
    std::uint8_t* at(int x, int y) const { return row(y) + x * bytesPerPixel; }
};

// A block moved between two buffers: width by height pixels from (sx, sy) of the
// source to (dx, dy) of the destination.
struct Block {
    int dx = 0, dy = 0, sx = 0, sy = 0, width = 0, height = 0;
};

// Shifts a block off negative corners on either side (shrinking it) and cuts it
// to the destination's and the source's extents; false when nothing is left.
// Safe for any int values.
bool clipBlock(Block& block, int destinationWidth, int destinationHeight, int sourceWidth,
               int sourceHeight);

// A view of the rectangle (x, y, width, height) of `buffer`, clipped to the
// buffer's clip size; negative corners are clamped to 0 (the rectangle shrinks).
// The result is empty when nothing of the rectangle lies inside.
PixelBuffer viewOf(const PixelBuffer& buffer, int x, int y, int width, int height);

// An owned, zero-cleared pixel buffer. Moving keeps the bytes where they are, so
// views handed out stay valid until the store is reallocated or destroyed.
class PixelStore {
public:
    // The largest width and height a store takes.
    static constexpr int kLargestSide = 1 << 15;

    PixelStore() = default;
    PixelStore(int width, int height, int bytesPerPixel);

    // Reallocates to the given size cleared to 0; the same size only clears.
    // Negative sizes count as 0. A side above kLargestSide, or memory that
    // can't be had, leaves the store empty (0 by 0) and gives false.
    bool resize(int width, int height, int bytesPerPixel);
    void clear();

    const PixelBuffer& buffer() const { return mBuffer; }
    std::size_t byteSize() const {
        return static_cast<std::size_t>(mBuffer.stride) * static_cast<std::size_t>(mBuffer.height);
    }

private:
    std::unique_ptr<std::uint8_t[]> mBits;
    PixelBuffer mBuffer;
};

}  // namespace lumo
