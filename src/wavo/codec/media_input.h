#pragma once
// MediaInput: a container opened by FFmpeg through the engine's own reader
// (an AVIOContext on a Source), never by name. Only the demuxers listed are
// tried, and the demuxer may open no other name: playlists, concatenation
// lists and references inside a movie would otherwise follow names in the
// data to other files or to the network. A file that asks for one fails.

#include <string>

#include "source.h"

struct AVFormatContext;
struct AVIOContext;

namespace wavo {

class Ffmpeg;

class MediaInput {
public:
    // FFmpeg must outlive the input.
    explicit MediaInput(const Ffmpeg& ffmpeg) : mFfmpeg(ffmpeg) {}
    ~MediaInput();
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;

    // Reads the container's header from the source (which must outlive
    // this), trying only the demuxers named in `formats` (FFmpeg's short
    // names, comma-separated). False with `error` when it is none of them.
    bool Open(Source& source, const char* formats, std::string& error);
    AVFormatContext* Format() const { return mFormat; }
    // The first name the data asked to open, refused; empty when none.
    const std::string& Refused() const { return mRefused; }

private:
    static int RefuseOpen(AVFormatContext* format, AVIOContext** io, const char* url, int flags,
                          void* options);

    const Ffmpeg& mFfmpeg;
    AVIOContext* mIo = nullptr;
    AVFormatContext* mFormat = nullptr;
    std::string mRefused;
};

}  // namespace wavo
