#include "wave_decoder.h"

#include <algorithm>
#include <cstring>

namespace wavo {
namespace {

constexpr int64_t kInputChunk = 1024;
constexpr size_t kOutputSize = 0x8000;

// a x b / c without overflow for any sizes a sound can have; 0 when c is 0.
int64_t Scale(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return 0;
    return static_cast<int64_t>(static_cast<__int128>(a) * b / c);
}

}  // namespace

bool WaveDecoder::Open(uint32_t typeWord, const void* addressOrName, int64_t size) {
    Close();
    if (typeWord != kTypeWaveMemory || !mSource.Open(addressOrName, size)) return false;
    mConversion = WaveConversion::Open(*mSource.Format());
    if (!mConversion) {
        Close();
        return false;
    }
    mOutputFormat = mConversion->OutputFormat();
    // Room for every block that the carried rest and one chunk can complete,
    // plus the short block that may end the data.
    size_t blockSize = mConversion->InputBlockSize();
    size_t blocks = (blockSize - 1 + kInputChunk) / blockSize + 1;
    size_t outputBytes = std::max(kOutputSize, blocks * mConversion->OutputBlockSize());
    mOutput.assign(outputBytes / 2, 0);
    mInput.reserve(blockSize - 1 + kInputChunk);
    return true;
}

void WaveDecoder::Close() {
    mSource.Close();
    mConversion.reset();
    mOutputFormat = {};
    mInput = {};
    mOutput = {};
    mOutputFilled = 0;
    mOutputReadPosition = -1;
}

// Converts the next piece of the source into the output buffer. The source is
// read 1024 bytes at a time; a block that a chunk cuts is kept and completed by
// the next one, so that compressed formats whose blocks do not divide 1024 stay
// intact.
bool WaveDecoder::ConvertNextChunk() {
    if (!mConversion) return false;
    for (;;) {
        size_t carried = mInput.size();
        mInput.resize(carried + kInputChunk);
        int64_t got = mSource.Read(mInput.data() + carried, kInputChunk);
        mInput.resize(carried + static_cast<size_t>(got));
        bool last = mSource.AtEnd();
        if (mInput.empty()) return false;
        WaveConversion::Result result = mConversion->Convert(mInput, mOutput, last);
        mInput.erase(mInput.begin(), mInput.begin() + static_cast<ptrdiff_t>(result.consumed));
        if (result.failed) {
            // Nothing after corrupt data can be trusted: the sound ends with what
            // came before it.
            mSource.Seek(mSource.Size());
            last = true;
        }
        if (last) mInput.clear();
        if (result.produced > 0) {
            mOutputFilled = static_cast<int64_t>(result.produced);
            mOutputReadPosition = 0;
            return true;
        }
        if (last || got == 0) return false;
    }
}

int64_t WaveDecoder::Read(void* destination, int64_t length) {
    auto* out = static_cast<uint8_t*>(destination);
    int64_t done = 0;
    while (done < length) {
        if (mOutputReadPosition < 0 && !ConvertNextChunk()) break;
        int64_t count = std::min(length - done, mOutputFilled - mOutputReadPosition);
        std::memcpy(out + done,
                    reinterpret_cast<const uint8_t*>(mOutput.data()) + mOutputReadPosition,
                    static_cast<size_t>(count));
        done += count;
        mOutputReadPosition += count;
        if (mOutputReadPosition >= mOutputFilled) mOutputReadPosition = -1;
    }
    return done;
}

int64_t WaveDecoder::DecodedSize() {
    if (!mConversion) return 0;
    double bytes = mSource.LengthMs() / 1000.0 * mOutputFormat.avgBytesPerSec;
    return static_cast<int64_t>(bytes);
}

int64_t WaveDecoder::LengthMs() {
    return static_cast<int64_t>(mSource.LengthMs());
}

int64_t WaveDecoder::Position() {
    return Scale(mSource.Tell(), DecodedSize(), mSource.Size());
}

// The source lands on the start of a block: anywhere else a compressed block
// would decode as noise, and PCM would swap its channels or bytes.
bool WaveDecoder::Seek(int64_t position) {
    if (!mConversion || position < 0) return false;
    mOutputReadPosition = -1;
    mInput.clear();
    int64_t target = Scale(position, mSource.Size(), DecodedSize());
    target -= target % static_cast<int64_t>(mConversion->InputBlockSize());
    return mSource.Seek(target);
}

bool WaveDecoder::AtEnd() const {
    if (!mConversion) return true;
    return mOutputReadPosition < 0 && mInput.empty() && mSource.AtEnd();
}

}  // namespace wavo
