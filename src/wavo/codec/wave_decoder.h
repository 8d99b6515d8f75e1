#pragma once
// Unwraps RIFF WAVE data and converts it to 16-bit PCM: 8- and 16-bit PCM,
// 32-bit float, IMA ADPCM and Microsoft ADPCM.

#include <memory>
#include <vector>

#include "decoder.h"
#include "wave_conversion.h"
#include "wave_memory_source.h"

namespace wavo {

class WaveDecoder final : public Decoder {
public:
    bool Open(uint32_t typeWord, const void* addressOrName, int64_t size) override;
    void Close() override;
    int64_t Read(void* destination, int64_t length) override;
    bool Seek(int64_t position) override;
    int64_t DecodedSize() override;
    int64_t LengthMs() override;
    int64_t Position() override;
    bool AtEnd() const override;
    const WaveFormat* SourceFormat() const override { return mSource.Format(); }
    const WaveFormat& OutputFormat() const override { return mOutputFormat; }

private:
    bool ConvertNextChunk();

    WaveMemorySource mSource;
    std::unique_ptr<WaveConversion> mConversion;
    WaveFormat mOutputFormat;
    // Source bytes read but not yet converted: the start of a block that the
    // last 1024-byte chunk cut.
    std::vector<uint8_t> mInput;
    std::vector<int16_t> mOutput;
    int64_t mOutputFilled = 0;
    int64_t mOutputReadPosition = -1;  // -1: empty
};

}  // namespace wavo
