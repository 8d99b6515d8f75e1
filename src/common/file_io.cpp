#include "common/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace zelk {

namespace {

// Closes the descriptor it holds, on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : mFd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return mFd; }
    bool Close() {
        if (mFd < 0) return true;
        const bool ok = ::close(mFd) == 0;
        mFd = -1;
        return ok;
    }

private:
    int mFd;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A new file of a name no one else uses, beside `path`. It is created as
// any new file is (mode 0666 under the umask, the folder's default ACL), so
// that it never carries more rights than the reader gives new files.
int CreateTemporary(const std::string& folder, const std::string& name, std::string& temporary) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char noise[6] = {};
        if (::getrandom(noise, sizeof noise, 0) != static_cast<ssize_t>(sizeof noise)) {
            const auto mix = static_cast<unsigned>(::getpid()) * 2654435761u +
                             static_cast<unsigned>(attempt) * 40503u;
            for (std::size_t i = 0; i < sizeof noise; ++i)
                noise[i] = static_cast<unsigned char>(mix >> (i * 4));
        }
        std::string unique;
        for (const unsigned char c : noise)
            unique += kLetters[c % (sizeof kLetters - 1)];
        temporary = folder + "/." + name + "." + unique + std::string(kPartSuffix);
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Returns false with errno as it was when the failure happened, whatever
// the cleaning up did to it.
bool FailWith(int error) {
    errno = error;
    return false;
}

}  // namespace

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit) {
    // Asked before opening: opening a FIFO waits for a writer, and opening
    // some devices does something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return std::nullopt;
    }
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) return std::nullopt;
    // The name may have been given to something else meanwhile.
    if (::fstat(file.Get(), &info) != 0) return std::nullopt;
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(info.st_size) > limit) {
        errno = EFBIG;
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        // A file that grows while it is read is held to the limit too.
        if (static_cast<std::size_t>(got) > limit - bytes.size()) {
            errno = EFBIG;
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.back() == '/') return FailWith(EINVAL);
    const std::string folder = FolderOf(path);
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    std::string temporary;
    FileDescriptor file(CreateTemporary(folder, name, temporary));
    if (file.Get() < 0) return false;

    // A file the reader has (their own chmod, say) keeps its rights; a link
    // in the way says nothing of the file that replaces it.
    bool written = true;
    struct stat old {};
    struct stat made {};
    if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fstat(file.Get(), &made) == 0 && (made.st_mode & 07777) != (old.st_mode & 0777)) {
        written = ::fchmod(file.Get(), old.st_mode & 0777) == 0;
    }
    written = written && WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0;
    int error = written ? 0 : errno;
    if (!file.Close() && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return FailWith(error);
    }
    // The rename itself must reach the disk before the write counts as done.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
    return true;
}

int RemoveWriteLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= kPartSuffix.size() || !name.ends_with(kPartSuffix)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) continue;
        if (::unlinkat(::dirfd(dir), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace zelk
