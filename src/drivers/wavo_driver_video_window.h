// The engine's view of the sound driver's video window; with the driver's
// movies and its destructor, which releases it.
#pragma once

#include <cstdint>
#include <functional>

#include "drivers/wavo_driver.h"
#include "platform/screen_surface.h"
#include "wavo.h"

namespace zelk {

// The engine's view of the screen surface: lock, unlock and present call the
// surface, the completion click calls the view's poster.
struct clsWavoDriver::VideoWindow {
    WavoVideoWindow window{};
    ScreenSurface* surface = nullptr;
    std::function<void()> postClick;

    static std::uint8_t* Lock(void* context) {
        auto* self = static_cast<VideoWindow*>(context);
        self->surface->Lock();
        return self->surface->Pixels();
    }
    static void Unlock(void* context) { static_cast<VideoWindow*>(context)->surface->Unlock(); }
    static void Presented(void* context, std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
        static_cast<VideoWindow*>(context)->surface->Presented({left, top, right, bottom});
    }
    static void PostClick(void* context) {
        auto* self = static_cast<VideoWindow*>(context);
        if (self->postClick) self->postClick();
    }
};

}  // namespace zelk
