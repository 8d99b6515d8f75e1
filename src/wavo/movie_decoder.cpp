#include "movie_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "debug_log.h"
#include "ffmpeg_library.h"
#include "file_source.h"
#include "media_input.h"
#include "mixer.h"
#include "movie_player.h"
#include "sound_buffer.h"

namespace wavo {
namespace {

constexpr uint32_t kBytesPerFrame = 4;  // stereo, 16 bits
constexpr double kSoundAhead = 0.3;     // seconds kept in the ring
constexpr double kUnderrunPad = 0.02;   // silence written when decoding lags
constexpr size_t kPicturesAhead = 3;    // decoded pictures kept ready
constexpr size_t kPicturesMost = 120;   // never more, whatever the interleave

int OpenDecoder(const Ffmpeg& ffmpeg, AVFormatContext* format, int stream,
                AVCodecContext*& context) {
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    const AVCodec* codec = ffmpeg.avcodec_find_decoder(parameters->codec_id);
    if (codec == nullptr) return AVERROR_DECODER_NOT_FOUND;
    context = ffmpeg.avcodec_alloc_context3(codec);
    if (context == nullptr) return AVERROR(ENOMEM);
    int result = ffmpeg.avcodec_parameters_to_context(context, parameters);
    // One core: the movie shares the machine with the game and its sound.
    context->thread_count = 1;
    if (result >= 0) result = ffmpeg.avcodec_open2(context, codec, nullptr);
    if (result < 0) ffmpeg.avcodec_free_context(&context);
    return result;
}

}  // namespace

MovieDecoder::MovieDecoder(Key, const Ffmpeg& ffmpeg) : mFfmpeg(ffmpeg) {}

MovieDecoder::~MovieDecoder() {
    Stop();
    for (AVFrame* frame : mQueue)
        mFfmpeg.av_frame_free(&frame);
    mSound.reset();
    mFfmpeg.sws_freeContext(mScaler);
    mFfmpeg.swr_free(&mConverter);
    mFfmpeg.av_packet_free(&mPacket);
    mFfmpeg.av_frame_free(&mDecoded);
    mFfmpeg.avcodec_free_context(&mVideo);
    mFfmpeg.avcodec_free_context(&mAudio);
    mInput.reset();
    mFile.reset();
}

// [SECTION] Opening

std::unique_ptr<MovieDecoder> MovieDecoder::Open(const Ffmpeg& ffmpeg, const std::string& path,
                                                 int& error, std::string& why) {
    auto decoder = std::make_unique<MovieDecoder>(Key{}, ffmpeg);
    // Read through the engine's own file reader, never by name: FFmpeg
    // would take a URL, or a playlist naming other files, as well.
    decoder->mFile = std::make_unique<FileSource>();
    if (!decoder->mFile->Open(path)) {
        error = AVERROR(ENOENT);
        why = "no such file";
        return nullptr;
    }
    decoder->mInput = std::make_unique<MediaInput>(ffmpeg);
    if (!decoder->mInput->Open(*decoder->mFile, kContainers, why)) {
        error = AVERROR_INVALIDDATA;
        why = "not a movie the player plays (" + why + ")";
        return nullptr;
    }
    decoder->mFormat = decoder->mInput->Format();
    error = ffmpeg.avformat_find_stream_info(decoder->mFormat, nullptr);
    if (error < 0) {
        why = ffmpeg.ErrorText(error);
        if (!decoder->mInput->Refused().empty())
            why = "it names another file (" + decoder->mInput->Refused() + ")";
        return nullptr;
    }
    AVFormatContext* format = decoder->mFormat;
    int video = ffmpeg.av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int audio = ffmpeg.av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    int videoError = video;
    if (video >= 0 && (videoError = OpenDecoder(ffmpeg, format, video, decoder->mVideo)) < 0)
        video = -1;
    if (audio >= 0 && OpenDecoder(ffmpeg, format, audio, decoder->mAudio) < 0) audio = -1;
    if (video < 0 && audio < 0) {
        error = videoError < 0 ? videoError : AVERROR_STREAM_NOT_FOUND;
        why = "no picture or sound it can decode (" + ffmpeg.ErrorText(error) + ")";
        return nullptr;
    }
    decoder->mVideoStream = video;
    decoder->mAudioStream = audio;
    decoder->mVideoEnd = video < 0;
    decoder->mPacket = ffmpeg.av_packet_alloc();
    decoder->mDecoded = ffmpeg.av_frame_alloc();
    if (decoder->mPacket == nullptr || decoder->mDecoded == nullptr) {
        error = AVERROR(ENOMEM);
        why = "out of memory";
        return nullptr;
    }
    error = 0;
    return decoder;
}

// [SECTION] The thread

void MovieDecoder::Start(const WavoVideoWindow& window, Mixer* mixer, int32_t volume,
                         std::function<void()> onEnd) {
    mWindow = window;
    mOnEnd = std::move(onEnd);
    if (mAudio != nullptr && mixer != nullptr) {
        mRate = mixer->DeviceRate();
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout input{};
        if (mAudio->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            mFfmpeg.av_channel_layout_default(&input, std::max(1, mAudio->ch_layout.nb_channels));
        else
            mFfmpeg.av_channel_layout_copy(&input, &mAudio->ch_layout);
        const int result = mFfmpeg.swr_alloc_set_opts2(
            &mConverter, &stereo, AV_SAMPLE_FMT_S16, static_cast<int>(mRate), &input,
            mAudio->sample_fmt, mAudio->sample_rate, 0, nullptr);
        mFfmpeg.av_channel_layout_uninit(&input);
        if (result >= 0 && mFfmpeg.swr_init(mConverter) >= 0) {
            mRingBytes = mRate * kBytesPerFrame;  // one second
            mSound = mixer->CreateBuffer(PcmFormat{2, mRate, 16}, mRingBytes);
        }
        if (mSound) {
            const int32_t level =
                volume <= 0
                    ? kVolumeSilent
                    : static_cast<int32_t>(2000.0 * std::log10(std::min(volume, 255) / 255.0));
            mSound->SetVolume(level);
        } else {
            WAVO_LOG("  movie sound cannot be converted; playing silently\n");
        }
    }
    mAudioEnd = !mSound;
    mThread = std::thread([this] { Run(); });
}

void MovieDecoder::SetWindow(const WavoVideoWindow& window) {
    std::lock_guard lock(mWindowLock);
    mWindow = window;
}

void MovieDecoder::Stop() {
    {
        std::lock_guard lock(mWaitLock);
        mStop = true;
    }
    mWake.notify_all();
    if (mThread.joinable()) mThread.join();
}

void MovieDecoder::ReadStats(MovieStats& stats) const {
    stats.framesShown = mShown.load();
    stats.framesDropped = mDropped.load();
    stats.hasSound = mSound != nullptr;
}

void MovieDecoder::Run() {
    const uint32_t target = static_cast<uint32_t>(mRate * kSoundAhead) * kBytesPerFrame;
    for (;;) {
        {
            std::lock_guard lock(mWaitLock);
            if (mStop) break;
        }
        const double clock = Clock();
        ShowDueFrames(clock);
        const bool needSound = !mAudioEnd && SoundAhead() < target;
        const bool needPictures = !mVideoEnd && mQueue.size() < kPicturesAhead;
        if ((needSound || needPictures) && mQueue.size() < kPicturesMost && ReadPacket()) continue;
        if (!mSoundStarted) {
            mSoundStarted = true;
            mStart = std::chrono::steady_clock::now();
            if (mSound) mSound->Play(true);
        }
        PadSilence();
        const bool soundDone = !mSound || (mAudioEnd && mPlayed >= mWritten + mSilenceInside);
        if (mDemuxEnd && mQueue.empty() && mVideoEnd && mAudioEnd && soundDone) break;
        // Sleep until the next picture is due, a little at a time so that the
        // sound ring stays filled.
        double wait = 0.01;
        if (!mQueue.empty()) wait = std::clamp(FramePts(mQueue.front()) - Clock(), 0.001, 0.01);
        std::unique_lock lock(mWaitLock);
        mWake.wait_for(lock, std::chrono::duration<double>(wait), [this] { return mStop; });
    }
    if (mSound) mSound->Stop();
    bool stopped = false;
    {
        std::lock_guard lock(mWaitLock);
        stopped = mStop;
    }
    mFinished.store(true, std::memory_order_release);
    if (!stopped && mOnEnd) mOnEnd();
}

// [SECTION] Demuxing and decoding

bool MovieDecoder::ReadPacket() {
    if (mDemuxEnd) return false;
    const int result = mFfmpeg.av_read_frame(mFormat, mPacket);
    if (result < 0) {
        // The end, or a broken file from here on: what was read is played.
        mDemuxEnd = true;
        if (mVideo && !mVideoEnd) DecodeVideo(nullptr);
        if (mAudio && mSound && !mAudioEnd) DecodeAudio(nullptr);
        // The flushes above have taken all the decoders held.
        mVideoEnd = true;
        mAudioEnd = true;
        return false;
    }
    if (mPacket->stream_index == mVideoStream && !mVideoEnd)
        DecodeVideo(mPacket);
    else if (mPacket->stream_index == mAudioStream && mSound && !mAudioEnd)
        DecodeAudio(mPacket);
    mFfmpeg.av_packet_unref(mPacket);
    return true;
}

void MovieDecoder::DecodeVideo(const AVPacket* packet) {
    // A damaged packet is skipped; the decoder goes on with the next.
    if (mFfmpeg.avcodec_send_packet(mVideo, packet) < 0 && packet != nullptr) return;
    for (;;) {
        const int result = mFfmpeg.avcodec_receive_frame(mVideo, mDecoded);
        if (result == AVERROR_EOF) mVideoEnd = true;
        if (result < 0) return;
        AVFrame* frame = mFfmpeg.av_frame_alloc();
        if (frame == nullptr) return;
        mFfmpeg.av_frame_move_ref(frame, mDecoded);
        mQueue.push_back(frame);
    }
}

void MovieDecoder::DecodeAudio(const AVPacket* packet) {
    if (mFfmpeg.avcodec_send_packet(mAudio, packet) < 0 && packet != nullptr) return;
    std::vector<uint8_t> pcm;
    for (;;) {
        const int result = mFfmpeg.avcodec_receive_frame(mAudio, mDecoded);
        if (result < 0 && result != AVERROR_EOF) return;
        const bool end = result == AVERROR_EOF;
        const int room = mFfmpeg.swr_get_out_samples(mConverter, end ? 0 : mDecoded->nb_samples);
        if (room > 0) {
            pcm.resize(static_cast<size_t>(room) * kBytesPerFrame);
            uint8_t* out = pcm.data();
            const int converted =
                end ? mFfmpeg.swr_convert(mConverter, &out, room, nullptr, 0)
                    : mFfmpeg.swr_convert(mConverter, &out, room,
                                          const_cast<const uint8_t**>(mDecoded->extended_data),
                                          mDecoded->nb_samples);
            if (converted > 0)
                WriteSound(pcm.data(), static_cast<uint32_t>(converted) * kBytesPerFrame);
        }
        mFfmpeg.av_frame_unref(mDecoded);
        if (end) return;
    }
}

// [SECTION] Sound ring and clock

void MovieDecoder::UpdatePlayed() {
    if (!mSound || !mSoundStarted) return;
    const uint32_t position = mSound->PlayPosition();
    mPlayed += (position + mRingBytes - mLastPosition) % mRingBytes;
    mLastPosition = position;
}

uint32_t MovieDecoder::SoundAhead() const {
    const uint64_t total = mWritten + mPadded;
    return total > mPlayed ? static_cast<uint32_t>(total - mPlayed) : 0;
}

void MovieDecoder::WriteSound(const uint8_t* data, uint32_t bytes) {
    while (bytes > 0) {
        UpdatePlayed();
        if (mPlayed > mWritten + mPadded) {
            // The ring ran dry: what the mixer played past the end was
            // stale. Count it as silence so the clock skips it.
            const uint64_t stale = mPlayed - (mWritten + mPadded);
            mPadded += stale;
            mSilenceInside += stale;
        }
        const uint32_t space = mRingBytes - kBytesPerFrame * 256 - SoundAhead();
        if (space == 0 || space > mRingBytes) {
            if (!mSoundStarted) {
                // The ring is full before play began: begin now.
                mSoundStarted = true;
                mStart = std::chrono::steady_clock::now();
                mSound->Play(true);
            }
            ShowDueFrames(Clock());
            std::unique_lock lock(mWaitLock);
            if (mWake.wait_for(lock, std::chrono::milliseconds(2), [this] { return mStop; }))
                return;
            continue;
        }
        const uint32_t length = std::min(bytes, space);
        const uint32_t offset = static_cast<uint32_t>((mWritten + mPadded) % mRingBytes);
        auto region = mSound->Lock(offset, length);
        if (!region) return;
        std::memcpy(region->first.data(), data, region->first.size());
        if (!region->second.empty())
            std::memcpy(region->second.data(), data + region->first.size(), region->second.size());
        mSound->Unlock();
        mWritten += length;
        data += length;
        bytes -= length;
    }
}

void MovieDecoder::PadSilence() {
    if (!mSound || !mSoundStarted) return;
    UpdatePlayed();
    if (mPlayed > mWritten + mPadded) {
        const uint64_t stale = mPlayed - (mWritten + mPadded);
        mPadded += stale;
        if (!mAudioEnd) mSilenceInside += stale;
    }
    // Keep silence ahead of the play position, so that a slow decoder or the
    // end of the sound never lets the ring repeat what it played.
    const uint32_t want = static_cast<uint32_t>(mRate * kUnderrunPad * 5) * kBytesPerFrame;
    if (SoundAhead() >= want) return;
    const uint32_t length = want - SoundAhead();
    const uint32_t offset = static_cast<uint32_t>((mWritten + mPadded) % mRingBytes);
    auto region = mSound->Lock(offset, length);
    if (!region) return;
    std::fill(region->first.begin(), region->first.end(), uint8_t{0});
    std::fill(region->second.begin(), region->second.end(), uint8_t{0});
    mSound->Unlock();
    // Silence after the movie's sound counts as time (the pictures may go on
    // longer); silence in the middle of it does not, so they keep in step.
    if (!mAudioEnd) mSilenceInside += length;
    mPadded += length;
}

double MovieDecoder::Clock() {
    if (!mSoundStarted) return 0.0;
    if (!mSound)
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - mStart).count();
    UpdatePlayed();
    const uint64_t heard = mPlayed > mSilenceInside ? mPlayed - mSilenceInside : 0;
    return static_cast<double>(heard) / (static_cast<double>(mRate) * kBytesPerFrame);
}

// [SECTION] Pictures

double MovieDecoder::FramePts(const AVFrame* frame) const {
    const AVStream* stream = mFormat->streams[mVideoStream];
    int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) pts = frame->pts;
    if (pts == AV_NOPTS_VALUE) return 0.0;
    double seconds = static_cast<double>(pts) * av_q2d(stream->time_base);
    // The clock starts at the movie's start, not at the stream's first stamp.
    if (mFormat->start_time != AV_NOPTS_VALUE)
        seconds -= static_cast<double>(mFormat->start_time) / AV_TIME_BASE;
    return seconds;
}

