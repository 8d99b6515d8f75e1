#include "ffmpeg_library.h"

#include <cstdio>

namespace wavo {

FfmpegFiles FfmpegFiles::Installed() {
    return {WAVO_AVUTIL_FILE, WAVO_AVCODEC_FILE, WAVO_AVFORMAT_FILE, WAVO_SWRESAMPLE_FILE,
            WAVO_SWSCALE_FILE};
}

std::unique_ptr<Ffmpeg> Ffmpeg::Load(const FfmpegFiles& files, std::string& why) {
    auto ffmpeg = std::make_unique<Ffmpeg>();
    Ffmpeg& f = *ffmpeg;
    const auto open = [&why](SharedLibrary& library, const std::string& file) {
        if (library.Open(file)) return true;
        why = library.Error();
        return false;
    };
    if (!open(f.mUtil, files.util) || !open(f.mResample, files.resample) ||
        !open(f.mScale, files.scale) || !open(f.mCodec, files.codec) ||
        !open(f.mFormat, files.format))
        return nullptr;
#define WAVO_FIND_UTIL(name) f.mUtil.Find(#name, f.name);
#define WAVO_FIND_CODEC(name) f.mCodec.Find(#name, f.name);
#define WAVO_FIND_FORMAT(name) f.mFormat.Find(#name, f.name);
#define WAVO_FIND_RESAMPLE(name) f.mResample.Find(#name, f.name);
#define WAVO_FIND_SCALE(name) f.mScale.Find(#name, f.name);
    WAVO_AVUTIL_FUNCTIONS(WAVO_FIND_UTIL)
    WAVO_AVCODEC_FUNCTIONS(WAVO_FIND_CODEC)
    WAVO_AVFORMAT_FUNCTIONS(WAVO_FIND_FORMAT)
    WAVO_SWRESAMPLE_FUNCTIONS(WAVO_FIND_RESAMPLE)
    WAVO_SWSCALE_FUNCTIONS(WAVO_FIND_SCALE)
#undef WAVO_FIND_UTIL
#undef WAVO_FIND_CODEC
#undef WAVO_FIND_FORMAT
#undef WAVO_FIND_RESAMPLE
#undef WAVO_FIND_SCALE
    for (const SharedLibrary* library :
         {&f.mUtil, &f.mResample, &f.mScale, &f.mCodec, &f.mFormat}) {
        if (!library->Complete()) {
            why = library->Error();
            return nullptr;
        }
    }
    for (SharedLibrary* library : {&f.mUtil, &f.mResample, &f.mScale, &f.mCodec, &f.mFormat})
        library->Keep();
    return ffmpeg;
}

std::unique_ptr<Ffmpeg> Ffmpeg::LoadOrTell(const FfmpegFiles& files) {
    std::string why;
    std::unique_ptr<Ffmpeg> loaded = Load(files, why);
    if (!loaded)
        std::fprintf(stderr,
                     "wavo: FFmpeg cannot be loaded (%s): movies and Opus, FLAC and MP3 sounds "
                     "are skipped\n",
                     why.c_str());
    return loaded;
}

const Ffmpeg* Ffmpeg::Shared() {
    // Loaded once, by whichever thread first needs it.
    static const std::unique_ptr<Ffmpeg> shared = LoadOrTell(FfmpegFiles::Installed());
    return shared.get();
}

std::string Ffmpeg::ErrorText(int error) const {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

}  // namespace wavo
