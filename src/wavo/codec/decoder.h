#pragma once
// A decoder turns a source's data into 16-bit PCM on request. Positions and
// sizes are bytes of decoded PCM unless a name says otherwise.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "wave_format.h"

namespace wavo {

// The type words that choose a decoder and its source.
inline constexpr uint32_t kTypeWaveMemory = 0x49080402;    // WAVE decoder, WAVE memory source
inline constexpr uint32_t kTypeVorbisFile = 0x49081001;    // Vorbis decoder, file source
inline constexpr uint32_t kTypeVorbisMemory = 0x49081002;  // Vorbis decoder, memory source
// Any sound the engine decodes: Ogg Vorbis through the Vorbis decoder, the
// rest (Ogg Opus, FLAC, MP3, WAVE) through FFmpeg.
inline constexpr uint32_t kTypeSoundFile = 0x49082001;
inline constexpr uint32_t kTypeSoundMemory = 0x49082002;

// The repeat section a piece of music names for itself, in frames: an intro
// plays once, then the section repeats.
struct LoopPoints {
    int64_t startFrame = 0;
    int64_t lengthFrames = -1;  // -1: to the end of the data
};

// The section that LOOPSTART and LOOPLENGTH tags name (their texts, null
// when absent), as the loop tools of game music write them. A start that is
// not a plain count of frames names none: the piece then repeats whole.
std::optional<LoopPoints> LoopFromTags(const char* start, const char* length);

class Decoder {
public:
    virtual ~Decoder() = default;

    // addressOrName is the memory block (of size bytes) for the memory types and
    // a zero-terminated file name for the file type, whose size is ignored. A
    // memory block must outlive the decoder's open state: it is read, not copied.
    // False for a type word this decoder does not take and for data it cannot
    // decode; the decoder is then closed.
    virtual bool Open(uint32_t typeWord, const void* addressOrName, int64_t size) = 0;
    virtual void Close() = 0;
    // Fills up to length bytes and returns how many it wrote: fewer only at the
    // end of the data or after a decode error, which ends the sound early.
    virtual int64_t Read(void* destination, int64_t length) = 0;
    // Moves to a decoded byte position (0 restarts the sound).
    virtual bool Seek(int64_t position) = 0;
    virtual int64_t DecodedSize() = 0;
    // -1 when it cannot be known.
    virtual int64_t LengthMs() = 0;
    virtual int64_t Position() = 0;
    virtual bool AtEnd() const = 0;
    // nullptr when the data carries no format record of its own.
    virtual const WaveFormat* SourceFormat() const = 0;
    // The PCM that Read delivers: 16 bits, tag 1. Valid while open.
    virtual const WaveFormat& OutputFormat() const = 0;
    // nullopt for data that names no repeat section (the whole sound repeats).
    virtual std::optional<LoopPoints> Loop() const { return std::nullopt; }
    // Why the last Open failed, where the decoder can tell; for the log.
    virtual std::string Error() const { return {}; }
};

// The decoder that a type word asks for, not yet open; nullptr for a type word
// that names none.
std::unique_ptr<Decoder> CreateDecoder(uint32_t typeWord);

}  // namespace wavo
