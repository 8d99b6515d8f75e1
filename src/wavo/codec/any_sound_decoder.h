#pragma once
// The decoder of the "any sound" type words: the data decides. Ogg Vorbis
// goes to the Vorbis decoder, as it always did; whatever else FFmpeg reads
// (Ogg Opus, FLAC, MP3, WAVE) goes to the media decoder.

#include <memory>
#include <string>

#include "decoder.h"

namespace wavo {

class AnySoundDecoder final : public Decoder {
public:
    bool Open(uint32_t typeWord, const void* addressOrName, int64_t size) override;
    void Close() override { mInner.reset(); }
    int64_t Read(void* destination, int64_t length) override {
        return mInner ? mInner->Read(destination, length) : 0;
    }
    bool Seek(int64_t position) override { return mInner && mInner->Seek(position); }
    int64_t DecodedSize() override { return mInner ? mInner->DecodedSize() : 0; }
    int64_t LengthMs() override { return mInner ? mInner->LengthMs() : -1; }
    int64_t Position() override { return mInner ? mInner->Position() : 0; }
    bool AtEnd() const override { return !mInner || mInner->AtEnd(); }
    const WaveFormat* SourceFormat() const override {
        return mInner ? mInner->SourceFormat() : nullptr;
    }
    const WaveFormat& OutputFormat() const override {
        return mInner ? mInner->OutputFormat() : mNoFormat;
    }
    std::optional<LoopPoints> Loop() const override {
        return mInner ? mInner->Loop() : std::nullopt;
    }

    // Why the last Open failed, for the engine's log.
    std::string Error() const override { return mError; }

private:
    std::unique_ptr<Decoder> mInner;
    std::string mError;
    WaveFormat mNoFormat;
};

}  // namespace wavo
