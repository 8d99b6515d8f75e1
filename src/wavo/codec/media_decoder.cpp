#include "media_decoder.h"

#include <algorithm>
#include <cstring>

#include "file_source.h"
#include "memory_source.h"

namespace wavo {

MediaDecoder::~MediaDecoder() {
    Close();
}

bool MediaDecoder::Open(uint32_t typeWord, const void* addressOrName, int64_t size) {
    Close();
    if (mFfmpeg == nullptr) mFfmpeg = mLibrary();
    if (mFfmpeg == nullptr) {
        mError = "it needs FFmpeg, which is not installed";
        return false;
    }
    if (typeWord == kTypeSoundFile && addressOrName != nullptr) {
        auto file = std::make_unique<FileSource>();
        if (!file->Open(static_cast<const char*>(addressOrName))) {
            mError = "the file cannot be opened";
            return false;
        }
        mSource = std::move(file);
    } else if (typeWord == kTypeSoundMemory) {
        auto memory = std::make_unique<MemorySource>();
        if (!memory->Open(addressOrName, size)) {
            mError = "no data";
            return false;
        }
        mSource = std::move(memory);
    } else {
        mError = "not a sound type";
        return false;
    }
    if (!Restart()) {
        const std::string error = mError;
        Close();
        mError = error;
        return false;
    }
    mOutputFormat = WaveFormat::Pcm16(mStream->Channels(), mStream->Rate());
    mLengthMs = mStream->LengthMs();
    mLoop = mStream->Loop();
    return true;
}

void MediaDecoder::Close() {
    mStream.reset();
    mSource.reset();
    mError.clear();
    mOutputFormat = {};
    mPcm = {};
    mPcmRead = 0;
    mPosition = 0;
    mLengthMs = -1;
    mAtEnd = false;
    mLoop.reset();
}

bool MediaDecoder::Restart() {
    mStream.reset();
    mPcm.clear();
    mPcmRead = 0;
    mPosition = 0;
    mAtEnd = false;
    mStream = MediaStream::Open(*mFfmpeg, *mSource, mError);
    return mStream != nullptr;
}

bool MediaDecoder::Fill() {
    if (mPcmRead < mPcm.size() * sizeof(int16_t)) return true;
    mPcm.clear();
    mPcmRead = 0;
    if (mAtEnd || !mStream || !mStream->Decode(mPcm)) {
        mAtEnd = true;
        return false;
    }
    return true;
}

int64_t MediaDecoder::Read(void* destination, int64_t length) {
    auto* out = static_cast<uint8_t*>(destination);
    int64_t done = 0;
    while (done < length && Fill()) {
        const auto* pcm = reinterpret_cast<const uint8_t*>(mPcm.data());
        const size_t available = mPcm.size() * sizeof(int16_t) - mPcmRead;
        const size_t count = std::min(static_cast<size_t>(length - done), available);
        std::memcpy(out + done, pcm + mPcmRead, count);
        mPcmRead += count;
        done += static_cast<int64_t>(count);
    }
    mPosition += done;
    return done;
}

bool MediaDecoder::Seek(int64_t position) {
    if (!mSource || position < 0 || mOutputFormat.blockAlign == 0) return false;
    position -= position % mOutputFormat.blockAlign;
    if (position < mPosition || !mStream) {
        if (!Restart()) return false;
    }
    // Forwards the decoded sound is passed over, never converted twice.
    while (mPosition < position && Fill()) {
        const size_t available = mPcm.size() * sizeof(int16_t) - mPcmRead;
        const size_t skip = std::min(static_cast<size_t>(position - mPosition), available);
        mPcmRead += skip;
        mPosition += static_cast<int64_t>(skip);
    }
    return true;
}

int64_t MediaDecoder::DecodedSize() {
    if (mLengthMs < 0) return mSource ? mSource->Size() : 0;
    return mLengthMs * mOutputFormat.avgBytesPerSec / 1000;
}

}  // namespace wavo
