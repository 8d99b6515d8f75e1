#pragma once
// Movie playback into the host's video window. A movie is demuxed and decoded by FFmpeg on a thread
// of its own; its sound goes into a streaming buffer of the engine's mixer,
// whose play position is the clock the pictures are shown by. The host sees
// the movie only through its WavoVideoWindow: pictures presented into its
// surface and one completion click posted when the movie has ended.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "ffmpeg_library.h"
#include "wavo.h"

namespace wavo {

struct ServiceErrors;
class Mixer;
class MovieDecoder;

// Counters of the last movie, for the tests and the benchmarks.
struct MovieStats {
    uint64_t framesShown = 0;
    uint64_t framesDropped = 0;
    bool hasSound = false;
};

class MoviePlayer {
public:
    // The mixer may be null (no sound output): movies then play silently on
    // the wall clock. FFmpeg is asked for when the first movie plays.
    explicit MoviePlayer(Mixer* mixer = nullptr, FfmpegSource ffmpeg = &Ffmpeg::Shared);
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    int32_t Play(const char* path, uintptr_t videoWindow, int32_t volume, ServiceErrors& errors);
    int32_t Stop();
    int32_t ChangeWindow(uintptr_t videoWindow, ServiceErrors& errors);
    // -1 while a movie plays, else 0; the worker polls it every round and
    // the first poll after the end posts the completion click.
    int32_t IsPlaying();
    MovieStats Stats();

    // Runs on the movie's thread when a movie has ended, so that the worker
    // wakes up to poll it.
    void SetEndHandler(std::function<void()> handler) { mEndHandler = std::move(handler); }

private:
    Mixer* const mMixer;
    const FfmpegSource mFfmpeg;
    std::recursive_mutex mLock;  // the movie lock
    bool mHasGraph = false;
    int32_t mPlaying = 0;
    WavoVideoWindow mWindow{};
    std::unique_ptr<MovieDecoder> mDecoder;
    MovieStats mStats;  // of the movie stopped last
    std::function<void()> mEndHandler;
};

}  // namespace wavo
