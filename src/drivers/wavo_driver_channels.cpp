// clsWavoDriver: the channels. Music plays on two channels in turn, so
// that a new piece starts while the old one fades out; effects take a free
// one of five; the looping effect and the voice have one each.
#include <chrono>
#include <thread>

#include "common/numbers.h"
#include "drivers/wavo_driver.h"
#include "wavo.h"

// ============================================================================
// Index
//   [SECTION] Music
//   [SECTION] Effects and voice
// ============================================================================

namespace zelk {
namespace {

void SleepMs(long ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

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
            if (!LoadSoundData(mBGM[target], sFileKey)) return false;
            loaded = true;
        }
    } else {
        const SoundChannel& current = mBGM[mCurrentBGM];
        if (current.key == sFileKey && current.loop == bLoop) return true;  // it goes on
        target = 1 - mCurrentBGM;
        if (mBGM[target].key != sFileKey) {
            if (!LoadSoundData(mBGM[target], sFileKey)) return false;
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
        if (!LoadSoundData(channel, sFileKey)) return false;
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
        if (!LoadSoundData(mSELoop, sFileKey)) return false;
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
        if (!LoadSoundData(mCV, sFileKey)) return false;
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
