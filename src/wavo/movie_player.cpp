#include "movie_player.h"

#include <cstring>

#include "cp932.h"
#include "debug_log.h"
#include "movie_decoder.h"
#include "platform_services.h"

namespace wavo {
namespace {

// The platform result reported for a service this build does not have.
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);

bool ReadWindow(uintptr_t handle, WavoVideoWindow& window) {
    if (handle == 0) return false;
    std::memcpy(&window, reinterpret_cast<const void*>(handle), sizeof window);
    return true;
}

bool HasPixels(const WavoVideoWindow& window) {
    return window.lock != nullptr && window.width > 0 && window.height > 0 &&
           window.stride >= window.width * 3;
}

}  // namespace

MoviePlayer::MoviePlayer(Mixer* mixer, FfmpegSource ffmpeg) : mMixer(mixer), mFfmpeg(ffmpeg) {}

MoviePlayer::~MoviePlayer() {
    Stop();
}

int32_t MoviePlayer::Play(const char* path, uintptr_t videoWindow, int32_t volume,
                          ServiceErrors& errors) {
    if (mHasGraph) Stop();
    std::lock_guard lock(mLock);
    WavoVideoWindow window{};
    if (!ReadWindow(videoWindow, window)) return WAVO_E_NO_VIDEO_WINDOW;
    // Like a graph that failed to render, the failed movie counts as loaded
    // until the next play or stop.
    mHasGraph = true;
    mPlaying = 0;
    const Ffmpeg* ffmpeg = mFfmpeg();
    if (ffmpeg == nullptr) {
        WAVO_LOG("dshowPlay: cannot play '%s': FFmpeg is not installed\n",
                 path != nullptr ? path : "");
        errors.extended1 = 3;
        errors.extended2 = kNotImplemented;
        return WAVO_E_MOVIE;
    }
    int error = 0;
    std::string why;
    mDecoder = MovieDecoder::Open(*ffmpeg, Utf8FromCp932(path != nullptr ? path : ""), error, why);
    if (!mDecoder) {
        WAVO_LOG("dshowPlay: cannot play '%s': %s (%d)\n", path != nullptr ? path : "", why.c_str(),
                 error);
        errors.extended1 = 1;
        errors.extended2 = error;
        return WAVO_E_MOVIE;
    }
    if (!HasPixels(window)) {
        WAVO_LOG("dshowPlay: the video window has no pixels\n");
        mDecoder.reset();
        errors.extended1 = 2;
        errors.extended2 = kNotImplemented;
        return WAVO_E_MOVIE;
    }
    mWindow = window;
    mDecoder->Start(mWindow, mMixer, volume, mEndHandler);
    mPlaying = -1;
    WAVO_LOG("dshowPlay: '%s'\n", path);
    return WAVO_OK;
}

int32_t MoviePlayer::Stop() {
    std::lock_guard lock(mLock);
    if (mDecoder) {
        mDecoder->Stop();
        mStats = {};
        mDecoder->ReadStats(mStats);
    }
    mDecoder.reset();
    mHasGraph = false;
    mPlaying = 0;
    return WAVO_OK;
}

int32_t MoviePlayer::ChangeWindow(uintptr_t videoWindow, ServiceErrors& errors) {
    std::lock_guard lock(mLock);
    WavoVideoWindow window{};
    if (!ReadWindow(videoWindow, window)) return WAVO_E_NO_VIDEO_WINDOW;
    if (IsPlaying() == 0) return WAVO_E_NOT_PLAYING;
    if (!HasPixels(window)) {
        errors.extended1 = 1;
        errors.extended2 = kNotImplemented;
        return WAVO_E_MOVIE;
    }
    mWindow = window;
    mDecoder->SetWindow(mWindow);
    return WAVO_OK;
}

int32_t MoviePlayer::IsPlaying() {
    std::lock_guard lock(mLock);
    if (!mHasGraph) return 0;
    if (mPlaying != 0 && mDecoder && mDecoder->Finished()) {
        mPlaying = 0;
        // Posted, never handled here: the host may be waiting on this lock.
        if (mWindow.post_click) mWindow.post_click(mWindow.context);
    }
    return mPlaying;
}

MovieStats MoviePlayer::Stats() {
    std::lock_guard lock(mLock);
    if (!mDecoder) return mStats;
    MovieStats stats;
    mDecoder->ReadStats(stats);
    return stats;
}

}  // namespace wavo
