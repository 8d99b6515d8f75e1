#include "vorbis_decoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

#include "file_source.h"
#include "memory_source.h"

namespace wavo {
namespace {

constexpr long kReadChunk = 4096;
constexpr long kHighestRate = 384000;

// vorbisfile reads the stream through these, straight from our source.
size_t SourceRead(void* destination, size_t size, size_t count, void* source) {
    return static_cast<size_t>(
        static_cast<Source*>(source)->Read(destination, static_cast<int64_t>(size * count)));
}

int SourceSeek(void* data, ogg_int64_t offset, int whence) {
    auto* source = static_cast<Source*>(data);
    int64_t base = whence == SEEK_CUR ? source->Tell() : whence == SEEK_END ? source->Size() : 0;
    return source->Seek(base + offset) ? 0 : -1;
}

int SourceClose(void*) {
    return 0;
}

long SourceTell(void* source) {
    return static_cast<long>(static_cast<Source*>(source)->Tell());
}

}  // namespace

VorbisDecoder::~VorbisDecoder() {
    Close();
}

bool VorbisDecoder::Open(uint32_t typeWord, const void* addressOrName, int64_t size) {
    Close();
    if (typeWord == kTypeVorbisFile && addressOrName) {
        auto file = std::make_unique<FileSource>();
        if (!file->Open(static_cast<const char*>(addressOrName))) return false;
        mSource = std::move(file);
    } else if (typeWord == kTypeVorbisMemory) {
        auto memory = std::make_unique<MemorySource>();
        if (!memory->Open(addressOrName, size)) return false;
        mSource = std::move(memory);
    } else {
        return false;
    }
    if (!ReadHeaders()) {
        Close();
        return false;
    }
    return true;
}

void VorbisDecoder::Close() {
    ClearStreamStates();
    mSource.reset();
    mOutputFormat = {};
    mPcm = {};
}

void VorbisDecoder::ClearStreamStates() {
    if (mDspUp) {
        vorbis_block_clear(&mBlock);
        vorbis_dsp_clear(&mDsp);
    }
    if (mStreamUp) {
        ogg_stream_clear(&mStream);
        vorbis_comment_clear(&mComment);
        vorbis_info_clear(&mInfo);
    }
    if (mSyncUp) ogg_sync_clear(&mSync);
    mSyncUp = mStreamUp = mDspUp = false;
    mReady = mLastRead = mAtEnd = false;
    mPcmFilled = 0;
    mPcmReadPosition = -1;
    mPosition = 0;
}

int64_t VorbisDecoder::ReadIntoSync() {
    char* buffer = ogg_sync_buffer(&mSync, kReadChunk);
    if (!buffer) return 0;
    int64_t got = mSource->Read(buffer, kReadChunk);
    ogg_sync_wrote(&mSync, static_cast<long>(got));
    return got;
}

// Reads the three header packets from the source's current position.
bool VorbisDecoder::ReadHeaders() {
    ClearStreamStates();
    ogg_sync_init(&mSync);
    mSyncUp = true;
    ReadIntoSync();
    if (ogg_sync_pageout(&mSync, &mPage) != 1) return false;
    ogg_stream_init(&mStream, ogg_page_serialno(&mPage));
    vorbis_info_init(&mInfo);
    vorbis_comment_init(&mComment);
    mStreamUp = true;
    if (ogg_stream_pagein(&mStream, &mPage) < 0 || ogg_stream_packetout(&mStream, &mPacket) != 1 ||
        vorbis_synthesis_headerin(&mInfo, &mComment, &mPacket) < 0)
        return false;

    int headers = 1;
    while (headers < 3) {
        if (!SubmitHeaderPackets(headers)) return false;
        if (headers < 3 && ReadIntoSync() == 0) return false;
    }

    if (mInfo.rate < 1 || mInfo.rate > kHighestRate) return false;
    if (vorbis_synthesis_init(&mDsp, &mInfo) != 0) return false;
    vorbis_block_init(&mDsp, &mBlock);
    mDspUp = true;

    int channels = mInfo.channels;
    mOutputFormat =
        WaveFormat::Pcm16(static_cast<uint16_t>(channels), static_cast<uint32_t>(mInfo.rate));
    mPcmTarget = std::max(0, 8 - channels) * kReadChunk;
    // The target, plus one inner step of at most 4096 / channels frames.
    mPcm.resize(static_cast<size_t>(mPcmTarget) / 2 + kReadChunk);
    ReadLoopComments();
    mReady = true;
    return true;
}

void VorbisDecoder::ReadLoopComments() {
    mLoop = LoopFromTags(vorbis_comment_query(&mComment, "LOOPSTART", 0),
                         vorbis_comment_query(&mComment, "LOOPLENGTH", 0));
}

// Submits header packets from the pages already synced; false for a broken one.
bool VorbisDecoder::SubmitHeaderPackets(int& headers) {
    while (headers < 3) {
        int page = ogg_sync_pageout(&mSync, &mPage);
        if (page == 0) return true;
        if (page < 0) continue;
        ogg_stream_pagein(&mStream, &mPage);
        while (headers < 3) {
            int packet = ogg_stream_packetout(&mStream, &mPacket);
            if (packet == 0) break;
            if (packet < 0 || vorbis_synthesis_headerin(&mInfo, &mComment, &mPacket) < 0)
                return false;
            ++headers;
        }
    }
    return true;
}

void VorbisDecoder::AppendPcm(float** pcm, int frames) {
    int channels = mInfo.channels;
    int16_t* out = mPcm.data() + mPcmFilled / 2;
    for (int c = 0; c < channels; ++c) {
        const float* in = pcm[c];
        int16_t* sample = out + c;
        for (int i = 0; i < frames; ++i, sample += channels)
            *sample = ToPcm16(in[i]);
    }
    mPcmFilled += int64_t{frames} * channels * 2;
}

// Fills the PCM buffer past its target. The first time the source runs dry the
// step still succeeds, so that what is buffered gets played; the second time
// the stream is at its end.
bool VorbisDecoder::DecodeStep() {
    if (!mReady || mAtEnd) return false;
    mPcmFilled = 0;
    mPcmReadPosition = -1;
    int maxFrames = static_cast<int>(kReadChunk) / mInfo.channels;
    while (mPcmFilled <= mPcmTarget) {
        float** pcm = nullptr;
        int frames = vorbis_synthesis_pcmout(&mDsp, &pcm);
        if (frames > 0) {
            frames = std::min(frames, maxFrames);
            AppendPcm(pcm, frames);
            vorbis_synthesis_read(&mDsp, frames);
            continue;
        }
        int packet = ogg_stream_packetout(&mStream, &mPacket);
        if (packet > 0) {
            // A packet that does not decode is passed over, as a hole in the data.
            if (vorbis_synthesis(&mBlock, &mPacket) == 0) vorbis_synthesis_blockin(&mDsp, &mBlock);
            continue;
        }
        if (packet < 0) continue;
        int page = ogg_sync_pageout(&mSync, &mPage);
        if (page > 0) {
            ogg_stream_pagein(&mStream, &mPage);
            continue;
        }
        if (page < 0) continue;
        if (ReadIntoSync() > 0) continue;
        if (mLastRead) {
            mAtEnd = true;
            return false;
        }
        mLastRead = true;
        break;
    }
    if (mPcmFilled > 0) mPcmReadPosition = 0;
    return true;
}

int64_t VorbisDecoder::Read(void* destination, int64_t length) {
    auto* out = static_cast<uint8_t*>(destination);
    int64_t done = 0;
    while (done < length) {
        if (mPcmReadPosition < 0) {
            if (!DecodeStep()) break;
            if (mPcmReadPosition < 0) continue;
        }
        int64_t count = std::min(length - done, mPcmFilled - mPcmReadPosition);
        std::memcpy(out + done, reinterpret_cast<const uint8_t*>(mPcm.data()) + mPcmReadPosition,
                    static_cast<size_t>(count));
        done += count;
        mPcmReadPosition += count;
        if (mPcmReadPosition >= mPcmFilled) mPcmReadPosition = -1;
    }
    mPosition += done;
    return done;
}

bool VorbisDecoder::Seek(int64_t position) {
    if (!mSource || position < 0 || !mSource->Seek(0) || !ReadHeaders()) return false;
    // A stream can only be entered at its start: decode up to the position.
    int64_t skip = position - position % mOutputFormat.blockAlign;
    std::vector<uint8_t> discard(static_cast<size_t>(std::min<int64_t>(skip, 0x10000)));
    while (skip > 0) {
        int64_t got = Read(discard.data(), std::min<int64_t>(skip, ssize(discard)));
        if (got == 0) break;
        skip -= got;
    }
    return true;
}

int64_t VorbisDecoder::DecodedSize() {
    return mSource ? mSource->Size() : 0;
}

int64_t VorbisDecoder::LengthMs() {
    if (!mReady) return -1;
    int64_t resume = mSource->Tell();
    int64_t length = -1;
    if (mSource->Seek(0)) {
        ov_callbacks callbacks{SourceRead, SourceSeek, SourceClose, SourceTell};
        OggVorbis_File file;
        if (ov_open_callbacks(mSource.get(), &file, nullptr, 0, callbacks) == 0) {
            double seconds = ov_time_total(&file, -1);
            if (seconds >= 0) length = static_cast<int64_t>(seconds * 1000);
            ov_clear(&file);
        }
    }
    mSource->Seek(resume);
    return length;
}

}  // namespace wavo
