#include "platform/arc/zip_reader.h"

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

std::unique_ptr<ZipReader> ZipReader::Open(const std::string& path, std::string& error) {
    int code = 0;
    // ZIP_CHECKCONS compares every local header with the central directory,
    // so that a damaged archive is refused here and not halfway through a game.
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (archive == nullptr) {
        error = path + ": " + ZipErrorText(code);
        return nullptr;
    }
    return std::unique_ptr<ZipReader>(new ZipReader(archive));
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
