#include "media_input.h"

#include <cstdio>

#include "ffmpeg_library.h"

namespace wavo {
namespace {

constexpr int kIoBufferSize = 32768;

int ReadSource(void* opaque, uint8_t* buffer, int size) {
    const int64_t got = static_cast<Source*>(opaque)->Read(buffer, size);
    return got > 0 ? static_cast<int>(got) : AVERROR_EOF;
}

int64_t SeekSource(void* opaque, int64_t offset, int whence) {
    auto* source = static_cast<Source*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) return source->Size();
    int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = source->Tell();
    } else if (whence == SEEK_END) {
        base = source->Size();
    } else if (whence != SEEK_SET) {
        return AVERROR(EINVAL);
    }
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target)) return AVERROR(EINVAL);
    return source->Seek(target) ? target : AVERROR(EIO);
}

}  // namespace

MediaInput::~MediaInput() {
    mFfmpeg.avformat_close_input(&mFormat);
    // A custom reader stays ours, its buffer too (FFmpeg may have replaced
    // the one it was given).
    if (mIo != nullptr) {
        mFfmpeg.av_freep(&mIo->buffer);
        mFfmpeg.avio_context_free(&mIo);
    }
}

int MediaInput::RefuseOpen(AVFormatContext* format, AVIOContext** /*io*/, const char* url,
                           int /*flags*/, void* /*options*/) {
    auto* self = static_cast<MediaInput*>(format->opaque);
    if (self != nullptr && self->mRefused.empty()) self->mRefused = url != nullptr ? url : "";
    return AVERROR(EPERM);
}

bool MediaInput::Open(Source& source, const char* formats, std::string& error) {
    const Ffmpeg& f = mFfmpeg;
    auto* buffer = static_cast<uint8_t*>(f.av_malloc(kIoBufferSize));
    if (buffer != nullptr)
        mIo = f.avio_alloc_context(buffer, kIoBufferSize, 0, &source, ReadSource, nullptr,
                                   SeekSource);
    if (mIo == nullptr) f.av_free(buffer);
    mFormat = f.avformat_alloc_context();
    if (mIo == nullptr || mFormat == nullptr) {
        error = "out of memory";
        return false;
    }
    mFormat->pb = mIo;
    mFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
    mFormat->format_whitelist = f.av_strdup(formats);
    // No protocol at all: whatever a demuxer would open besides the data
    // fails, here and in every nested context.
    mFormat->protocol_whitelist = f.av_strdup("none");
    mFormat->opaque = this;
    mFormat->io_open = [](AVFormatContext* format, AVIOContext** io, const char* url, int flags,
                          AVDictionary** options) {
        return RefuseOpen(format, io, url, flags, options);
    };
    // On failure FFmpeg frees the context and clears the pointer.
    const int result = f.avformat_open_input(&mFormat, nullptr, nullptr, nullptr);
    if (result < 0) {
        error = f.ErrorText(result);
        if (!mRefused.empty()) error = "it names another file (" + mRefused + ")";
        return false;
    }
    return true;
}

}  // namespace wavo
