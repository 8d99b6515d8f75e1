#include "drivers/wavo_driver.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/numbers.h"
#include "drivers/wavo_driver_video_window.h"
#include "settings/ini_file.h"
#include "wavo.h"

// ============================================================================
// Index
//   [SECTION] Start and termination
//   [SECTION] Engine calls
// ============================================================================

namespace zelk {

// [SECTION] Start and termination --------------------------------------------

clsWavoDriver::clsWavoDriver(WavoDriverParts parts) : mParts(std::move(parts)) {}

clsWavoDriver::~clsWavoDriver() {
    Log("  Procedure TerminateWavo Call...");
    // The display goes back to its mode also after a failed start, whose
    // engine outlives the termination.
    if (mEngineStarted) ResumeDisplaySize();
    // Stops a playing movie too, before its window goes.
    TerminateWavo();
    Log("  Procedure TerminateWavo Returned.");
    Log("  Termination of WavoDriver Succeeded.");
}

void clsWavoDriver::Log(const std::string& line) const {
    if (mParts.log) mParts.log(line);
}

bool clsWavoDriver::Init() {
    Log("  Procedure InitializeWavo Call...");
    const std::int32_t result = InitializeWavo();
    if (result != WAVO_OK) {
        GetWavoProp(WP_LAST_ERROR, &mWavoLastError);
        GetWavoProp(WP_PLATFORM_VERSION, &mWavoDirectXVersion);
        GetWavoProp(WP_EXT_ERROR1, &mWavoExtendedErrorID1);
        GetWavoProp(WP_EXT_ERROR2, &mWavoExtendedErrorID2);
    }
    // Also after a failure: the channels then get id 0 and do nothing.
    mEngineStarted = true;
    mEngineRunning = result == WAVO_OK;
    Log("  Procedure InitializeWavo Returned.");
    mBGM[0] = NewSoundChannel();
    mBGM[1] = NewSoundChannel();
    mSELoop = NewSoundChannel();
    mCV = NewSoundChannel();
    for (SoundChannel& channel : mSE)
        channel = NewSoundChannel();
    mCurrentBGM = -1;
    mBGMVolume = mSEVolume = mCVVolume = 255;
    mBGMVolumeRate = 100;
    mSOLength = 0;
    mBGMFadeTime = 500;
    if (mParts.systemInfo != nullptr) {
        if (const INISection* game = mParts.systemInfo->FindSection("Game")) {
            const std::string fade = game->KeyValue("BGMFadeTime");
            if (!fade.empty()) mBGMFadeTime = ReadLong(fade);
        }
    }
    if (result != WAVO_OK) return false;
    Log("  Initialization of WavoDriver Succeeded.");
    return true;
}

clsWavoDriver::SoundChannel clsWavoDriver::NewSoundChannel() const {
    SoundChannel channel;
    // Any sound the engine decodes: the data, not the key, says which kind.
    if (mEngineStarted) channel.id = AddSO(ST_SOUND_MEMORY);
    return channel;
}

// [SECTION] Engine calls ---------------------------------------------------------

std::string clsWavoDriver::ErrorDescription(std::int32_t code) {
    char text[256] = {};
    GetErrorDescription(code, text, static_cast<std::int32_t>(sizeof text) - 1);
    return Cp932ToUtf8Lossy(text);
}

bool clsWavoDriver::Call(std::int32_t id, std::int32_t method, std::int32_t param) const {
    return CallSOMethod(id, method, &param) == WAVO_OK;
}

bool clsWavoDriver::Set(std::int32_t id, std::int32_t property, std::int32_t value) const {
    return SetSOProp(id, property, &value) == WAVO_OK;
}

bool clsWavoDriver::SetByte(std::int32_t id, std::int32_t property, bool value) const {
    const std::uint8_t byte = value ? 1 : 0;
    return SetSOProp(id, property, &byte) == WAVO_OK;
}

long clsWavoDriver::LengthOf(std::int32_t id) const {
    std::int32_t length = 0;
    if (GetSOProp(id, SP_LENGTH, &length) != WAVO_OK) return 0;
    return length;
}

bool clsWavoDriver::StopChannel(const SoundChannel& channel) const {
    return Call(channel.id, SM_STOP);
}

bool clsWavoDriver::Reload(std::int32_t id) const {
    return Call(id, SM_STOP) && Call(id, SM_UNLOAD) && Call(id, SM_LOAD) && LoadedState(id);
}

bool clsWavoDriver::IsChannelPlaying(std::int32_t id) const {
    if (!mEngineStarted) return false;
    std::int32_t state = 0;
    return GetSOProp(id, SP_STATE, &state) == WAVO_OK && state == SS_PLAYING;
}

void clsWavoDriver::SetChannelVolume(std::int32_t id, std::int32_t& volume) const {
    if (volume < 0) {
        volume = -1;
        Call(id, SM_STOP);
        return;
    }
    if (volume > 255) volume = 255;
    Set(id, SP_VOLUME, volume);
}

// The volumes come from the reader's settings file; one edited or damaged
// out of range must not keep every sound from starting.
std::int32_t clsWavoDriver::PlayingVolume(long volume) {
    return static_cast<std::int32_t>(std::clamp(volume, 0L, 255L));
}

}  // namespace zelk
