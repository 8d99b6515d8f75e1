// Walking views of equal pictures together as runs of bytes: the transitions
// treat every byte of a row alike, so only the row ends (the padding) matter.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>

#include "pixel_buffer.h"

namespace lumo {

// The bytes a row and the rows that views walked together have in common.
struct ByteExtent {
    int rowBytes = 0;
    int rows = 0;
};

inline ByteExtent commonExtent(std::initializer_list<const PixelBuffer*> views) {
    ByteExtent extent{1 << 30, 1 << 30};
    for (const PixelBuffer* view : views) {
        if (view->bits == nullptr) return {};
        extent.rowBytes = std::min(extent.rowBytes, view->clipWidth * view->bytesPerPixel);
        extent.rows = std::min(extent.rows, view->clipHeight);
    }
    return extent;
}

// Calls run(out, first, second, count) on the rows of three views; rows without
// padding lie back to back and go as one run.
template <typename Run>
void forEachRun(const PixelBuffer& out, const PixelBuffer& first, const PixelBuffer& second,
                Run run) {
    const ByteExtent extent = commonExtent({&out, &first, &second});
    if (extent.rows <= 0 || extent.rowBytes <= 0) return;
    if (extent.rowBytes == out.stride && out.stride == first.stride &&
        out.stride == second.stride) {
        run(out.bits, first.bits, second.bits,
            static_cast<std::ptrdiff_t>(extent.rowBytes) * extent.rows);
        return;
    }
    for (int y = 0; y < extent.rows; ++y) {
        run(out.row(y), first.row(y), second.row(y), static_cast<std::ptrdiff_t>(extent.rowBytes));
    }
}

}  // namespace lumo
