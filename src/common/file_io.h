// Whole-file reading and crash-safe writing. Every file the program writes
// goes through WriteFileAtomic: the reader's configuration and saves must
// never be left half-written by a crash or a full disk.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace zelk {

inline constexpr std::size_t kAnyFileSize = std::numeric_limits<std::size_t>::max();

// The ending of every temporary file a write makes; what a killed write
// leaves behind ends so, and nothing else of the reader's does.
inline constexpr std::string_view kPartSuffix = ".part";

// All bytes of a regular file; nothing when it cannot be opened or read,
// when it is no regular file (a FIFO, a device or a folder is refused at
// once, never waited on) or when it holds more than `limit` bytes (errno is
// then EFBIG). On failure errno tells why.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit = kAnyFileSize);

// True when the path names a regular file (through links): what the
// program may open as a file of its own without waiting on it.
bool IsRegularFile(const std::string& path);

// Writes the bytes to a new file in the same folder, syncs it, renames it over
// `path` and syncs the folder. On any failure the old file (if any) is left as
// it was, the temporary file is removed, the result is false and errno tells
// why (EROFS, ENOSPC, EDQUOT, EFBIG, EACCES...). A regular file that is
// replaced keeps its permission bits (never set-id bits); any other file
// takes what a new file takes under the process's umask. A link in the way
// is replaced, never followed.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

// Removes from the folder (not below it) the temporary files of writes
// that a kill or a power cut interrupted. Only call it while no other
// process may be writing there. The result is how many were removed.
int RemoveWriteLeftovers(const std::string& folder);

}  // namespace zelk
