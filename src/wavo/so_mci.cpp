#include "so_mci.h"

#include "wavo.h"

namespace wavo {

int32_t SOMCI::SetPosition(int32_t ms) {
    mStartPosition = ms;
    return WAVO_OK;
}

int32_t SOMCI::GetState() {
    return mState == SS_PLAYING && !IsSounding() ? SS_LOADED : mState;
}

int32_t SOMCI::Load() {
    PostJob(JT_CLASS_STEP_A, 0, 0, 0, 0);
    return WAVO_OK;
}

int32_t SOMCI::Play() {
    PostJob(JT_CLASS_STEP_B, 0, 0, 0, 0);
    return WAVO_OK;
}

// Open the device.
int32_t SOMCI::ClassStepA() {
    if (mDeviceOpen) Unload();
    return WAVO_E_UNFINISHED;
}

// Seek to the start position and start.
int32_t SOMCI::ClassStepB() {
    if (!mDeviceOpen) return WAVO_E_NOT_LOADED;
    mState = SS_PLAYING;
    if (mStartDelay != 0) {
        PostJob(JT_DELAYED_START, Now() + mStartDelay, 0, 0, 0);
        return WAVO_OK;
    }
    Start();
    return BeginPlayMonitor();
}

int32_t SOMCI::Start() {
    return mDeviceOpen ? WAVO_E_MCI : WAVO_E_NOT_LOADED;
}

int32_t SOMCI::Stop() {
    if (!mDeviceOpen) return WAVO_E_NOT_LOADED;
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SOMCI::Unload() {
    if (!mDeviceOpen) return WAVO_E_NOT_LOADED;
    mDeviceOpen = false;
    mState = SS_UNLOADED;
    return WAVO_OK;
}

int32_t SOMCI::Finish() {
    if (!mDeviceOpen) return WAVO_E_NOT_LOADED;
    return FinishPlay(false);
}

int32_t SOMCI::BeginPlayMonitor() {
    PostJob(JT_PLAY_MONITOR, 0, mPlayCount, 0, 0);
    return WAVO_OK;
}

}  // namespace wavo
