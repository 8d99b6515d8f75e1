// Paths. Names inside game data were written on a case-insensitive system
// with "\" as separator; ResolvePath finds what they name on this one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// True when the path names an existing entry that is not a folder.
bool FileExists(const std::string& path);

// True when the path names an existing folder.
bool FolderExists(const std::string& path);

// Joins with "/" (no doubled separator); an empty part gives the other.
std::string JoinPath(std::string_view base, std::string_view name);

// Finds the existing file or folder that `name` (separators "\" or "/", any
// case, "." and ".." allowed) names below the folder `base`. An exact match
// wins; otherwise each part is matched without regard to ASCII case, the
// first entry in name order winning. Folder listings are cached and re-read
// when a folder's modification time changes. Nothing when no entry matches.
std::optional<std::string> ResolvePath(std::string_view base, std::string_view name);

}  // namespace zelk
