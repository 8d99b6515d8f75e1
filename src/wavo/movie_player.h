#pragma once
// Movie playback into the host's video window, and the display-size change
// for full-screen play. This build has no movie decoder and leaves the
// display to the host: a movie fails to render and a mode change fails, each
// with its result code, so the host skips the movie or stays windowed.

#include <cstdint>
#include <mutex>

namespace wavo {

struct ServiceErrors;

class MoviePlayer {
public:
    int32_t Play(const char* path, uintptr_t videoWindow, ServiceErrors& errors);
    int32_t Stop();
    int32_t ChangeWindow(uintptr_t videoWindow, ServiceErrors& errors);
    // -1 while a movie plays, else 0; the worker polls it every round.
    int32_t IsPlaying();

    int32_t ChangeDisplaySize(int32_t width, int32_t height, int32_t bits, ServiceErrors& errors);
    int32_t ResumeDisplaySize();

private:
    std::recursive_mutex mLock;  // the movie lock
    bool mHasGraph = false;
    int32_t mPlaying = 0;
};

}  // namespace wavo
