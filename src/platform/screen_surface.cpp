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
        if (!clipped.Empty()) AddChanged(clipped);
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
    mChanged.clear();
    AddChanged({0, 0, mWidth, mHeight});
}

namespace {

ScreenRect Union(const ScreenRect& a, const ScreenRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

long long Area(const ScreenRect& r) {
    return static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
}

bool OverlapOrTouch(const ScreenRect& a, const ScreenRect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

}  // namespace

void ScreenSurface::AddChanged(const ScreenRect& rect) {
    ScreenRect joined = rect;
    // Joining two may make the result reach a third: join until none does.
    for (bool again = true; again;) {
        again = false;
        for (size_t i = 0; i < mChanged.size(); ++i) {
            if (OverlapOrTouch(mChanged[i], joined)) {
                joined = Union(joined, mChanged[i]);
                mChanged.erase(mChanged.begin() + static_cast<std::ptrdiff_t>(i));
                again = true;
                break;
            }
        }
    }
    if (mChanged.size() < kMostRects) {
        mChanged.push_back(joined);
        return;
    }
    // Full: joined to the one it grows least.
    size_t best = 0;
    long long growth = -1;
    for (size_t i = 0; i < mChanged.size(); ++i) {
        const long long more = Area(Union(mChanged[i], joined)) - Area(mChanged[i]);
        if (growth < 0 || more < growth) best = i, growth = more;
    }
    const ScreenRect grown = Union(mChanged[best], joined);
    mChanged.erase(mChanged.begin() + static_cast<std::ptrdiff_t>(best));
    AddChanged(grown);
}

std::optional<ScreenRect> ScreenSurface::TakeChanged() {
    const std::vector<ScreenRect> rects = TakeChangedRects();
    if (rects.empty()) return std::nullopt;
    ScreenRect all = rects.front();
    for (const ScreenRect& rect : rects)
        all = Union(all, rect);
    return all;
}

std::vector<ScreenRect> ScreenSurface::TakeChangedRects() {
    std::lock_guard lock(mChangedMutex);
    std::vector<ScreenRect> taken;
    taken.swap(mChanged);
    return taken;
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
