#include "drivers/lumo_surface_adapter.h"

namespace zelk {

PixelTarget ToPixelTarget(const LumoSurface* surface) {
    if (!surface || !surface->pixels) return {};
    return {surface->pixels, surface->width, surface->height, surface->stride,
            surface->bytes_per_pixel};
}

ScreenHostSurface::ScreenHostSurface(ScreenSurface& screen) : mScreen(screen) {
    mSurface.width = screen.Width();
    mSurface.height = screen.Height();
    mSurface.stride = screen.Stride();
    mSurface.bytes_per_pixel = 3;
    mSurface.pixels = screen.Pixels();
    mSurface.context = &mScreen;
    mSurface.lock = [](void* context) { static_cast<ScreenSurface*>(context)->Lock(); };
    mSurface.unlock = [](void* context) { static_cast<ScreenSurface*>(context)->Unlock(); };
    mSurface.presented = [](void* context, int32_t left, int32_t top, int32_t right,
                            int32_t bottom) {
        static_cast<ScreenSurface*>(context)->Presented({left, top, right, bottom});
    };
}

}  // namespace zelk
