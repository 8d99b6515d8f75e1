#include "platform/screen_surface.h"

#include <algorithm>

namespace zelk {

ScreenSurface::ScreenSurface(int width, int height)
    : mWidth(std::max(width, 0)),
      mHeight(std::max(height, 0)),
      mPixels(static_cast<std::size_t>(ColorStride(mWidth)) * mHeight) {}

void ScreenSurface::Presented(const ScreenRect& rect) {
    std::function<void()> listener;
    {
        std::lock_guard lock(mChangedMutex);
        const ScreenRect clipped{std::max(rect.left, 0), std::max(rect.top, 0),
                                 std::min(rect.right, mWidth), std::min(rect.bottom, mHeight)};
        if (!clipped.Empty()) {
            if (!mHasChanged) {
                mChanged = clipped;
            } else {
                mChanged = {std::min(mChanged.left, clipped.left),
                            std::min(mChanged.top, clipped.top),
                            std::max(mChanged.right, clipped.right),
                            std::max(mChanged.bottom, clipped.bottom)};
            }
            mHasChanged = true;
        }
        listener = mListener;
        ++mPresentCount;
    }
    if (listener) listener();
}

std::optional<ScreenRect> ScreenSurface::TakeChanged() {
    std::lock_guard lock(mChangedMutex);
    if (!mHasChanged) return std::nullopt;
    mHasChanged = false;
    return mChanged;
}

void ScreenSurface::OnPresented(std::function<void()> listener) {
    std::lock_guard lock(mChangedMutex);
    mListener = std::move(listener);
}

}  // namespace zelk
