#pragma once

#include "source.h"

namespace wavo {

// Reads a block that someone else owns and keeps alive while the source is open.
class MemorySource : public Source {
public:
    // Fails for a null address or a size below 1.
    bool Open(const void* address, int64_t size);

    void Close() override;
    int64_t Read(void* destination, int64_t length) override;
    bool Seek(int64_t position) override;
    int64_t Size() const override { return mData ? mSize : -1; }
    double LengthMs() const override { return 0; }
    int64_t Tell() const override { return mPosition; }
    const WaveFormat* Format() const override { return nullptr; }
    bool IsOpen() const override { return mData != nullptr; }
    bool AtEnd() const override { return mAtEnd; }

protected:
    // The window of the block that reads see.
    void SetWindow(const uint8_t* data, int64_t size);

private:
    const uint8_t* mData = nullptr;
    int64_t mSize = 0;
    int64_t mPosition = 0;
    bool mAtEnd = false;
};

}  // namespace wavo