void MovieDecoder::ShowDueFrames(double clock) {
    while (!mQueue.empty()) {
        if (FramePts(mQueue.front()) > clock) return;
        if (mQueue.size() >= 2 && FramePts(mQueue[1]) <= clock) {
            mDropped.fetch_add(1);  // its successor is due already
        } else {
            Show(mQueue.front());
            mShown.fetch_add(1);
        }
        mFfmpeg.av_frame_free(&mQueue.front());
        mQueue.pop_front();
    }
}

void MovieDecoder::Show(AVFrame* frame) {
    std::lock_guard lock(mWindowLock);
    const WavoVideoWindow& window = mWindow;
    if (window.lock == nullptr || window.width <= 0 || window.height <= 0) return;
    mScaler = mFfmpeg.sws_getCachedContext(
        mScaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
        window.width, window.height, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (mScaler == nullptr) return;
    uint8_t* pixels = window.lock(window.context);
    if (pixels == nullptr) {
        if (window.unlock) window.unlock(window.context);
        return;
    }
    uint8_t* planes[4] = {pixels, nullptr, nullptr, nullptr};
    int strides[4] = {window.stride, 0, 0, 0};
    mFfmpeg.sws_scale(mScaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    if (window.unlock) window.unlock(window.context);
    if (window.presented) window.presented(window.context, 0, 0, window.width, window.height);
}

// [SECTION] Decoding flat out

double MovieDecoder::DecodeAll(const WavoVideoWindow& window) {
    mWindow = window;
    if (mAudio != nullptr) {
        mRate = 44100;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout input{};
        mFfmpeg.av_channel_layout_default(&input, std::max(1, mAudio->ch_layout.nb_channels));
        if (mFfmpeg.swr_alloc_set_opts2(&mConverter, &stereo, AV_SAMPLE_FMT_S16, 44100, &input,
                                        mAudio->sample_fmt, mAudio->sample_rate, 0, nullptr) < 0 ||
            mFfmpeg.swr_init(mConverter) < 0)
            mFfmpeg.swr_free(&mConverter);
        mFfmpeg.av_channel_layout_uninit(&input);
    }
    std::vector<uint8_t> pcm;
    auto drainAudio = [&](bool end) {
        while (mFfmpeg.avcodec_receive_frame(mAudio, mDecoded) >= 0) {
            const int room = mFfmpeg.swr_get_out_samples(mConverter, mDecoded->nb_samples);
            pcm.resize(static_cast<size_t>(std::max(room, 0)) * kBytesPerFrame);
            uint8_t* out = pcm.data();
            mFfmpeg.swr_convert(mConverter, &out, room,
                                const_cast<const uint8_t**>(mDecoded->extended_data),
                                mDecoded->nb_samples);
            mFfmpeg.av_frame_unref(mDecoded);
        }
        (void)end;
    };
    auto drainVideo = [&] {
        while (mFfmpeg.avcodec_receive_frame(mVideo, mDecoded) >= 0) {
            Show(mDecoded);
            mFfmpeg.av_frame_unref(mDecoded);
        }
    };
    while (mFfmpeg.av_read_frame(mFormat, mPacket) >= 0) {
        if (mPacket->stream_index == mVideoStream &&
            mFfmpeg.avcodec_send_packet(mVideo, mPacket) >= 0)
            drainVideo();
        else if (mPacket->stream_index == mAudioStream && mConverter != nullptr &&
                 mFfmpeg.avcodec_send_packet(mAudio, mPacket) >= 0)
            drainAudio(false);
        mFfmpeg.av_packet_unref(mPacket);
    }
    if (mVideo != nullptr && mFfmpeg.avcodec_send_packet(mVideo, nullptr) >= 0) drainVideo();
    if (mConverter != nullptr && mFfmpeg.avcodec_send_packet(mAudio, nullptr) >= 0)
        drainAudio(true);
    return mFormat->duration > 0 ? static_cast<double>(mFormat->duration) / AV_TIME_BASE : 0.0;
}

}  // namespace wavo
