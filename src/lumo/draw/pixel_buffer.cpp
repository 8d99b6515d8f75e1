#include "pixel_buffer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace lumo {

namespace {

// One axis of a block in 64 bits, so that no sum of two ints overflows.
bool clipAxis(int& d, int& s, int& length, int destinationLength, int sourceLength) {
    std::int64_t to = d, from = s, n = length;
    if (to < 0) n += to, from -= to, to = 0;
    if (from < 0) n += from, to -= from, from = 0;
    n = std::min({n, destinationLength - to, sourceLength - from});
    if (n < 1) return false;
    d = static_cast<int>(to), s = static_cast<int>(from), length = static_cast<int>(n);
    return true;
}

}  // namespace

bool clipBlock(Block& block, int destinationWidth, int destinationHeight, int sourceWidth,
               int sourceHeight) {
    Block b = block;
    if (!clipAxis(b.dx, b.sx, b.width, destinationWidth, sourceWidth) ||
        !clipAxis(b.dy, b.sy, b.height, destinationHeight, sourceHeight)) {
        return false;
    }
    block = b;
    return true;
}

PixelBuffer viewOf(const PixelBuffer& buffer, int x, int y, int width, int height) {
    PixelBuffer view;
    view.bytesPerPixel = buffer.bytesPerPixel;
    view.stride = buffer.stride;
    if (buffer.bits == nullptr) return view;
    // Clipped as a block whose source is unbounded: what remains is the part of
    // the rectangle inside the buffer.
    constexpr int kUnbounded = std::numeric_limits<int>::max();
    Block inside{x, y, 0, 0, width, height};
    if (!clipBlock(inside, buffer.clipWidth, buffer.clipHeight, kUnbounded, kUnbounded)) {
        return view;
    }
    view.width = static_cast<int>(std::max<std::int64_t>(0, std::int64_t{width} + std::min(x, 0)));
    view.height =
        static_cast<int>(std::max<std::int64_t>(0, std::int64_t{height} + std::min(y, 0)));
    view.clipWidth = inside.width;
    view.clipHeight = inside.height;
    view.bits = buffer.at(inside.dx, inside.dy);
    return view;
}

PixelStore::PixelStore(int width, int height, int bytesPerPixel) {
    resize(width, height, bytesPerPixel);
}

bool PixelStore::resize(int width, int height, int bytesPerPixel) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == mBuffer.width && height == mBuffer.height &&
        bytesPerPixel == mBuffer.bytesPerPixel) {
        clear();
        return true;
    }
    mBits.reset();
    mBuffer = PixelBuffer{0, 0, 0, 0, 0, bytesPerPixel, nullptr};
    if (width > kLargestSide || height > kLargestSide) return false;
    const int stride = rowStride(width, bytesPerPixel);
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (size > 0) {
        try {
            mBits = std::make_unique<std::uint8_t[]>(size);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    mBuffer = PixelBuffer{width, height, width, height, stride, bytesPerPixel, mBits.get()};
    return true;
}

void PixelStore::clear() {
    if (mBits) std::memset(mBits.get(), 0, byteSize());
}

}  // namespace lumo
