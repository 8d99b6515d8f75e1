#include "so_dsound.h"

#include <cmath>
#include <cstring>

#include "mixer.h"
#include "wavo.h"

namespace wavo {

SODSound::~SODSound() {
    Unload();
    mDecoder.reset();
}

int32_t SODSound::AverageBytesPerSecond() const {
    return mDecoder ? static_cast<int32_t>(mDecoder->OutputFormat().avgBytesPerSec) : 0;
}

bool SODSound::IsSounding() {
    return mBuffer && mBuffer->IsPlaying();
}

// [SECTION] Load and the buffer

int32_t SODSound::Load() {
    std::lock_guard lock(mLock);
    mState = SS_UNLOADED;
    const void* data = nullptr;
    switch (mTypeWord & 3) {
        case ST_SOURCE_FILE:
            if (mFilePath.empty()) return WAVO_E_NO_FILE_NAME;
            data = mFilePath.c_str();
            break;
        case ST_SOURCE_MEMORY:
            if (!mMemoryBlock) return WAVO_E_NO_MEMORY_BLOCK;
            data = mMemoryBlock.get();
            break;
        default:
            return WAVO_E_UNDEFINED;
    }
    ReleaseBuffer();
    mDecoder.reset();
    mDecoder = CreateDecoder(static_cast<uint32_t>(mTypeWord));
    if (!mDecoder) return WAVO_E_INVALID_VALUE;
    if (!mDecoder->Open(static_cast<uint32_t>(mTypeWord), data, mMemoryBlockSize)) {
        mDecoder.reset();
        return WAVO_E_LOAD_FAILED;
    }
    if (CreateBuffer() != WAVO_OK) return WAVO_E_AUDIO;
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SODSound::CreateBuffer() {
    std::lock_guard lock(mLock);
    ReleaseBuffer();
    if (!mDecoder || mContext.mixer == nullptr) return WAVO_E_AUDIO;
    const WaveFormat& output = mDecoder->OutputFormat();
    const PcmFormat format{output.channels, output.samplesPerSec, output.bitsPerSample};
    // A format whose byte rate disagrees with its frames would tear the
    // halves apart from the seconds they stand for.
    if (!format.Valid() || output.blockAlign != format.BlockAlign() ||
        output.avgBytesPerSec != format.BytesPerSecond()) {
        return WAVO_E_AUDIO;
    }
    mBufferSize = 2 * output.avgBytesPerSec;
    mBuffer = mContext.mixer->CreateBuffer(format, mBufferSize);
    if (!mBuffer) return WAVO_E_AUDIO;
    const uint32_t positions[2] = {0, mBufferSize / 2};
    mEvent.Reset();
    if (!mBuffer->SetNotifications(positions, &mEvent)) {
        mBuffer.reset();
        return WAVO_E_AUDIO;
    }
    return WAVO_OK;
}

int32_t SODSound::ClassStepB() {
    ReleaseBuffer();
    return WAVO_OK;
}

void SODSound::ReleaseBuffer() {
    std::lock_guard lock(mLock);
    mBuffer.reset();
    mEvent.Reset();
}

void SODSound::ReleaseData() {
    std::lock_guard lock(mLock);
    Unload();
    if (mDecoder) mDecoder->Close();
    mDecoder.reset();
}

// [SECTION] Play, start, stop, finish, unload

int32_t SODSound::Play() {
    if (mState != SS_LOADED) return WAVO_E_NOT_LOADED;
    mState = SS_PLAYING;
    if (mStartDelay != 0) {
        PostJob(JT_DELAYED_START, Now() + mStartDelay, 0, 0, 0);
    } else {
        BeginPlayMonitor();
    }
    return WAVO_OK;
}

int32_t SODSound::BeginPlayMonitor() {
    PostJob(JT_PLAY_MONITOR, 0, mPlayCount, 0, 1);
    return WAVO_OK;
}

int32_t SODSound::Start() {
    std::lock_guard lock(mLock);
    if (!mBuffer || !mDecoder) return WAVO_E_AUDIO;
    if (!mBuffer->SetPlayPosition(0)) return WAVO_E_AUDIO;
    mDecoder->Seek(static_cast<int64_t>(mStartPosition) * AverageBytesPerSecond() / 1000);
    mHalfIndex = -1;
    mEndOfData = false;
    FillNextHalf();
    SetVolume(mVolume);
    if (mHasPendingPan) SetPan(mPendingPan);
    mBuffer->Play(true);
    mState = SS_PLAYING;
    return WAVO_OK;
}

int32_t SODSound::Stop() {
    PostJob(JT_CANCEL, 0, 0, 0, 0);
    if (!IsSounding()) return WAVO_OK;
    std::lock_guard lock(mLock);
    mBuffer->Stop();
    mState = SS_LOADED;
    return WAVO_OK;
}

int32_t SODSound::Finish() {
    return FinishPlay(true);
}

int32_t SODSound::Unload() {
    std::lock_guard lock(mLock);
    if (IsSounding()) mBuffer->Stop();
    ReleaseBuffer();
    mState = SS_UNLOADED;
    return WAVO_OK;
}

// [SECTION] Streaming

int32_t SODSound::FillNextHalf() {
    std::lock_guard lock(mLock);
    if (!mBuffer || !mDecoder) return WAVO_E_AUDIO;
    if (mEndOfData) {
        mBuffer->Stop();
        mEndOfData = false;
        return WAVO_OK;
    }
    const uint32_t half = mBufferSize / 2;
    // The region is one half, so it never wraps; the second part is filled
    // all the same, as the ring allows it.
    const uint32_t offset = mHalfIndex != 0 ? 0 : half;
    auto region = mBuffer->Lock(offset, half);
    if (!region) return WAVO_E_AUDIO;
    int64_t got = 0;
    if (mDecoder->AtEnd()) {
        mEndOfData = true;
    } else {
        got = mDecoder->Read(region->first.data(), region->first.size());
        if (got < 0) got = 0;
        if (static_cast<size_t>(got) == region->first.size() && !region->second.empty()) {
            const int64_t more = mDecoder->Read(region->second.data(), region->second.size());
            got += more < 0 ? 0 : more;
        }
        // The data ran out inside this half: sounding ends right after it, so
        // that a repeat follows without the silence of the rest of the ring.
        if (got < half) mBuffer->StopAt(offset + static_cast<uint32_t>(got));
    }
    // Silence after the data: zero bytes for 16-bit sound, the midpoint for 8-bit.
    const uint8_t silence = mBuffer->Format().bits == 8 ? 0x80 : 0x00;
    const size_t firstUsed = std::min<size_t>(static_cast<size_t>(got), region->first.size());
    std::memset(region->first.data() + firstUsed, silence, region->first.size() - firstUsed);
    const size_t secondUsed = static_cast<size_t>(got) - firstUsed;
    std::memset(region->second.data() + secondUsed, silence, region->second.size() - secondUsed);
    if (!mBuffer->Unlock()) return WAVO_E_AUDIO;
    mHalfIndex = ~mHalfIndex;
    return WAVO_OK;
}

bool SODSound::RefillDue() {
    if (!mBuffer) return false;
    const uint32_t half = mBufferSize / 2;
    const uint32_t offset = mHalfIndex != 0 ? 0 : half;
    const uint32_t position = mBuffer->PlayPosition();
    return position < offset || position >= offset + half;
}

bool SODSound::RefillIfDue(bool& recheck) {
    std::lock_guard lock(mLock);
    if (mState != SS_PLAYING || !mBuffer || !mEvent.IsSet()) return false;
    if (!RefillDue()) {
        recheck = true;
        return false;
    }
    mEvent.Reset();
    FillNextHalf();
    return true;
}

// [SECTION] Volume, pan, positions

int32_t SODSound::SetVolume(int32_t volume) {
    // Outside 0..255 the decibel formula has no meaning (the logarithm of a
    // negative number); refuse instead of handing the buffer nonsense.
    if (volume < 0 || volume > 255) return WAVO_E_INVALID_VALUE;
    mVolume = volume;
    std::lock_guard lock(mLock);
    if (!mBuffer) return WAVO_OK;
    const int32_t hundredthsDb =
        volume == 0 ? kVolumeSilent : static_cast<int32_t>(2000.0 * std::log10(volume / 255.0));
    return mBuffer->SetVolume(hundredthsDb) ? WAVO_OK : WAVO_E_AUDIO;
}

int32_t SODSound::SetPan(int32_t pan) {
    if (pan < -255 || pan > 255) return WAVO_E_INVALID_VALUE;
    std::lock_guard lock(mLock);
    if (!mBuffer) {
        mPendingPan = pan;
        mHasPendingPan = true;
        return WAVO_OK;
    }
    mHasPendingPan = false;
    return mBuffer->SetPan(pan * 10000 / 255) ? WAVO_OK : WAVO_E_AUDIO;
}

int32_t SODSound::GetPan(int32_t& pan) {
    std::lock_guard lock(mLock);
    if (!mBuffer) {
        pan = mHasPendingPan ? mPendingPan : 0;
    } else {
        pan = mBuffer->Pan() * 255 / 10000;
    }
    return WAVO_OK;
}

int32_t SODSound::SetPosition(int32_t ms) {
    if (ms < 0 || ms > GetLength()) return WAVO_E_INVALID_VALUE;
    std::lock_guard lock(mLock);
    if (IsSounding()) {
        mDecoder->Seek(static_cast<int64_t>(AverageBytesPerSecond()) * ms / 1000);
    } else {
        mStartPosition = ms;
    }
    return WAVO_OK;
}

int32_t SODSound::GetPosition() {
    std::lock_guard lock(mLock);
    const int32_t bytesPerSecond = AverageBytesPerSecond();
    if (!IsSounding() || bytesPerSecond == 0) return mStartPosition;
    return static_cast<int32_t>(mDecoder->Position() * 1000 / bytesPerSecond);
}

int32_t SODSound::GetLength() {
    std::lock_guard lock(mLock);
    if (!mBuffer || !mDecoder) return WAVO_E_NOT_LOADED;
    return static_cast<int32_t>(mDecoder->LengthMs());
}

}  // namespace wavo
