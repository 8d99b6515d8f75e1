#include "so_music_base.h"

#include <algorithm>

#include "wavo.h"

namespace wavo {

SOMusicBase::~SOMusicBase() = default;

int32_t SOMusicBase::GetState() {
    return mState == SS_PLAYING && !IsSounding() ? SS_LOADED : mState;
}

int32_t SOMusicBase::Stop() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    mMidi->Stop();
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SOMusicBase::Unload() {
    if (!IsOpen()) return WAVO_E_NOT_LOADED;
    if (IsSounding()) mMidi->Stop();
    mMidi.reset();
    mState = SS_UNLOADED;
    return WAVO_OK;
}

int32_t SOMusicBase::BeginPlayMonitor() {
    PostJob(JT_PLAY_MONITOR, 0, mPlayCount, 0, 0);
    return WAVO_OK;
}

int32_t SOMusicBase::TakeRepeats(int32_t& msToNext) {
    if (mMidi) return mMidi->TakeRepeats(msToNext);
    msToNext = -1;
    return 0;
}

bool SOMusicBase::OpenMidi(const char* who) {
    if (mContext.mixer == nullptr || mFilePath.empty()) return false;
    mMidi = MidiRenderer::Open(mFilePath, *mContext.mixer, who);
    return mMidi != nullptr;
}

bool SOMusicBase::StartMidi(int64_t ms) {
    // The play count is counted inside the stream: 2 plays the file twice,
    // -1 until stopped; 0 and 1 play it once.
    const int32_t repeats = mPlayCount < 0 ? -1 : std::max(mPlayCount - 1, 0);
    return mMidi->Start(ms, repeats);
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
