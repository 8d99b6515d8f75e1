#include "memory_source.h"

#include <algorithm>
#include <cstring>

namespace wavo {

bool MemorySource::Open(const void* address, int64_t size) {
    Close();
    if (!address || size < 1) return false;
    SetWindow(static_cast<const uint8_t*>(address), size);
    return true;
}

void MemorySource::Close() {
    SetWindow(nullptr, 0);
}

void MemorySource::SetWindow(const uint8_t* data, int64_t size) {
    mData = data;
    mSize = size;
    mPosition = 0;
    mAtEnd = false;
}

int64_t MemorySource::Read(void* destination, int64_t length) {
    if (!mData || length <= 0) return 0;
    int64_t count = std::min(length, mSize - mPosition);
    if (count > 0) std::memcpy(destination, mData + mPosition, static_cast<size_t>(count));
    mPosition += count;
    if (mPosition == mSize) mAtEnd = true;
    return count;
}

bool MemorySource::Seek(int64_t position) {
    if (!mData || position < 0 || position > mSize) return false;
    mPosition = position;
    mAtEnd = position == mSize;
    return true;
}

}  // namespace wavo
