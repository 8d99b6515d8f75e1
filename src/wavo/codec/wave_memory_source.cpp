#include "wave_memory_source.h"

#include <cstring>
#include <span>

namespace wavo {
namespace {

// A view of the block that refuses to look past its end.
class RiffReader {
public:
    RiffReader(const uint8_t* data, int64_t size) : mData(data), mSize(size) {}

    bool HasTag(int64_t at, const char* tag) const {
        return Holds(at, 4) && std::memcmp(mData + at, tag, 4) == 0;
    }
    bool ReadSize(int64_t at, int64_t& size) const {
        if (!Holds(at, 4)) return false;
        const uint8_t* p = mData + at;
        size =
            static_cast<int64_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
        return true;
    }
    bool Holds(int64_t at, int64_t length) const {
        return at >= 0 && length >= 0 && at <= mSize && length <= mSize - at;
    }

private:
    const uint8_t* mData;
    int64_t mSize;
};

}  // namespace

bool WaveMemorySource::Open(const void* address, int64_t size) {
    Close();
    if (!address || size < 12) return false;
    const auto* data = static_cast<const uint8_t*>(address);
    RiffReader riff(data, size);
    if (!riff.HasTag(0, "RIFF") || !riff.HasTag(8, "WAVE") || !riff.HasTag(12, "fmt "))
        return false;
    int64_t formatSize = 0;
    if (!riff.ReadSize(16, formatSize) || !riff.Holds(20, formatSize)) return false;

    int64_t chunk = 20 + formatSize;
    int64_t chunkSize = 0;
    if (riff.HasTag(chunk, "fact")) {
        if (!riff.ReadSize(chunk + 4, chunkSize)) return false;
        chunk += 8 + chunkSize;
    }
    // Anything else before the data (a LIST chunk, say) is refused, not skipped.
    if (!riff.HasTag(chunk, "data") || !riff.ReadSize(chunk + 4, chunkSize) ||
        !riff.Holds(chunk + 8, chunkSize))
        return false;

    mFormat = WaveFormat::FromChunk(std::span(data + 20, static_cast<size_t>(formatSize)));
    SetWindow(data + chunk + 8, chunkSize);
    return true;
}

void WaveMemorySource::Close() {
    MemorySource::Close();
    mFormat.reset();
}

double WaveMemorySource::LengthMs() const {
    if (!mFormat || mFormat->avgBytesPerSec == 0 || Size() < 0) return 0;
    return static_cast<double>(Size()) * 1000.0 / mFormat->avgBytesPerSec;
}

}  // namespace wavo
