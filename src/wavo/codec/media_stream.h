#pragma once
// MediaStream: one pass of FFmpeg over a source, from its first byte: the
// container read through an AVIOContext on the source (never by file name),
// the first audio stream decoded and converted to interleaved 16-bit PCM of
// at most two channels at the stream's own rate. A pass cannot go back; the
// decoder starts a new one for that, which keeps every restart exact.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "decoder.h"
#include "media_input.h"
#include "source.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace wavo {

class Ffmpeg;

class MediaStream {
public:
    // The containers a stream is taken from (MediaInput keeps to them).
    static constexpr const char* kContainers = "ogg,flac,mp3,wav";

    // nullptr when the source holds no audio FFmpeg can decode; `error`
    // then says why. FFmpeg and the source must outlive the stream.
    static std::unique_ptr<MediaStream> Open(const Ffmpeg& ffmpeg, Source& source,
                                             std::string& error);
    ~MediaStream();
    MediaStream(const MediaStream&) = delete;
    MediaStream& operator=(const MediaStream&) = delete;

    uint16_t Channels() const { return mChannels; }
    uint32_t Rate() const { return mRate; }
    // From the container's duration; -1 when it does not say.
    int64_t LengthMs() const;
    // LOOPSTART and LOOPLENGTH from the container's or the stream's tags.
    std::optional<LoopPoints> Loop() const;

    // Appends the next decoded frames to `pcm`; false at the end of the data.
    // A packet that does not decode is passed over, as a hole in the data.
    bool Decode(std::vector<int16_t>& pcm);

private:
    struct Key {};

public:
    MediaStream(Key, const Ffmpeg& ffmpeg) : mFfmpeg(ffmpeg) {}

private:
    bool OpenContainer(Source& source, std::string& error);
    bool OpenDecoder(std::string& error);
    bool SetUpConverter(const AVFrame& frame);
    bool Convert(const AVFrame* frame, std::vector<int16_t>& pcm);
    bool Feed();

    const Ffmpeg& mFfmpeg;
    std::unique_ptr<MediaInput> mInput;
    AVFormatContext* mFormat = nullptr;  // the input's
    AVCodecContext* mCodec = nullptr;
    SwrContext* mConverter = nullptr;
    AVPacket* mPacket = nullptr;
    AVFrame* mFrame = nullptr;
    int mStream = -1;
    uint16_t mChannels = 0;
    uint32_t mRate = 0;
    // What the converter was made for: a stream may change on the way.
    int mInRate = 0;
    int mInFormat = -1;
    int mInChannels = 0;
    uint64_t mInMask = 0;
    bool mFlushed = false;  // the decoder was told the data has ended
    bool mDrained = false;  // the converter gave what it kept back
};

}  // namespace wavo
