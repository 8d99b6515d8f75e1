// clsWavoDriver, second part: volumes, the save slot's status and movies.
#include <cstring>

#include "common/codepage.h"
#include "common/numbers.h"
#include "drivers/wavo_driver.h"
#include "platform/screen_surface.h"
#include "settings/ini_section.h"
#include "wavo.h"

// ============================================================================
// Index
//   [SECTION] Volumes
//   [SECTION] Status
//   [SECTION] Movies
// ============================================================================

namespace zelk {

std::string clsWavoDriver::ErrorDescription(std::int32_t code) {
    char text[256] = {};
    GetErrorDescription(code, text, static_cast<std::int32_t>(sizeof text) - 1);
    return Cp932ToUtf8Lossy(text);
}

// [SECTION] Volumes --------------------------------------------------------------

void clsWavoDriver::BGMVolume(long value) {
    for (const SoundChannel& channel : mBGM) {
        auto volume = static_cast<std::int32_t>(EffectiveBGMVolume(value, mBGMVolumeRate));
        SetChannelVolume(channel.id, volume);
    }
    mBGMVolume = value;
}

void clsWavoDriver::BGMVolumeRate(long value) {
    for (const SoundChannel& channel : mBGM) {
        auto volume = static_cast<std::int32_t>(EffectiveBGMVolume(mBGMVolume, value));
        SetChannelVolume(channel.id, volume);
    }
    mBGMVolumeRate = value;
}

void clsWavoDriver::SEVolume(long value) {
    for (const SoundChannel& channel : mSE) {
        auto volume = static_cast<std::int32_t>(value);
        SetChannelVolume(channel.id, volume);
    }
    auto volume = static_cast<std::int32_t>(value);
    SetChannelVolume(mSELoop.id, volume);
    mSEVolume = value;
}

void clsWavoDriver::CVVolume(long value) {
    auto volume = static_cast<std::int32_t>(value);
    SetChannelVolume(mCV.id, volume);
    mCVVolume = value;
}

// [SECTION] Status ---------------------------------------------------------------

void clsWavoDriver::SaveStatus(INISection& status) const {
    // Only music that loops is restored: a piece played once has ended, or
    // soon will, by the time the slot is loaded.
    status.KeyValue("BgmFile", "");
    if (mCurrentBGM != -1 && mBGM[mCurrentBGM].loop)
        status.KeyValue("BgmFile", mBGM[mCurrentBGM].key);
    status.KeyValue("BGMVolumeRate", std::to_string(mBGMVolumeRate));
    status.KeyValue("SelFile", "");
    if (IsChannelPlaying(mSELoop.id) && mSELoop.loop) status.KeyValue("SelFile", mSELoop.key);
}

void clsWavoDriver::LoadStatus(const INISection& status) {
    PlayBGM(status.KeyValue("BgmFile"), false, true);
    BGMVolumeRate(RoundToLong(ReadNumber(status.KeyValue("BGMVolumeRate"))));
    long count = 0;
    PlaySELoop(status.KeyValue("SelFile"), count, false);
}

// [SECTION] Movies ---------------------------------------------------------------

// The engine's view of the screen surface: lock, unlock and present call the
// surface, the completion click calls the view's poster.
struct clsWavoDriver::VideoWindow {
    WavoVideoWindow window{};
    ScreenSurface* surface = nullptr;
    std::function<void()> postClick;

    static std::uint8_t* Lock(void* context) {
        auto* self = static_cast<VideoWindow*>(context);
        self->surface->Lock();
        return self->surface->Pixels();
    }
    static void Unlock(void* context) { static_cast<VideoWindow*>(context)->surface->Unlock(); }
    static void Presented(void* context, std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom) {
        static_cast<VideoWindow*>(context)->surface->Presented({left, top, right, bottom});
    }
    static void PostClick(void* context) {
        auto* self = static_cast<VideoWindow*>(context);
        if (self->postClick) self->postClick();
    }
};

clsWavoDriver::clsWavoDriver(WavoDriverParts parts) : mParts(std::move(parts)) {}

clsWavoDriver::~clsWavoDriver() {
    Log("  Procedure TerminateWavo Call...");
    // Stops a playing movie too, before its window goes.
    TerminateWavo();
    Log("  Procedure TerminateWavo Returned.");
    Log("  Termination of WavoDriver Succeeded.");
}

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
    // The movie's sound plays at the engine's default volume: make that the
    // music's, so the reader's volume and mute hold for movies too.
    std::int32_t saved = 255;
    GetWavoProp(WP_DEFAULT_VOLUME, &saved);
    const std::int32_t volume = PlayingVolume(EffectiveBGMVolume(mBGMVolume, mBGMVolumeRate));
    SetWavoProp(WP_DEFAULT_VOLUME, &volume);
    const std::int32_t result = dshowPlay(Utf8ToCp932Lossy(sPath).c_str());
    SetWavoProp(WP_DEFAULT_VOLUME, &saved);
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

}  // namespace zelk
