#include "platform/arc/zip_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace zelk {

namespace {

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

}  // namespace

ZipReader::ZipReader(zip* archive)
    : mArchive(archive), mEntryCount(static_cast<std::uint64_t>(zip_get_num_entries(archive, 0))) {}

ZipReader::~ZipReader() {
    // Read-only: nothing to write back.
    zip_discard(mArchive);
}

std::unique_ptr<ZipReader> ZipReader::Open(const std::string& path, std::string& error,
                                           bool* lying) {
    if (lying) *lying = false;
    // Not blocking: a FIFO or device in an archive's place is refused at
    // once instead of waited on. The size the entries are held to is the
    // size of the file that is read, not of whatever the name means later.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = path + ": cannot open it";
        return nullptr;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        error = path + ": no regular file";
        return nullptr;
    }
    int code = 0;
    // ZIP_CHECKCONS compares every local header with the central directory,
    // so that a damaged archive is refused here and not halfway through a game.
    zip_t* archive = zip_fdopen(fd, ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        close(fd);  // libzip owns the descriptor only once it opened it
        error = path + ": " + ZipErrorText(code);
        return nullptr;
    }
    std::unique_ptr<ZipReader> reader(new ZipReader(archive));
    if (const std::string lie = reader->CheckSizes(static_cast<std::uint64_t>(status.st_size));
        !lie.empty()) {
        error = path + ": " + lie;
        if (lying) *lying = true;
        return nullptr;
    }
    return reader;
}

std::string ZipReader::CheckSizes(std::uint64_t archiveSize) const {
    std::uint64_t packedTotal = 0;
    for (std::uint64_t index = 0; index < mEntryCount; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        constexpr zip_uint64_t kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD;
        if (zip_stat_index(mArchive, index, 0, &stat) != 0 || (stat.valid & kNeeded) != kNeeded) {
            return "entry " + std::to_string(index) + " has no sizes";
        }
        const char* name = (stat.valid & ZIP_STAT_NAME) != 0 && stat.name ? stat.name : "";
        const std::string entry = "entry " + std::to_string(index) + " (\"" + name + "\")";
        const std::string claims = entry + " claims " + std::to_string(stat.size) + " bytes";
        if (stat.comp_size > archiveSize - packedTotal) {
            return entry + " claims more packed bytes than the archive holds";
        }
        packedTotal += stat.comp_size;
        if (stat.comp_method == ZIP_CM_STORE) {
            if (stat.size != stat.comp_size) {
                return claims + " but stores " + std::to_string(stat.comp_size);
            }
        } else if (stat.comp_method == ZIP_CM_DEFLATE) {
            if (stat.size / kMaxDeflateRatio > stat.comp_size) {
                return claims + " from " + std::to_string(stat.comp_size) +
                       " deflated bytes, more than deflate can give";
            }
        } else {
            return entry + " is packed by a method archives don't use";
        }
        if (stat.size > kMaxArchiveEntrySize) {
            return claims + ", more than the " + std::to_string(kMaxArchiveEntrySize) +
                   " an entry may hold";
        }
    }
    return {};
}

std::optional<std::uint64_t> ZipReader::EntrySize(std::uint64_t index) const {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (index >= mEntryCount || zip_stat_index(mArchive, index, 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0) {
        return std::nullopt;
    }
    return stat.size;
}

bool ZipReader::Read(std::uint64_t index, std::span<std::uint8_t> destination,
                     std::string& error) const {
    const std::optional<std::uint64_t> size = EntrySize(index);
    if (!size) {
        error = "no entry " + std::to_string(index);
        return false;
    }
    if (destination.size() > *size) {
        error = "entry " + std::to_string(index) + " holds fewer bytes than asked for";
        return false;
    }
    std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(mArchive, index, 0));
    if (!file) {
        error = zip_strerror(mArchive);
        return false;
    }
    std::uint64_t done = 0;
    while (done < destination.size()) {
        const zip_int64_t got =
            zip_fread(file.get(), destination.data() + done, destination.size() - done);
        if (got <= 0) {
            error = got < 0 ? zip_file_strerror(file.get()) : "entry data ends early";
            return false;
        }
        done += static_cast<std::uint64_t>(got);
    }
    if (done == *size) {
        // libzip checks the CRC when it meets the end of the data.
        std::uint8_t extra;
        const zip_int64_t got = zip_fread(file.get(), &extra, 1);
        if (got != 0) {
            error = got < 0 ? zip_file_strerror(file.get()) : "entry data runs past its size";
            return false;
        }
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ZipReader::ReadAll(std::uint64_t index,
                                                            std::string& error) const {
    const std::optional<std::uint64_t> size = EntrySize(index);
    if (!size) {
        error = "no entry " + std::to_string(index);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(*size);
    if (!Read(index, bytes, error)) return std::nullopt;
    return bytes;
}

}  // namespace zelk
