#pragma once
// FFmpeg, opened when the first movie or the first sound that is no Ogg
// Vorbis needs it: the five libraries bring a hundred others with them,
// which a game that plays neither never maps. Its headers give the types;
// the functions are called through the pointers below. Without it movies
// and those sounds are skipped and everything else plays.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

#include "shared_library.h"

// Every FFmpeg function the engine calls, by the library that holds it.
// clang-format off
#define WAVO_AVUTIL_FUNCTIONS(X) \
    X(av_channel_layout_copy) \
    X(av_channel_layout_default) \
    X(av_channel_layout_uninit) \
    X(av_dict_get) \
    X(av_frame_alloc) \
    X(av_frame_free) \
    X(av_frame_move_ref) \
    X(av_frame_unref) \
    X(av_free) \
    X(av_freep) \
    X(av_malloc) \
    X(av_rescale_q) \
    X(av_strdup) \
    X(av_strerror)
#define WAVO_AVCODEC_FUNCTIONS(X) \
    X(av_packet_alloc) \
    X(av_packet_free) \
    X(av_packet_unref) \
    X(avcodec_alloc_context3) \
    X(avcodec_find_decoder) \
    X(avcodec_free_context) \
    X(avcodec_get_name) \
    X(avcodec_open2) \
    X(avcodec_parameters_to_context) \
    X(avcodec_receive_frame) \
    X(avcodec_send_packet)
#define WAVO_AVFORMAT_FUNCTIONS(X) \
    X(av_find_best_stream) \
    X(av_read_frame) \
    X(avformat_alloc_context) \
    X(avformat_close_input) \
    X(avformat_find_stream_info) \
    X(avformat_open_input) \
    X(avio_alloc_context) \
    X(avio_context_free)
#define WAVO_SWRESAMPLE_FUNCTIONS(X) \
    X(swr_alloc_set_opts2) \
    X(swr_convert) \
    X(swr_free) \
    X(swr_get_out_samples) \
    X(swr_init)
#define WAVO_SWSCALE_FUNCTIONS(X) \
    X(sws_getCachedContext) \
    X(sws_freeContext) \
    X(sws_scale)
// clang-format on

namespace wavo {

// The file each FFmpeg library is opened by.
struct FfmpegFiles {
    std::string util, codec, format, resample, scale;

    // The sonames of the libraries the engine was built against.
    static FfmpegFiles Installed();
};

class Ffmpeg {
public:
    // nullptr, with `why` naming the library and what failed, unless all
    // five load and hold every function.
    static std::unique_ptr<Ffmpeg> Load(const FfmpegFiles& files, std::string& why);
    // Load, saying in one line on standard error what is skipped without it.
    static std::unique_ptr<Ffmpeg> LoadOrTell(const FfmpegFiles& files);
    // The process's one copy of the installed libraries, loaded (or told
    // missing) on the first call; nullptr when they are missing.
    static const Ffmpeg* Shared();

    // FFmpeg's text for one of its error results.
    std::string ErrorText(int error) const;

#define WAVO_FFMPEG_POINTER(name) decltype(&::name) name = nullptr;
    WAVO_AVUTIL_FUNCTIONS(WAVO_FFMPEG_POINTER)
    WAVO_AVCODEC_FUNCTIONS(WAVO_FFMPEG_POINTER)
    WAVO_AVFORMAT_FUNCTIONS(WAVO_FFMPEG_POINTER)
    WAVO_SWRESAMPLE_FUNCTIONS(WAVO_FFMPEG_POINTER)
    WAVO_SWSCALE_FUNCTIONS(WAVO_FFMPEG_POINTER)
#undef WAVO_FFMPEG_POINTER

private:
    // In the order they depend on one another.
    SharedLibrary mUtil, mResample, mScale, mCodec, mFormat;
};

// Where a caller takes FFmpeg from: Ffmpeg::Shared, or in the tests a
// library that is not there.
using FfmpegSource = const Ffmpeg* (*)();

}  // namespace wavo
