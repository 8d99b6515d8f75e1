#include "so_mci.h"

#include "wavo.h"

namespace wavo {

int32_t SOMCI::SetPosition(int32_t ms) {
    if (ms < 0) return WAVO_E_INVALID_VALUE;
    mStartPosition = ms;
    // While sounding: stop, and play again from there.
    if (IsSounding()) {
        mMidi->Stop();
        return Start();
    }
    return WAVO_OK;
}

int32_t SOMCI::GetPosition() {
    return IsSounding() ? static_cast<int32_t>(mMidi->PositionMs()) : mStartPosition;
}

int32_t SOMCI::GetLength() {
    return IsOpen() ? static_cast<int32_t>(mMidi->LengthMs()) : -1;
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
    if (IsOpen()) Unload();
    if ((mTypeWord & ST_SOURCE_FILE) == 0) return WAVO_E_UNFINISHED;
    if (!OpenMidi("SOMCI::Open")) return WAVO_E_MCI;
    mState = SS_LOADED;
    return WAVO_OK;
}

// Seek to the start position and start.
int32_t SOMCI::ClassStepB() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    return StartOrDelay();
}

int32_t SOMCI::Start() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    if (!StartMidi(mStartPosition)) return WAVO_E_MCI;
    mState = SS_PLAYING;
    return WAVO_OK;
}

int32_t SOMCI::Finish() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    return FinishPlay(false);
}

}  // namespace wavo
