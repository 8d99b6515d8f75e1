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
    // Restarts the stream (its headers are read again) and passes over the
    // decoded bytes before the position.
    bool Seek(int64_t position) override;
    // Of the compressed source: the decoder cannot know the PCM size cheaply.
    int64_t DecodedSize() override;
    // Through vorbisfile, which looks the stream over once.
    int64_t LengthMs() override;
    // Decoded bytes delivered since the start.
    int64_t Position() override { return mPosition; }
    // Also when there is no stream to decode, so that a sound without one ends.
    bool AtEnd() const override { return mAtEnd || !mReady; }
    const WaveFormat* SourceFormat() const override { return nullptr; }
    const WaveFormat& OutputFormat() const override { return mOutputFormat; }
    // From the LOOPSTART and LOOPLENGTH comments (in samples), as the loop
    // tools of game music write them.
    std::optional<LoopPoints> Loop() const override { return mLoop; }

    // One decoded sample: x 32767, truncated toward zero, clamped to 16 bits;
    // NaN becomes silence.
    static int16_t ToPcm16(float sample) {
        float scaled = sample * 32767.0f;
        if (scaled >= 32767.0f) return 32767;
        if (scaled <= -32768.0f) return -32768;
        if (scaled != scaled) return 0;
        return static_cast<int16_t>(scaled);
    }

private:
    bool ReadHeaders();
    void ReadLoopComments();
    bool SubmitHeaderPackets(int& headers);
    void ClearStreamStates();
    int64_t ReadIntoSync();
    bool DecodeStep();
    void AppendPcm(float** pcm, int frames);

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
    std::vector<int16_t> mPcm;
    int64_t mPcmFilled = 0;         // bytes
    int64_t mPcmReadPosition = -1;  // bytes; -1: empty
    int64_t mPcmTarget = 0;
    int64_t mPosition = 0;
    std::optional<LoopPoints> mLoop;
};

}  // namespace wavo
