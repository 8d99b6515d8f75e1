#pragma once
// Decodes an Ogg Vorbis stream with libogg and libvorbis into 16-bit PCM.

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <memory>
#include <vector>

#include "decoder.h"
#include "source.h"

namespace wavo {

class VorbisDecoder final : public Decoder {
public:
    VorbisDecoder() = default;
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;
    ~VorbisDecoder() override;

    bool Open(uint32_t typeWord, const void* addressOrName, int64_t size) override;
    void Close() override;
    int64_t Read(void* destination, int64_t length) override;
    // Moves the source and reads the headers again from there.
    bool Seek(int64_t position) override;
    // Of the compressed source: the decoder cannot know the PCM size cheaply.
    int64_t DecodedSize() override;
    // Through vorbisfile, which walks the whole stream once.
    int64_t LengthMs() override;
    int64_t Position() override;
    bool AtEnd() const override { return mAtEnd; }
    const WaveFormat* SourceFormat() const override { return nullptr; }
    const WaveFormat& OutputFormat() const override { return mOutputFormat; }

private:
    bool ReadHeaders();
    void ClearStreamStates();
    bool ReadIntoSync();
    bool DecodeStep();

    std::unique_ptr<Source> mSource;
    ogg_sync_state mSync{};
    ogg_stream_state mStream{};
    ogg_page mPage{};
    ogg_packet mPacket{};
    vorbis_info mInfo{};
    vorbis_comment mComment{};
    vorbis_dsp_state mDsp{};
    vorbis_block mBlock{};
    bool mSyncUp = false;
    bool mStreamUp = false;
    bool mDspUp = false;
    bool mReady = false;
    bool mLastRead = false;
    bool mAtEnd = false;
    WaveFormat mOutputFormat;
    std::vector<uint8_t> mPcm;
    int64_t mPcmFilled = 0;
    int64_t mPcmReadPosition = -1;  // -1: empty
};

}  // namespace wavo
