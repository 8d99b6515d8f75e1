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
    mPresentedCv.notify_all();
    if (listener) listener();
}

void ScreenSurface::FillBlank(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    {
        std::lock_guard lock(mMutex);
        if (mWritten) return;
        for (int y = 0; y < mHeight; ++y) {
            std::uint8_t* row = mPixels.data() + static_cast<std::size_t>(y) * Stride();
            for (int x = 0; x < mWidth; ++x) {
                row[x * 3] = blue;
                row[x * 3 + 1] = green;
                row[x * 3 + 2] = red;
            }
        }
    }
    std::lock_guard lock(mChangedMutex);
    mChanged = {0, 0, mWidth, mHeight};
    mHasChanged = true;
}

std::optional<ScreenRect> ScreenSurface::TakeChanged() {
    std::lock_guard lock(mChangedMutex);
    if (!mHasChanged) return std::nullopt;
    mHasChanged = false;
    return mChanged;
}

bool ScreenSurface::WaitForFirstPresent(std::chrono::milliseconds most) {
    std::unique_lock lock(mChangedMutex);
    return mPresentedCv.wait_for(lock, most, [this] { return mPresentCount.load() != 0; });
}

void ScreenSurface::OnPresented(std::function<void()> listener) {
    std::lock_guard lock(mChangedMutex);
    mListener = std::move(listener);
}

}  // namespace zelk
