// clsWavoDriver: the "WavoStatus" section of a save slot.
#include "common/numbers.h"
#include "drivers/wavo_driver.h"
#include "settings/ini_section.h"

namespace zelk {

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

}  // namespace zelk
