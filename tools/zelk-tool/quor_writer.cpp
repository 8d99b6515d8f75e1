#include "zelk-tool/quor_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "common/codepage.h"
#include "common/text.h"

namespace zelk {

namespace {

struct ZipDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipDiscarder>;

bool SyncPath(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    return close(fd) == 0 && synced;
}

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Creates an empty, uniquely named file beside `path` to write into.
std::optional<std::string> MakeTemporaryBeside(const std::string& path, std::string& error) {
    std::string name = path + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = SystemError("cannot create a temporary file beside " + path);
        return std::nullopt;
    }
    close(fd);
    return name;
}

// Adds one entry at the next index. The source is consumed by libzip, also
// when adding fails.
bool AddEntry(zip_t* archive, zip_source_t* source, const std::string& name, bool compress,
              std::string& error) {
    if (source == nullptr) {
        error = name + ": " + zip_strerror(archive);
        return false;
    }
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_GUESS);
    if (index < 0) {
        zip_source_free(source);
        error = name + ": " + zip_strerror(archive);
        return false;
    }
    if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) != 0) {
        error = name + ": " + zip_strerror(archive);
        return false;
    }
    return true;
}

}  // namespace

QuorWriter::QuorWriter(std::string listKey, TextEncoding encoding)
    : mEncoding(encoding), mListLine(encoding.Encode(listKey)) {}

bool QuorWriter::HasKey(std::string_view key) const {
    return mFoldedKeys.contains(ToLowerAscii(key));
}

bool QuorWriter::Queue(const std::string& key, Entry entry, std::string& error) {
    if (key.empty() || key.find_first_of("\r\n") != std::string::npos) {
        error = "\"" + key + "\" can't be a key";
        return false;
    }
    std::optional<std::string> line = mEncoding.EncodeStrict(key);
    if (!line) {
        error = "\"" + key + "\" can't be written in " + mEncoding.Name();
        return false;
    }
    if (HasKey(key)) {
        error = "the key \"" + key + "\" is already taken";
        return false;
    }
    if (EntryCount() >= kMaxArchiveEntries) {
        error = "an archive holds at most " + std::to_string(kMaxArchiveEntries) + " entries";
        return false;
    }
    entry.listLine = std::move(*line);
    mFoldedKeys.insert(ToLowerAscii(key));
    mEntries.push_back(std::move(entry));
    return true;
}

bool QuorWriter::AddFile(const std::string& key, const std::string& name, const std::string& path,
                         bool compress, std::string& error) {
    return Queue(key, Entry{{}, name, path, {}, compress}, error);
}

bool QuorWriter::AddBytes(const std::string& key, const std::string& name, std::string bytes,
                          bool compress, std::string& error) {
    return Queue(key, Entry{{}, name, {}, std::move(bytes), compress}, error);
}

std::string QuorWriter::FileList() const {
    std::string list = std::string(mEncoding.IsUtf8() ? kUtf8Bom : "") + mListLine + "\r\n";
    for (const Entry& entry : mEntries)
        list += entry.listLine + "\r\n";
    return list;
}

bool QuorWriter::Write(const std::string& path, std::string& error) const {
    const std::optional<std::string> temporary = MakeTemporaryBeside(path, error);
    if (!temporary) return false;
    const auto fail = [&](std::string message) {
        std::remove(temporary->c_str());
        error = std::move(message);
        return false;
    };

    int code = 0;
    ZipPtr archive(zip_open(temporary->c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) return fail("cannot create " + *temporary);

    // The list and the queued bytes stay alive until zip_close has read them.
    const std::string list = FileList();
    std::string message;
    if (!AddEntry(archive.get(), zip_source_buffer(archive.get(), list.data(), list.size(), 0),
                  mListLine + ".txt", true, message)) {
        return fail(message);
    }
    for (const Entry& entry : mEntries) {
        zip_source_t* source =
            entry.path.empty()
                ? zip_source_buffer(archive.get(), entry.bytes.data(), entry.bytes.size(), 0)
                : zip_source_file(archive.get(), entry.path.c_str(), 0, -1);
        if (!AddEntry(archive.get(), source, entry.name, entry.compress, message)) {
            return fail(message);
        }
    }
    if (zip_close(archive.get()) != 0) return fail(path + ": " + zip_strerror(archive.get()));
    archive.release();

    // An archive is data to share: readable by all, as a plain new file is.
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (chmod(temporary->c_str(), mode) != 0 || !SyncPath(*temporary, O_RDONLY)) {
        return fail(SystemError("cannot sync " + *temporary));
    }
    if (std::rename(temporary->c_str(), path.c_str()) != 0) {
        return fail(SystemError("cannot replace " + path));
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    SyncPath(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
    return true;
}

}  // namespace zelk
