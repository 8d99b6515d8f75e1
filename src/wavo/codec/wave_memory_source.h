#pragma once

#include <optional>

#include "memory_source.h"

namespace wavo {

// A RIFF WAVE block: reads see only the data chunk, and the format is the fmt
// chunk's. Opening refuses a block whose header does not follow the layout
// "RIFF" size "WAVE", "fmt " chunk, an optional "fact" chunk, "data" chunk, or
// whose data chunk runs past the block.
class WaveMemorySource final : public MemorySource {
public:
    // Fails for a null address or a size below 12.
    bool Open(const void* address, int64_t size);

    void Close() override;
    // Data size x 1000 / average bytes per second.
    double LengthMs() const override;
    const WaveFormat* Format() const override { return mFormat ? &*mFormat : nullptr; }

private:
    std::optional<WaveFormat> mFormat;
};

}  // namespace wavo
