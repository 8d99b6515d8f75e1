#pragma once
// SODSound: the streaming sound object. Decoded PCM flows through a sound
// buffer of two seconds that plays looping; its two halves are refilled
// alternately by the worker thread as play crosses offset 0 and the middle.
// A repeat goes on in the same stream: at the end of the data (or of the
// piece's own repeat section, while repeats are left) the decoder rewinds
// and the half fills on, so the loop point is sample-exact.

#include <deque>
#include <memory>
#include <mutex>

#include "decoder.h"
#include "sound_buffer.h"
#include "sound_object.h"

namespace wavo {

class SODSound : public SOBase {
public:
    using SOBase::SOBase;
    ~SODSound() override;

    bool IsSounding() override;
    int32_t SetVolume(int32_t volume) override;
    int32_t SetPosition(int32_t ms) override;
    int32_t GetPosition() override;
    int32_t GetLength() override;
    int32_t Load() override;
    int32_t Play() override;
    int32_t Start() override;
    int32_t Stop() override;
    int32_t Finish() override;
    int32_t Unload() override;
    int32_t BeginPlayMonitor() override;
    int32_t ClassStepA() override { return CreateBuffer(); }
    int32_t ClassStepB() override;
    int32_t SetPan(int32_t pan) override;
    int32_t GetPan(int32_t& pan) override;
    void PrepareRepeats(int32_t repeats) override { mRepeatsLeft = repeats; }
    int32_t TakeRepeats(int32_t& msToNext) override;

    // Fills the half due when the buffer has signalled and play has left
    // that half.
    bool RefillIfDue(bool& recheck) override;

    int32_t FillNextHalf();
    bool RefillDue();

protected:
    void ReleaseData() override;

private:
    int32_t CreateBuffer();
    void ReleaseBuffer();
    int32_t AverageBytesPerSecond() const;
    // Reads up to length bytes of the stream, rewinding at its end while
    // repeats are left; fewer only where the stream ends for good.
    size_t ReadStream(uint8_t* out, size_t length);
    bool Rewind();
    int64_t LoopEndBytes() const;

    std::recursive_mutex mLock;  // the object's own; inside the SOList lock
    std::unique_ptr<Decoder> mDecoder;
    std::unique_ptr<SoundBuffer> mBuffer;
    NotifyEvent mEvent;
    uint32_t mBufferSize = 0;
    int32_t mHalfIndex = -1;  // -1: the next fill writes offset 0; 0: the middle
    bool mEndOfData = false;
    int32_t mRepeatsLeft = 0;         // rewinds still to do; -1 without end
    uint64_t mWritten = 0;            // stream bytes written since Start
    uint64_t mSinceRewind = 0;        // stream bytes since the last rewind
    std::deque<uint64_t> mLoopMarks;  // values of mWritten where a repeat begins
    bool mHasPendingPan = false;
    int32_t mPendingPan = 0;
};

}  // namespace wavo
