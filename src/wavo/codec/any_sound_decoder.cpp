#include "any_sound_decoder.h"

#include "media_decoder.h"
#include "vorbis_decoder.h"

namespace wavo {

bool AnySoundDecoder::Open(uint32_t typeWord, const void* addressOrName, int64_t size) {
    mInner.reset();
    mError.clear();
    if (typeWord != kTypeSoundFile && typeWord != kTypeSoundMemory) {
        mError = "not a sound type";
        return false;
    }
    auto vorbis = std::make_unique<VorbisDecoder>();
    const uint32_t vorbisType = typeWord == kTypeSoundFile ? kTypeVorbisFile : kTypeVorbisMemory;
    if (vorbis->Open(vorbisType, addressOrName, size)) {
        mInner = std::move(vorbis);
        return true;
    }
    auto media = std::make_unique<MediaDecoder>();
    if (media->Open(typeWord, addressOrName, size)) {
        mInner = std::move(media);
        return true;
    }
    mError = media->Error();
    return false;
}

}  // namespace wavo
