#include "file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wavo {

bool FileSource::Open(const std::string& fileName) {
    Close();
    // Only a regular file: opening a pipe would wait for a writer, and a
    // device may never end. Without blocking until that is known.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return false;
    }
    if (fseeko(file.get(), 0, SEEK_END) != 0) return false;
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
