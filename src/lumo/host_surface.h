// The host's view of a pixel buffer (LumoSurface) as the drawing code sees it.
#pragma once

#include "lumo.h"
#include "pixel_buffer.h"

namespace lumo {

inline PixelBuffer bufferOf(const LumoSurface& surface) {
    PixelBuffer b;
    b.width = b.clipWidth = surface.width;
    b.height = b.clipHeight = surface.height;
    b.stride = surface.stride;
    b.bytesPerPixel = surface.bytes_per_pixel;
    b.bits = surface.pixels;
    return b;
}

}  // namespace lumo
