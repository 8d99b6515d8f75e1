// Paths. Names inside game data were written on a case-insensitive system
// with "\" as separator; ResolvePath finds what they name on this one.
#pragma once

#include <functional>
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
// when a folder's modification time changes. Nothing when no entry matches,
// and nothing for a name that leaves the folder, by its text or through a
// link: such a name is told to the refused-name report below.
std::optional<std::string> ResolvePath(std::string_view base, std::string_view name);

// Why `name`, given by a game, cannot name a file below a folder: it is
// absolute, it has a scheme or a drive ("http:", "file:", "C:") or its ".."
// climb above the folder. Empty when it stays inside. Only the text is
// looked at.
std::string WhyNameLeavesFolder(std::string_view name);

// False, once the refused-name report has been told why, for a name that
// WhyNameLeavesFolder refuses: for those who look a name up more than once.
bool AcceptName(std::string_view name);

// Told of each name ResolvePath refuses, with why, on the thread that asked.
// The player shows it as a run-time error of the place that gave the name.
using RefusedNameReport = std::function<void(const std::string& name, const std::string& why)>;

// Installs the report (an empty one tells nobody); returns the one before.
RefusedNameReport SetRefusedNameReport(RefusedNameReport report);

// Where the names looked up on this thread come from while one lives (a
// settings file and its key), for the report to say; the innermost wins.
class NamePlace {
public:
    explicit NamePlace(std::string place);
    ~NamePlace();
    NamePlace(const NamePlace&) = delete;
    NamePlace& operator=(const NamePlace&) = delete;

    // The innermost place of this thread; empty when none lives.
    static std::string Current();

private:
    std::string mPlace;
    const NamePlace* mOuter;
};

}  // namespace zelk
