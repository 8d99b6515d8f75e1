#pragma once
// MovieDecoder: one open movie file and the thread that plays it. The thread
// reads packets, keeps the sound ring about a third of a second ahead of the
// play position and shows each decoded picture when the sound clock reaches
// it; a picture whose successor is already due is dropped without scaling.
// A movie without sound runs on the steady clock instead.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "wavo.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

namespace wavo {

class Ffmpeg;
class FileSource;
class MediaInput;
class Mixer;
class SoundBuffer;
struct MovieStats;

class MovieDecoder {
public:
    // The containers a movie is taken from: MPEG program and transport
    // streams, MP4/QuickTime, Matroska/WebM, AVI, ASF (WMV) and Ogg.
    static constexpr const char* kContainers = "mpeg,mpegts,mpegvideo,mov,matroska,avi,asf,ogg";

    // Opens the file and its decoders; nullptr with FFmpeg's result and a
    // text when the file is missing or no regular file, is none of those
    // containers, asks to open another name, or has no stream we can
    // decode.
    // FFmpeg must outlive the decoder.
    static std::unique_ptr<MovieDecoder> Open(const Ffmpeg& ffmpeg, const std::string& path,
                                              int& error, std::string& why);
    ~MovieDecoder();
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;

    // Starts the thread. The mixer may be null: the sound is then skipped.
    void Start(const WavoVideoWindow& window, Mixer* mixer, int32_t volume,
               std::function<void()> onEnd = {});
    // Later pictures go to the new window (the old one is not touched
    // after this returns).
    void SetWindow(const WavoVideoWindow& window);
    // Stops and joins the thread; the output is silent when it returns.
    void Stop();
    bool Finished() const { return mFinished.load(std::memory_order_acquire); }
    void ReadStats(MovieStats& stats) const;

    // Decodes and converts the whole movie as fast as it goes, without
    // clock or sound output (the benchmark's measure). Pictures are scaled
    // into the window when it has pixels. Returns the movie's length in
    // seconds.
    double DecodeAll(const WavoVideoWindow& window);

private:
    struct Key {};

public:
    MovieDecoder(Key, const Ffmpeg& ffmpeg);

private:
    struct Frame;

    void Run();
    bool ReadPacket();
    void DecodeVideo(const AVPacket* packet);
    void DecodeAudio(const AVPacket* packet);
    void WriteSound(const uint8_t* data, uint32_t bytes);
    void PadSilence();
    void ShowDueFrames(double clock);
    void Show(AVFrame* frame);
    double Clock();
    uint32_t SoundAhead() const;
    void UpdatePlayed();
    double FramePts(const AVFrame* frame) const;

    const Ffmpeg& mFfmpeg;
    std::unique_ptr<FileSource> mFile;
    std::unique_ptr<MediaInput> mInput;
    AVFormatContext* mFormat = nullptr;  // the input's
    AVCodecContext* mVideo = nullptr;
    AVCodecContext* mAudio = nullptr;
    int mVideoStream = -1;
    int mAudioStream = -1;
    SwsContext* mScaler = nullptr;
    SwrContext* mConverter = nullptr;
    AVPacket* mPacket = nullptr;
    AVFrame* mDecoded = nullptr;
    bool mDemuxEnd = false;
    bool mVideoEnd = false;
    bool mAudioEnd = false;
    std::deque<AVFrame*> mQueue;  // decoded pictures, in presentation order

    // The sound ring: stereo 16-bit at the device rate.
    std::unique_ptr<SoundBuffer> mSound;
    uint32_t mRate = 0;
    uint32_t mRingBytes = 0;
    uint64_t mWritten = 0;        // bytes of movie sound written
    uint64_t mPadded = 0;         // bytes of silence written after them
    uint64_t mPlayed = 0;         // bytes the mixer has played
    uint64_t mSilenceInside = 0;  // padding among the movie's sound
    uint32_t mLastPosition = 0;
    bool mSoundStarted = false;
    std::chrono::steady_clock::time_point mStart;

    std::mutex mWindowLock;  // the window, against SetWindow
    WavoVideoWindow mWindow{};

    std::thread mThread;
    std::mutex mWaitLock;
    std::condition_variable mWake;
    bool mStop = false;
    std::atomic<bool> mFinished{false};
    std::function<void()> mOnEnd;
    std::atomic<uint64_t> mShown{0};
    std::atomic<uint64_t> mDropped{0};
};

}  // namespace wavo
