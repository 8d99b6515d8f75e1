#include "so_dmusic.h"

#include "wavo.h"

namespace wavo {

int32_t SODMusic::SetVolume(int32_t volume) {
    mVolume = volume;
    return WAVO_OK;
}

int32_t SODMusic::SetPosition(int32_t ms) {
    if (!IsSequence()) return WAVO_E_NOT_SUPPORTED;
    mStartPosition = ms;
    return WAVO_OK;
}

int32_t SODMusic::GetPosition() {
    if (IsSequence()) return mOpen ? mStartPosition : 0;
    return Now() - mPlayStartTime;
}

int32_t SODMusic::GetLength() {
    return IsSequence() && mOpen ? 0 : -1;
}

int32_t SODMusic::Load() {
    if (mOpen) Unload();
    // No synthesizer: the segment never loads.
    return WAVO_E_UNFINISHED;
}

int32_t SODMusic::Play() {
    if (!mOpen) return WAVO_E_NOT_LOADED;
    if (!IsSequence()) mPlayStartTime = Now();
    return StartOrDelay();
}

int32_t SODMusic::Start() {
    return mOpen ? WAVO_E_AUDIO : WAVO_E_NOT_LOADED;
}

int32_t SODMusic::SetPan(int32_t pan) {
    if (pan < -255 || pan > 255) return WAVO_E_INVALID_VALUE;
    mPendingPan = pan;
    return WAVO_OK;
}

int32_t SODMusic::GetPan(int32_t& pan) {
    pan = mPendingPan;
    return WAVO_OK;
}

}  // namespace wavo
