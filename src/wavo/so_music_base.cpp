#include "so_music_base.h"

#include "wavo.h"

namespace wavo {

int32_t SOMusicBase::GetState() {
    return mState == SS_PLAYING && !IsSounding() ? SS_LOADED : mState;
}

int32_t SOMusicBase::Stop() {
    if (!mOpen) return WAVO_E_NOT_LOADED;
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SOMusicBase::Unload() {
    if (!mOpen) return WAVO_E_NOT_LOADED;
    mOpen = false;
    mState = SS_UNLOADED;
    return WAVO_OK;
}

int32_t SOMusicBase::BeginPlayMonitor() {
    PostJob(JT_PLAY_MONITOR, 0, mPlayCount, 0, 0);
    return WAVO_OK;
}

int32_t SOMusicBase::StartOrDelay() {
    mState = SS_PLAYING;
    if (mStartDelay != 0) {
        PostJob(JT_DELAYED_START, Now() + mStartDelay, 0, 0, 0);
        return WAVO_OK;
    }
    Start();
    return BeginPlayMonitor();
}

}  // namespace wavo
