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
    if (IsSequence()) return mHasSegment ? mStartPosition : 0;
    return Now() - mPlayStartTime;
}

int32_t SODMusic::GetLength() {
    return IsSequence() && mHasSegment ? 0 : -1;
}

int32_t SODMusic::GetState() {
    return mState == SS_PLAYING && !IsSounding() ? SS_LOADED : mState;
}

int32_t SODMusic::Load() {
    if (mHasSegment) Unload();
    // No synthesizer: the file source check stands, the segment never loads.
    return WAVO_E_UNFINISHED;
}

int32_t SODMusic::Play() {
    if (!mHasSegment) return WAVO_E_NOT_LOADED;
    if (!IsSequence()) mPlayStartTime = Now();
    mState = SS_PLAYING;
    if (mStartDelay != 0) {
        PostJob(JT_DELAYED_START, Now() + mStartDelay, 0, 0, 0);
        return WAVO_OK;
    }
    Start();
    return BeginPlayMonitor();
}

int32_t SODMusic::Start() {
    return mHasSegment ? WAVO_E_AUDIO : WAVO_E_NOT_LOADED;
}

int32_t SODMusic::Stop() {
    if (!mHasSegment) return WAVO_E_NOT_LOADED;
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SODMusic::Unload() {
    if (!mHasSegment) return WAVO_E_NOT_LOADED;
    mHasSegment = false;
    mState = SS_UNLOADED;
    return WAVO_OK;
}

int32_t SODMusic::BeginPlayMonitor() {
    PostJob(JT_PLAY_MONITOR, 0, mPlayCount, 0, 0);
    return WAVO_OK;
}

int32_t SODMusic::ClassStepA() {
    return WAVO_OK;
}
int32_t SODMusic::ClassStepB() {
    return SetPan(mPendingPan);
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
