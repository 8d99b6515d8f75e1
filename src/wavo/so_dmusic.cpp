#include "so_dmusic.h"

#include <algorithm>

#include "wavo.h"

namespace wavo {

int32_t SODMusic::SetVolume(int32_t volume) {
    if (volume < 0 || volume > 255) return WAVO_E_INVALID_VALUE;
    mVolume = volume;
    if (IsSounding()) ApplyVolume();
    return WAVO_OK;
}

void SODMusic::ApplyVolume() {
    mMidi->SetVolume(std::max(mVolume * 9600 / 255 - 9600, kVolumeSilent));
}

int32_t SODMusic::SetPosition(int32_t ms) {
    if (!IsSequence()) return WAVO_E_NOT_SUPPORTED;
    if (ms < 0) return WAVO_E_INVALID_VALUE;
    if (IsSounding()) {
        mMidi->Stop();
        mStartPosition = ms;
        return Start();
    }
    mStartPosition = ms;
    return WAVO_OK;
}

int32_t SODMusic::GetPosition() {
    if (!IsSequence()) return Now() - mPlayStartTime;
    if (!IsOpen()) return 0;
    return IsSounding() ? static_cast<int32_t>(mMidi->PositionMs()) : mStartPosition;
}

int32_t SODMusic::GetLength() {
    return IsSequence() && IsOpen() ? static_cast<int32_t>(mMidi->LengthMs()) : -1;
}

int32_t SODMusic::Load() {
    if (IsOpen()) Unload();
    if ((mTypeWord & ST_SOURCE_FILE) == 0) return WAVO_E_UNFINISHED;
    if (!OpenMidi("SODMusic::Load")) return WAVO_E_AUDIO;
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SODMusic::Play() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    if (!IsSequence()) mPlayStartTime = Now();
    return StartOrDelay();
}

int32_t SODMusic::Start() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    if (!IsSequence()) mPlayStartTime = Now();
    // Volume and pan reach the buffer before the first sample does.
    ApplyVolume();
    mMidi->SetPan(mPendingPan * 10000 / 255);
    if (!StartMidi(IsSequence() ? mStartPosition : 0)) return WAVO_E_AUDIO;
    mState = SS_PLAYING;
    return WAVO_OK;
}

int32_t SODMusic::SetPan(int32_t pan) {
    if (pan < -255 || pan > 255) return WAVO_E_INVALID_VALUE;
    mPendingPan = pan;
    if (IsSounding()) mMidi->SetPan(pan * 10000 / 255);
    return WAVO_OK;
}

int32_t SODMusic::GetPan(int32_t& pan) {
    pan = IsSounding() ? mMidi->Pan() * 255 / 10000 : mPendingPan;
    return WAVO_OK;
}

}  // namespace wavo
