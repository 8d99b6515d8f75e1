// clsWavoDriver: the volumes of the channels, applied as they are written.
#include "drivers/wavo_driver.h"

namespace zelk {

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

}  // namespace zelk
