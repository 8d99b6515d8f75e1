#pragma once
// Where a decoder reads its data from: a file, or a memory block the host
// filled. Positions and sizes are bytes from the start of the data.

#include <cstdint>

#include "wave_format.h"

namespace wavo {

class Source {
public:
    virtual ~Source() = default;

    virtual void Close() = 0;
    // Copies min(length, remaining) bytes; a request that reaches the end sets AtEnd.
    virtual int64_t Read(void* destination, int64_t length) = 0;
    // Accepts 0 to Size(), Size() included (which sets AtEnd); refuses the rest.
    virtual bool Seek(int64_t position) = 0;
    // -1 when not open.
    virtual int64_t Size() const = 0;
    // 0 when the source does not know it.
    virtual double LengthMs() const = 0;
    virtual int64_t Tell() const = 0;
    // nullptr when the source does not know it.
    virtual const WaveFormat* Format() const = 0;
    virtual bool IsOpen() const = 0;
    virtual bool AtEnd() const = 0;
};

}  // namespace wavo
