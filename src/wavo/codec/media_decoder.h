#pragma once
// Decodes what FFmpeg reads (Ogg Opus, FLAC, MP3, WAVE and Ogg Vorbis too)
// into 16-bit PCM of one or two channels at the sound's own rate.

#include <memory>
#include <string>
#include <vector>

#include "decoder.h"
#include "ffmpeg_library.h"
#include "media_stream.h"
#include "source.h"

namespace wavo {

class MediaDecoder final : public Decoder {
public:
    explicit MediaDecoder(FfmpegSource ffmpeg = &Ffmpeg::Shared) : mLibrary(ffmpeg) {}
    MediaDecoder(const MediaDecoder&) = delete;
    MediaDecoder& operator=(const MediaDecoder&) = delete;
    ~MediaDecoder() override;

    // Takes kTypeSoundFile and kTypeSoundMemory.
    bool Open(uint32_t typeWord, const void* addressOrName, int64_t size) override;
    void Close() override;
    int64_t Read(void* destination, int64_t length) override;
    // Backwards, the stream starts again from the first byte and decodes up
    // to the position: every position is sample-exact, as a gapless repeat
    // needs, whatever the container's own seeking can do.
    bool Seek(int64_t position) override;
    int64_t DecodedSize() override;
    int64_t LengthMs() override { return mLengthMs; }
    int64_t Position() override { return mPosition; }
    bool AtEnd() const override { return mAtEnd || !mStream; }
    const WaveFormat* SourceFormat() const override { return nullptr; }
    const WaveFormat& OutputFormat() const override { return mOutputFormat; }
    std::optional<LoopPoints> Loop() const override { return mLoop; }

    // Why the last Open failed.
    std::string Error() const override { return mError; }

private:
    bool Restart();
    // Makes sure decoded PCM is waiting; false at the end of the data.
    bool Fill();

    const FfmpegSource mLibrary;
    const Ffmpeg* mFfmpeg = nullptr;  // once the first Open has asked for it
    std::unique_ptr<Source> mSource;
    std::unique_ptr<MediaStream> mStream;
    std::string mError;
    WaveFormat mOutputFormat;
    std::vector<int16_t> mPcm;
    size_t mPcmRead = 0;  // bytes of mPcm already delivered
    int64_t mPosition = 0;
    int64_t mLengthMs = -1;
    bool mAtEnd = false;
    std::optional<LoopPoints> mLoop;
};

}  // namespace wavo
