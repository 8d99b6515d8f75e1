// The one meeting point of the film engine's surfaces and the platform's
// pixel descriptions: a LumoSurface seen as a PixelTarget (so the picture
// decoder draws straight into a film's image or alpha map), and the view's
// ScreenSurface seen as the host surface the engine presents into.
#pragma once

#include "lumo.h"
#include "platform/picture.h"
#include "platform/screen_surface.h"

namespace zelk {

// The engine's surface as a drawing target; an empty target for null.
PixelTarget ToPixelTarget(const LumoSurface* surface);

// A LumoSurface whose lock, unlock and presented callbacks reach the
// ScreenSurface it describes. It must outlive its use as FP_SCREEN_DC.
class ScreenHostSurface {
public:
    explicit ScreenHostSurface(ScreenSurface& screen);
    ScreenHostSurface(const ScreenHostSurface&) = delete;
    ScreenHostSurface& operator=(const ScreenHostSurface&) = delete;

    LumoSurface* Surface() { return &mSurface; }
    ScreenSurface& Screen() { return mScreen; }

private:
    ScreenSurface& mScreen;
    LumoSurface mSurface{};
};

}  // namespace zelk
