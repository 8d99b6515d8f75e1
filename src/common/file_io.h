// Whole-file reading and crash-safe writing. Every file the program writes
// goes through WriteFileAtomic: the reader's configuration and saves must
// never be left half-written by a crash or a full disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// All bytes of the file; nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes the bytes to a new file in the same folder, syncs it, renames it over
// `path` and syncs the folder. On any failure the old file (if any) is left as
// it was, the temporary file is removed, and the result is false. A new file
// takes the old file's permission bits, else 0644.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace zelk
