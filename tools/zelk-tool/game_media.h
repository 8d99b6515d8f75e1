// What a game has, found the way the player finds it: loose files where the
// game's switches let the player read them (image/, sound/, scenario/, the
// movie folder), and the keys of its archives. Names compare without regard
// to case, as the player compares them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "drivers/quor_driver.h"

namespace zelk::tool {

class GameMedia {
public:
    // Reads the archives of the game set up in the process values
    // (SetUpGameFolder). False, with a message, for an archive that cannot
    // be read.
    bool Open(std::string& error);

    bool HasPicture(const std::string& name) const;
    bool HasSound(const std::string& key) const;
    bool HasMovie(const std::string& file) const;
    // The width and height of the picture the player would show for the
    // name; nothing when it has none or cannot read it.
    std::optional<std::pair<int, int>> PictureSize(const std::string& name) const;
    bool HasArchives() const { return !mArchives.empty(); }

    // Where a missing picture or sound was looked for, for messages:
    // "image/ or the archives", "the archives", "image/".
    std::string PictureFolders() const;
    std::string SoundFolders() const;

    // Scenarios: loose files of scenario/ while the game reads them, else
    // archive entries in the regular form.
    bool LooseScenarios() const;
    // The loose scenario file of that name (any case), if there is one.
    std::optional<std::string> ScenarioFile(const std::string& name) const;
    // The text of the archive entry with that key, read in the game's
    // encoding (CP932 until the game's SystemInfo says otherwise).
    std::optional<std::string> ArchiveText(const std::string& key) const;
    void Encoding(TextEncoding encoding) {
        mEncoding = encoding;
        if (mQuor) mQuor->Encoding(encoding);
    }
    TextEncoding Encoding() const { return mEncoding; }
    bool HasArchiveKey(const std::string& key) const;

    // Every archive entry read whole, as the player reads it (its checksum
    // checked), and every picture among them decoded as the player decodes
    // it: one line for each entry the player would refuse ("ARCHIVE: error:
    // entry N "KEY" ..."), the archive named below `shownFolder`.
    std::vector<std::string> DamagedEntries(const std::string& shownFolder) const;

private:
    // Whether a loose file of that name is there, kept per name: a large game
    // names the same few pictures and sounds thousands of times.
    bool HasLoose(const std::string& folder, const std::string& name,
                  const std::vector<std::string>& endings) const;

    std::vector<std::string> mPictureKinds;
    std::vector<std::string> mSoundKinds;
    std::vector<std::string> mArchives;
    std::unique_ptr<clsQuorDriver> mQuor;
    std::vector<std::vector<std::string>> mLists;          // each archive's keys
    std::unordered_set<std::string> mKeys;                 // in small letters
    mutable std::unordered_map<std::string, bool> mLoose;  // by folder and name
    TextEncoding mEncoding;
};

}  // namespace zelk::tool
