#include "pixel_buffer.h"

#include <algorithm>
#include <cstring>

namespace lumo {

PixelBuffer viewOf(const PixelBuffer& buffer, int x, int y, int width, int height) {
    PixelBuffer view;
    view.bytesPerPixel = buffer.bytesPerPixel;
    view.stride = buffer.stride;
    if (x < 0) width += x, x = 0;
    if (y < 0) height += y, y = 0;
    if (buffer.bits == nullptr || width <= 0 || height <= 0 || x >= buffer.clipWidth ||
        y >= buffer.clipHeight) {
        return view;
    }
    view.width = width;
    view.height = height;
    view.clipWidth = std::min(width, buffer.clipWidth - x);
    view.clipHeight = std::min(height, buffer.clipHeight - y);
    view.bits = buffer.at(x, y);
    return view;
}

PixelStore::PixelStore(int width, int height, int bytesPerPixel) {
    resize(width, height, bytesPerPixel);
}

void PixelStore::resize(int width, int height, int bytesPerPixel) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == mBuffer.width && height == mBuffer.height &&
        bytesPerPixel == mBuffer.bytesPerPixel) {
        clear();
        return;
    }
    const int stride = rowStride(width, bytesPerPixel);
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    mBits = size > 0 ? std::make_unique<std::uint8_t[]>(size) : nullptr;
    mBuffer = PixelBuffer{width, height, width, height, stride, bytesPerPixel, mBits.get()};
}

void PixelStore::clear() {
    if (mBits) std::memset(mBits.get(), 0, byteSize());
}

}  // namespace lumo
