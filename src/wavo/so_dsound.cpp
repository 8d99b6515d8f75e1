#include "so_dsound.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "debug_log.h"
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
        WAVO_LOG("SODSound %d: the data cannot be decoded: %s\n", mId, mDecoder->Error().c_str());
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
    mWritten = 0;
    mSinceRewind = 0;
    mLoopMarks.clear();
    FillNextHalf();
    SetVolume(mVolume);
    if (mHasPendingPan) SetPan(mPendingPan);
    if (!mBuffer->Play(true)) return WAVO_E_AUDIO;
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
    // The stop at the end of the data is already set; what the ring holds
    // after it is never heard.
    if (mEndOfData) return WAVO_OK;
    const uint32_t half = mBufferSize / 2;
    // The region is one half, so it never wraps; the second part is filled
    // all the same, as the ring allows it.
    const uint32_t offset = mHalfIndex != 0 ? 0 : half;
    auto region = mBuffer->Lock(offset, half);
    if (!region) return WAVO_E_AUDIO;
    auto got = static_cast<int64_t>(ReadStream(region->first.data(), region->first.size()));
    if (static_cast<size_t>(got) == region->first.size() && !region->second.empty())
        got += static_cast<int64_t>(ReadStream(region->second.data(), region->second.size()));
    if (got < half) {
        // The data ran out inside this half: sounding ends right after it
        // instead of after the silence of the rest of the ring.
        mBuffer->StopAt(offset + static_cast<uint32_t>(got));
        mEndOfData = true;
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

int64_t SODSound::LoopEndBytes() const {
    const auto loop = mDecoder->Loop();
    if (!loop || loop->lengthFrames < 0) return -1;
    return (loop->startFrame + loop->lengthFrames) * mDecoder->OutputFormat().blockAlign;
}

bool SODSound::Rewind() {
    // A piece with a repeat section goes back to its section; any other
    // sound to where each of its plays starts.
    if (const auto loop = mDecoder->Loop())
        return mDecoder->Seek(loop->startFrame * mDecoder->OutputFormat().blockAlign);
    return mDecoder->Seek(static_cast<int64_t>(mStartPosition) * AverageBytesPerSecond() / 1000);
}

size_t SODSound::ReadStream(uint8_t* out, size_t length) {
    size_t done = 0;
    while (done < length) {
        // The section's end is where a repeat goes back: the last play, and
        // a sound played once, run on to the end of the data.
        const int64_t loopEnd = mRepeatsLeft != 0 ? LoopEndBytes() : -1;
        int64_t want = static_cast<int64_t>(length - done);
        if (loopEnd >= 0) want = std::clamp<int64_t>(loopEnd - mDecoder->Position(), 0, want);
        int64_t got = want > 0 && !mDecoder->AtEnd() ? mDecoder->Read(out + done, want) : 0;
        if (got < 0) got = 0;
        done += static_cast<size_t>(got);
        mWritten += static_cast<uint64_t>(got);
        mSinceRewind += static_cast<uint64_t>(got);
        if (got > 0 && got == want && (loopEnd < 0 || mDecoder->Position() < loopEnd)) continue;
        if (done == length && got > 0) break;  // the end, if it is one, shows next time
        // The end of the data or of the section. A rewind that gave nothing
        // would spin here for ever: the play then ends.
        if (mRepeatsLeft == 0 || mSinceRewind == 0 || !Rewind()) break;
        if (mRepeatsLeft > 0) --mRepeatsLeft;
        mSinceRewind = 0;
        mLoopMarks.push_back(mWritten);
    }
    return done;
}

int32_t SODSound::TakeRepeats(int32_t& msToNext) {
    std::lock_guard lock(mLock);
    msToNext = -1;
    if (!mBuffer) return 0;
    const uint64_t played = mBuffer->PlayedBytes();
    int32_t heard = 0;
    while (!mLoopMarks.empty() && mLoopMarks.front() <= played) {
        mLoopMarks.pop_front();
        ++heard;
    }
    if (!mLoopMarks.empty() && AverageBytesPerSecond() > 0) {
        msToNext = static_cast<int32_t>((mLoopMarks.front() - played) * 1000 /
                                        static_cast<uint64_t>(AverageBytesPerSecond()));
    }
    return heard;
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
