// ScreenSurface: the screen device context. The graphics driver hands it to
// the film engine, whose present step copies each finished frame's changed
// rectangle into it from the engine thread; the game view, on the
// user-interface thread, takes the rectangles that changed since it last
// looked and shows them. The pixels are read and written only under Lock.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/picture.h"

namespace zelk {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const ScreenRect&) const = default;
};

class ScreenSurface {
public:
    ScreenSurface(int width, int height);
    ScreenSurface(const ScreenSurface&) = delete;
    ScreenSurface& operator=(const ScreenSurface&) = delete;

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Stride() const { return ColorStride(mWidth); }
    // Blue, green, red rows, top-down. Touch only between Lock and Unlock.
    std::uint8_t* Pixels() { return mPixels.data(); }
    const std::uint8_t* Pixels() const { return mPixels.data(); }
    PixelTarget Target() { return {mPixels.data(), mWidth, mHeight, Stride(), 3}; }

    // For writers: a surface once unlocked has a picture of its own.
    void Lock() { mMutex.lock(); }
    void Unlock() {
        mWritten = true;
        mMutex.unlock();
    }
    std::mutex& Mutex() { return mMutex; }

    // Any thread, after the pixels of the rectangle were written: remembers
    // it, counts a presented frame and runs the listener (which must return
    // at once; the view's wakes the event pump).
    void Presented(const ScreenRect& rect);
    // The union of the rectangles presented since the last call, clipped to
    // the surface; nothing when none was.
    std::optional<ScreenRect> TakeChanged();
    // The same as a few rectangles (at most kMostRects; those that overlap
    // or touch joined): a line typed at the top and a cursor blinking at
    // the bottom are two small rectangles, not one that spans the screen.
    static constexpr std::size_t kMostRects = 8;
    std::vector<ScreenRect> TakeChangedRects();
    // Fills the pixels with one colour while no frame has been presented
    // into them (the picture's background); once one has, nothing changes.
    void FillBlank(std::uint8_t blue, std::uint8_t green, std::uint8_t red);
    // Marks the whole surface changed (a new window or texture must be
    // filled from it).
    void InvalidateAll() { Presented({0, 0, mWidth, mHeight}); }

    // Frames presented so far.
    std::uint64_t PresentCount() const { return mPresentCount.load(); }
    // Returns once a frame has been presented, or false after `most`.
    bool WaitForFirstPresent(std::chrono::milliseconds most);
    void OnPresented(std::function<void()> listener);

private:
    // Under mChangedMutex.
    void AddChanged(const ScreenRect& rect);

    const int mWidth;
    const int mHeight;
    std::vector<std::uint8_t> mPixels;
    std::mutex mMutex;      // the pixels
    bool mWritten = false;  // under mMutex
    std::mutex mChangedMutex;
    std::condition_variable mPresentedCv;  // under mChangedMutex
    std::vector<ScreenRect> mChanged;      // under mChangedMutex
    std::function<void()> mListener;       // set before the engine presents
    std::atomic<std::uint64_t> mPresentCount{0};
};

}  // namespace zelk
