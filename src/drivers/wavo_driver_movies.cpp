// clsWavoDriver: movies, played by the engine into the view's screen surface,
// and the display mode of the view's full screen.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/codepage.h"
#include "common/process.h"
#include "drivers/wavo_driver.h"
#include "drivers/wavo_driver_video_window.h"
#include "platform/translate.h"
#include "wavo.h"

namespace zelk {

bool clsWavoDriver::SetVideoWindow(ScreenSurface* surface, std::function<void()> postClick) {
    std::unique_ptr<VideoWindow> next;
    if (surface != nullptr) {
        next = std::make_unique<VideoWindow>();
        next->surface = surface;
        next->postClick = std::move(postClick);
        next->window = {next.get(),
                        surface->Width(),
                        surface->Height(),
                        surface->Stride(),
                        &VideoWindow::Lock,
                        &VideoWindow::Unlock,
                        &VideoWindow::Presented,
                        &VideoWindow::PostClick};
    }
    const auto handle = reinterpret_cast<std::uintptr_t>(next ? &next->window : nullptr);
    std::int32_t result = SetWavoProp(WP_VIDEO_WINDOW, &handle);
    if (result == WAVO_OK) result = dshowChangeWindow();
    // A movie that could not move would go on drawing into the old window,
    // which goes now: it ends instead.
    if (result != WAVO_OK && mVideoWindow && dshowIsPlaying() != 0) dshowStop();
    mVideoWindow = std::move(next);
    return result == WAVO_OK;
}

bool clsWavoDriver::PlayMovie(const std::string& sPath) {
    // The engine takes paths in CP932: a UTF-8 game's movie named with a
    // character CP932 lacks would be sought under a name with "?" in it.
    const std::optional<std::string> enginePath = Utf8ToCp932(sPath);
    if (!enginePath) {
        if (mReported.insert(sPath).second) {
            std::fprintf(stderr, "zelk: %s\n",
                         TrFormat("movie %s: its name holds a character the sound engine cannot be "
                                  "given (not in CP932); rename the file",
                                  {sPath})
                             .c_str());
        }
        return false;
    }
    // The movie's sound plays at the engine's default volume: make that the
    // music's, so the reader's volume and mute hold for movies too.
    std::int32_t saved = 255;
    GetWavoProp(WP_DEFAULT_VOLUME, &saved);
    const std::int32_t volume = PlayingVolume(EffectiveBGMVolume(mBGMVolume, mBGMVolumeRate));
    SetWavoProp(WP_DEFAULT_VOLUME, &volume);
    const std::int32_t result = dshowPlay(enginePath->c_str());
    std::int32_t step = 0;
    if (result != WAVO_OK) GetWavoProp(WP_EXT_ERROR1, &step);
    SetWavoProp(WP_DEFAULT_VOLUME, &saved);
    // In debug mode the scenario's error says it; the reader hears it once.
    if (result != WAVO_OK && !Process().IsDebugMode && mEngineRunning &&
        mReported.insert(sPath).second) {
        // Step 3: the engine found no FFmpeg and has said so.
        const std::string line =
            step == 3 ? TrFormat(
                            "movie %s is skipped: movies need FFmpeg's libraries; the game goes on "
                            "without it",
                            {sPath})
                      : TrFormat(
                            "movie %s is no movie the player plays (MPEG, MP4, WebM, AVI, WMV or "
                            "Ogg, read from that file alone); the game goes on without it",
                            {sPath});
        std::fprintf(stderr, "zelk: %s\n", line.c_str());
    }
    return result == WAVO_OK;
}

bool clsWavoDriver::StopMovie() {
    if (!mParts.getDeactivateSense || !mParts.setDeactivateSense) {
        dshowStop();
        return true;
    }
    const bool saved = mParts.getDeactivateSense();
    mParts.setDeactivateSense(false);
    dshowStop();
    mParts.setDeactivateSense(saved);
    return true;
}

bool clsWavoDriver::IsPlayingMovie() const {
    return dshowIsPlaying() != 0;
}

bool clsWavoDriver::ChangeDisplaySize(std::uint32_t windowId, long width, long height, long bits) {
    // Without an engine the library would answer every call with success.
    if (!mEngineStarted) return false;
    if (SetWavoProp(WP_DISPLAY_WINDOW, &windowId) != WAVO_OK) return false;
    const std::int32_t result =
        ::ChangeDisplaySize(0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height),
                            static_cast<std::int32_t>(bits));
    if (result != WAVO_OK) {
        std::int32_t step = 0;
        GetWavoProp(WP_EXT_ERROR1, &step);
        Log("ChangeDisplaySize " + std::to_string(width) + "x" + std::to_string(height) +
            " failed: " + std::to_string(result) + " (" + std::to_string(step) + ")");
    }
    return result == WAVO_OK;
}

void clsWavoDriver::ResumeDisplaySize() {
    if (mEngineStarted) ::ResumeDisplaySize();
}

}  // namespace zelk
