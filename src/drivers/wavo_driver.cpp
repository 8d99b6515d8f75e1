#include "drivers/wavo_driver.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/process.h"
#include "drivers/quor_driver.h"
#include "settings/ini_file.h"
#include "wavo.h"

// ============================================================================
// Index
//   [SECTION] Start and termination
//   [SECTION] Engine calls
//   [SECTION] Loading sound data
//   [SECTION] Music
//   [SECTION] Effects and voice
// ============================================================================

namespace zelk {
namespace {

void SleepMs(long ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

// [SECTION] Start and termination --------------------------------------------

// The constructor and the destructor are with the movies, which own the
// video window they release.

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
    if (mEngineStarted) channel.id = AddSO(ST_VORBIS_MEMORY);
    return channel;
}

// [SECTION] Engine calls ---------------------------------------------------------

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
    return Call(id, SM_STOP) && Call(id, SM_UNLOAD) && Call(id, SM_LOAD);
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

// [SECTION] Loading sound data ---------------------------------------------------

bool clsWavoDriver::LoadFromFile(std::int32_t id, const std::string& key, const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamoff size = file.tellg();
    if (size < 0 || size > INT32_MAX) return false;
    file.seekg(0);
    if (!Call(id, SM_STOP) || !Call(id, SM_UNLOAD)) return false;
    if (!Set(id, SP_MEMORY_SIZE, static_cast<std::int32_t>(size))) return false;
    void* address = nullptr;
    if (GetSOProp(id, SP_MEMORY_ADDRESS, &address) != WAVO_OK || (address == nullptr && size > 0))
        return false;
    if (!file.read(static_cast<char*>(address), size)) {
        Log("wavo readfile error '" + key + "'");
        return false;
    }
    if (!Call(id, SM_LOAD)) return false;
    Log("wavo load file '" + key + "' from file");
    return true;
}

bool clsWavoDriver::LoadSoundData(std::int32_t id, const std::string& key) {
    const ProcessValues& process = Process();
    if (process.Debug.SoundFileMode) {
        if (auto path = ResolvePath(process.WorkspaceDir, "sound\\" + key + ".ogg")) {
            if (FileExists(*path)) return LoadFromFile(id, key, *path);
        }
    }
    const std::int32_t entry = mParts.quor ? mParts.quor->FileKeyToID(key) : -1;
    if (entry == -1) {
        Log("wavo file not found error '" + key + "'");
        return false;
    }
    const std::int32_t size = mParts.quor->GetSize(entry);
    if (size <= 0) {
        Log("wavo file size error '" + key + "'");
        return false;
    }
    if (!Call(id, SM_STOP) || !Call(id, SM_UNLOAD) || !Set(id, SP_MEMORY_SIZE, size)) return false;
    void* address = nullptr;
    if (GetSOProp(id, SP_MEMORY_ADDRESS, &address) != WAVO_OK || address == nullptr) return false;
    if (!mParts.quor->GetMemory(entry, address, size)) return false;
    if (!Call(id, SM_LOAD)) return false;
    Log("wavo load file '" + key + "' from archive");
    return true;
}

// [SECTION] Music ----------------------------------------------------------------

long clsWavoDriver::EffectiveBGMVolume(long volume, long rate) {
    return RoundToLong(static_cast<double>(rate) * static_cast<double>(volume) / 100.0);
}

bool clsWavoDriver::PlayBGM(const std::string& sFileKey, bool bSync, bool bLoop) {
    int target = 0;
    bool loaded = false;
    bool fading = false;
    if (mCurrentBGM == -1) {
        if (mBGM[0].key == sFileKey) {
            target = 0;
        } else if (mBGM[1].key == sFileKey) {
            target = 1;
        } else {
            // A channel still fading out counts as playing.
            target = IsChannelPlaying(mBGM[0].id) ? 1 : 0;
            if (!LoadSoundData(mBGM[target].id, sFileKey)) return false;
            mBGM[target].key = sFileKey;
            loaded = true;
        }
    } else {
        const SoundChannel& current = mBGM[mCurrentBGM];
        if (current.key == sFileKey && current.loop == bLoop) return true;  // it goes on
        target = 1 - mCurrentBGM;
        if (mBGM[target].key != sFileKey) {
            if (!LoadSoundData(mBGM[target].id, sFileKey)) return false;
            mBGM[target].key = sFileKey;
            loaded = true;
        }
        StopBGM(false);
        fading = true;
    }
    SoundChannel& channel = mBGM[target];
    if (!Set(channel.id, SP_PLAY_COUNT, bLoop ? -1 : 1)) return false;
    channel.loop = bLoop;
    // The memory block stays; loading again rewinds the piece.
    if (!loaded && !Reload(channel.id)) return false;
    if (!Set(channel.id, SP_VOLUME,
             PlayingVolume(EffectiveBGMVolume(mBGMVolume, mBGMVolumeRate))) ||
        !Set(channel.id, SP_FADE_TIME, static_cast<std::int32_t>(mBGMFadeTime)) ||
        !Call(channel.id, SM_PLAY))
        return false;
    if (fading && bSync) SleepMs(mBGMFadeTime);
    mSOLength = LengthOf(channel.id);
    mCurrentBGM = target;
    return true;
}

bool clsWavoDriver::StopBGM(bool bSync) {
    if (mCurrentBGM == -1) return true;
    const std::int32_t id = mBGM[mCurrentBGM].id;
    if (!Set(id, SP_FADE_TIME, static_cast<std::int32_t>(mBGMFadeTime))) return false;
    Call(id, SM_FADE_OUT, -1);  // silent, then stopped
    if (bSync) SleepMs(mBGMFadeTime);
    mCurrentBGM = -1;
    return true;
}

bool clsWavoDriver::IsPlayingBGM() const {
    // The piece fading out after a change or a stop is not "the" music.
    return mCurrentBGM != -1 && IsChannelPlaying(mBGM[mCurrentBGM].id);
}

// [SECTION] Effects and voice ----------------------------------------------------

bool clsWavoDriver::PlaySE(const std::string& sFileKey, bool bSync) {
    int chosen = -1;
    bool same = false;
    for (int i = 0; i < 5; ++i) {
        if (mSE[i].key == sFileKey) {
            StopChannel(mSE[i]);
            chosen = i;
            same = true;
            break;
        }
        // The last free channel wins.
        if (!IsChannelPlaying(mSE[i].id)) chosen = i;
    }
    if (chosen == -1) chosen = 4;  // all busy: the last one is cut
    SoundChannel& channel = mSE[chosen];
    if (same) {
        if (!Reload(channel.id)) return false;
    } else {
        if (!LoadSoundData(channel.id, sFileKey)) return false;
        channel.key = sFileKey;
    }
    if (!Set(channel.id, SP_VOLUME, PlayingVolume(mSEVolume)) ||
        !SetByte(channel.id, SP_SYNC, bSync) || !Call(channel.id, SM_PLAY))
        return false;
    mSOLength = LengthOf(channel.id);
    return true;
}

bool clsWavoDriver::StopSE() {
    bool all = true;
    for (const SoundChannel& channel : mSE)
        all = StopChannel(channel) && all;
    return all;
}

bool clsWavoDriver::PlaySELoop(const std::string& sFileKey, long& lCount, bool bSync) {
    if (mSELoop.key != sFileKey) {
        if (!LoadSoundData(mSELoop.id, sFileKey)) return false;
        mSELoop.key = sFileKey;
        StopChannel(mSELoop);
    } else if (!Reload(mSELoop.id)) {
        return false;
    }
    if (lCount == 0) {
        lCount = -1;
        mSELoop.loop = true;
    } else {
        mSELoop.loop = false;
    }
    if (!Set(mSELoop.id, SP_VOLUME, PlayingVolume(mSEVolume)) ||
        !Set(mSELoop.id, SP_PLAY_COUNT, static_cast<std::int32_t>(lCount)) ||
        !SetByte(mSELoop.id, SP_SYNC, bSync) || !Call(mSELoop.id, SM_PLAY))
        return false;
    mSOLength = LengthOf(mSELoop.id);
    return true;
}

bool clsWavoDriver::StopSELoop() {
    return StopChannel(mSELoop);
}

bool clsWavoDriver::PlayCV(const std::string& sFileKey, bool bSync, long lPan) {
    if (mCV.key != sFileKey) {
        if (!LoadSoundData(mCV.id, sFileKey)) return false;
        mCV.key = sFileKey;
    } else if (!Reload(mCV.id)) {
        return false;
    }
    if (!Set(mCV.id, SP_VOLUME, PlayingVolume(mCVVolume)) || !SetByte(mCV.id, SP_SYNC, bSync) ||
        !Call(mCV.id, SM_PLAY))
        return false;
    mSOLength = LengthOf(mCV.id);
    Set(mCV.id, SP_PAN, static_cast<std::int32_t>(lPan));
    return true;
}

bool clsWavoDriver::StopCV() {
    return StopChannel(mCV);
}

bool clsWavoDriver::IsPlayingSE() const {
    for (const SoundChannel& channel : mSE) {
        if (IsChannelPlaying(channel.id)) return true;
    }
    return false;
}

bool clsWavoDriver::IsPlayingSeLoop() const {
    return IsChannelPlaying(mSELoop.id);
}

bool clsWavoDriver::IsPlayingCV() const {
    return IsChannelPlaying(mCV.id);
}

std::string clsWavoDriver::PlayingBGMKey() const {
    if (mCurrentBGM < 0 || !IsPlayingBGM()) return "";
    return mBGM[mCurrentBGM].key;
}

}  // namespace zelk
