#include "file_source.h"

namespace wavo {

bool FileSource::Open(const std::string& fileName) {
    Close();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file || fseeko(file.get(), 0, SEEK_END) != 0) return false;
    int64_t size = ftello(file.get());
    if (size < 0 || fseeko(file.get(), 0, SEEK_SET) != 0) return false;
    mFile = std::move(file);
    mSize = size;
    return true;
}

void FileSource::Close() {
    mFile.reset();
    mSize = 0;
    mPosition = 0;
    mAtEnd = false;
}

int64_t FileSource::Read(void* destination, int64_t length) {
    if (!mFile || length <= 0) return 0;
    size_t got = std::fread(destination, 1, static_cast<size_t>(length), mFile.get());
    mPosition += static_cast<int64_t>(got);
    if (got == 0) mAtEnd = true;
    return static_cast<int64_t>(got);
}

bool FileSource::Seek(int64_t position) {
    if (!mFile || position < 0 || position > mSize) return false;
    if (fseeko(mFile.get(), position, SEEK_SET) != 0) return false;
    mPosition = position;
    mAtEnd = position == mSize;
    return true;
}

}  // namespace wavo
