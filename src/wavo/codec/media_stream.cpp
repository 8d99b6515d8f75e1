#include "media_stream.h"

#include <cstdio>

#include "ffmpeg_library.h"

namespace wavo {
namespace {

constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;
// Decode errors in a row after which the data counts as ended: a decoder
// that fails on every frame must not keep the worker busy for ever.
constexpr int kMostErrorsInARow = 64;

}  // namespace

std::unique_ptr<MediaStream> MediaStream::Open(const Ffmpeg& ffmpeg, Source& source,
                                               std::string& error) {
    if (!source.Seek(0)) {
        error = "the data cannot be read";
        return nullptr;
    }
    auto stream = std::make_unique<MediaStream>(Key{}, ffmpeg);
    if (!stream->OpenContainer(source, error) || !stream->OpenDecoder(error)) return nullptr;
    return stream;
}

MediaStream::~MediaStream() {
    mFfmpeg.av_frame_free(&mFrame);
    mFfmpeg.av_packet_free(&mPacket);
    mFfmpeg.swr_free(&mConverter);
    mFfmpeg.avcodec_free_context(&mCodec);
    mInput.reset();
}

bool MediaStream::OpenContainer(Source& source, std::string& error) {
    mInput = std::make_unique<MediaInput>(mFfmpeg);
    if (!mInput->Open(source, kContainers, error)) {
        error = "not Ogg, FLAC, MP3 or WAVE data (" + error + ")";
        return false;
    }
    mFormat = mInput->Format();
    mStream = mFfmpeg.av_find_best_stream(mFormat, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const AVCodecParameters* parameters =
        mStream >= 0 ? mFormat->streams[mStream]->codecpar : nullptr;
    // Most containers name rate and channels in their headers; the others
    // are looked into further.
    if (parameters == nullptr || parameters->sample_rate <= 0 ||
        parameters->ch_layout.nb_channels <= 0) {
        // A failure here shows as no stream below.
        mFfmpeg.avformat_find_stream_info(mFormat, nullptr);
        mStream = mFfmpeg.av_find_best_stream(mFormat, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    }
    if (mStream < 0) {
        error = "no sound in the data";
        return false;
    }
    return true;
}

bool MediaStream::OpenDecoder(std::string& error) {
    const AVStream* stream = mFormat->streams[mStream];
    const AVCodec* codec = mFfmpeg.avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec == nullptr) {
        error =
            std::string("no decoder for ") + mFfmpeg.avcodec_get_name(stream->codecpar->codec_id);
        return false;
    }
    mCodec = mFfmpeg.avcodec_alloc_context3(codec);
    if (mCodec == nullptr) {
        error = "out of memory";
        return false;
    }
    int result = mFfmpeg.avcodec_parameters_to_context(mCodec, stream->codecpar);
    // One core: sound shares the machine with the game.
    mCodec->thread_count = 1;
    mCodec->pkt_timebase = stream->time_base;
    if (result >= 0) result = mFfmpeg.avcodec_open2(mCodec, codec, nullptr);
    if (result < 0) {
        error =
            "cannot decode " + std::string(codec->name) + " (" + mFfmpeg.ErrorText(result) + ")";
        return false;
    }
    const int channels = mCodec->ch_layout.nb_channels;
    if (channels <= 0 || mCodec->sample_rate < kLowestRate || mCodec->sample_rate > kHighestRate) {
        error = "a sound of " + std::to_string(channels) + " channels at " +
                std::to_string(mCodec->sample_rate) + " Hz cannot be played";
        return false;
    }
    // More channels than two are mixed down: the output is mono or stereo.
    mChannels = channels == 1 ? 1 : 2;
    mRate = static_cast<uint32_t>(mCodec->sample_rate);
    mPacket = mFfmpeg.av_packet_alloc();
    mFrame = mFfmpeg.av_frame_alloc();
    if (mPacket == nullptr || mFrame == nullptr) {
        error = "out of memory";
        return false;
    }
    return true;
}

int64_t MediaStream::LengthMs() const {
    const AVStream* stream = mFormat->streams[mStream];
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        return mFfmpeg.av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
    if (mFormat->duration != AV_NOPTS_VALUE && mFormat->duration > 0)
        return mFormat->duration / (AV_TIME_BASE / 1000);
    return -1;
}

std::optional<LoopPoints> MediaStream::Loop() const {
    // Ogg keeps its comments with the stream, FLAC and MP3 with the file.
    const auto tag = [&](const char* name) -> const char* {
        const AVDictionaryEntry* entry =
            mFfmpeg.av_dict_get(mFormat->streams[mStream]->metadata, name, nullptr, 0);
        if (entry == nullptr) entry = mFfmpeg.av_dict_get(mFormat->metadata, name, nullptr, 0);
        return entry != nullptr ? entry->value : nullptr;
    };
    return LoopFromTags(tag("LOOPSTART"), tag("LOOPLENGTH"));
}

// [SECTION] Decoding

bool MediaStream::Decode(std::vector<int16_t>& pcm) {
    const size_t before = pcm.size();
    int errors = 0;
    for (;;) {
        const int result = mFfmpeg.avcodec_receive_frame(mCodec, mFrame);
        if (result == 0) {
            errors = 0;
            if (SetUpConverter(*mFrame)) Convert(mFrame, pcm);
            mFfmpeg.av_frame_unref(mFrame);
            if (pcm.size() > before) return true;
            continue;
        }
        if (result == AVERROR(EAGAIN)) {
            if (!Feed()) break;
            continue;
        }
        if (result != AVERROR_EOF && !mFlushed && ++errors < kMostErrorsInARow) continue;
        break;
    }
    // The end: what the converter holds back comes last.
    if (!mDrained && mConverter != nullptr) {
        mDrained = true;
        Convert(nullptr, pcm);
    }
    return pcm.size() > before;
}

// Sends the next packet of our stream to the decoder, or the end.
bool MediaStream::Feed() {
    if (mFlushed) return false;
    for (;;) {
        // A read error is the end too: what was read plays.
        if (mFfmpeg.av_read_frame(mFormat, mPacket) < 0) {
            mFfmpeg.avcodec_send_packet(mCodec, nullptr);
            mFlushed = true;
            return true;
        }
        const bool ours = mPacket->stream_index == mStream;
        if (ours) mFfmpeg.avcodec_send_packet(mCodec, mPacket);
        mFfmpeg.av_packet_unref(mPacket);
        if (ours) return true;
    }
}

bool MediaStream::SetUpConverter(const AVFrame& frame) {
    const uint64_t mask =
        frame.ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame.ch_layout.u.mask : 0;
    if (mConverter != nullptr && frame.sample_rate == mInRate && frame.format == mInFormat &&
        frame.ch_layout.nb_channels == mInChannels && mask == mInMask)
        return true;
    mFfmpeg.swr_free(&mConverter);
    mInFormat = -1;
    if (frame.sample_rate < kLowestRate || frame.sample_rate > kHighestRate ||
        frame.ch_layout.nb_channels <= 0)
        return false;
    AVChannelLayout output{};
    mFfmpeg.av_channel_layout_default(&output, mChannels);
    AVChannelLayout input{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        mFfmpeg.av_channel_layout_default(&input, frame.ch_layout.nb_channels);
    else if (mFfmpeg.av_channel_layout_copy(&input, &frame.ch_layout) < 0)
        return false;
    const int result = mFfmpeg.swr_alloc_set_opts2(
        &mConverter, &output, AV_SAMPLE_FMT_S16, static_cast<int>(mRate), &input,
        static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    mFfmpeg.av_channel_layout_uninit(&input);
    mFfmpeg.av_channel_layout_uninit(&output);
    if (result < 0 || mFfmpeg.swr_init(mConverter) < 0) {
        mFfmpeg.swr_free(&mConverter);
        return false;
    }
    mInRate = frame.sample_rate;
    mInFormat = frame.format;
    mInChannels = frame.ch_layout.nb_channels;
    mInMask = mask;
    return true;
}

bool MediaStream::Convert(const AVFrame* frame, std::vector<int16_t>& pcm) {
    const int in = frame != nullptr ? frame->nb_samples : 0;
    const int room = mFfmpeg.swr_get_out_samples(mConverter, in);
    if (room <= 0) return true;
    const size_t at = pcm.size();
    pcm.resize(at + static_cast<size_t>(room) * mChannels);
    auto* out = reinterpret_cast<uint8_t*>(pcm.data() + at);
    const int got = mFfmpeg.swr_convert(
        mConverter, &out, room,
        frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, in);
    pcm.resize(at + static_cast<size_t>(got > 0 ? got : 0) * mChannels);
    return got >= 0;
}

}  // namespace wavo
