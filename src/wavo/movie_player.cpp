#include "movie_player.h"

#include "debug_log.h"
#include "platform_services.h"
#include "wavo.h"

namespace wavo {
namespace {

// The platform result reported for a service this build does not have.
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);

}  // namespace

int32_t MoviePlayer::Play(const char* /*path*/, uintptr_t videoWindow, ServiceErrors& errors) {
    if (mHasGraph) Stop();
    std::lock_guard lock(mLock);
    if (videoWindow == 0) return WAVO_E_NO_VIDEO_WINDOW;
    // Rendering the file is the first step that needs a decoder.
    mHasGraph = true;
    errors.extended1 = 1;
    errors.extended2 = kNotImplemented;
    return WAVO_E_MOVIE;
}

int32_t MoviePlayer::Stop() {
    std::lock_guard lock(mLock);
    mHasGraph = false;
    mPlaying = 0;
    return WAVO_OK;
}

int32_t MoviePlayer::ChangeWindow(uintptr_t videoWindow, ServiceErrors& /*errors*/) {
    std::lock_guard lock(mLock);
    if (videoWindow == 0) return WAVO_E_NO_VIDEO_WINDOW;
    if (IsPlaying() == 0) return WAVO_E_NOT_PLAYING;
    return WAVO_E_MOVIE;
}

int32_t MoviePlayer::IsPlaying() {
    std::lock_guard lock(mLock);
    return mHasGraph ? mPlaying : 0;
}

int32_t MoviePlayer::ChangeDisplaySize(int32_t, int32_t, int32_t, ServiceErrors& errors) {
    WAVO_LOG("ChangeDisplaySize\n");
    errors.extended1 = 1;
    errors.extended2 = kNotImplemented;
    return WAVO_E_DISPLAY_MODE;
}

int32_t MoviePlayer::ResumeDisplaySize() {
    WAVO_LOG("ResumeDisplaySize\n");
    return WAVO_OK;
}

}  // namespace wavo
