// Builds a ".quor" archive: the file list first, then one entry per key, in
// the order the keys were added (see trel.h for the layout).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/text_encoding.h"

namespace zelk {

// The player gives every archive a range of 5000 ids, the file list
// included; an archive with more entries would run into the next one's.
inline constexpr std::size_t kMaxArchiveEntries = 5000;

class QuorWriter {
public:
    // `listKey` is the key on line 0, which names the file list itself.
    // A UTF-8 game's list is UTF-8 and starts with a byte-order mark, so
    // that the player reads it right before it has read the game's
    // SystemInfo (which it finds through the list).
    explicit QuorWriter(std::string listKey = "filelist", TextEncoding encoding = TextEncoding());

    // Queues an entry read from the file at `path` when the archive is
    // written, or one holding `bytes`. `name` is the informational entry
    // name; `compress` deflates the entry, else it is stored. Refused, with a
    // message in `error`: a key that is empty, has a line break, can't be
    // written in the game's encoding or is already queued (keys ignore case), and an entry
    // beyond kMaxArchiveEntries.
    bool AddFile(const std::string& key, const std::string& name, const std::string& path,
                 bool compress, std::string& error);
    bool AddBytes(const std::string& key, const std::string& name, std::string bytes, bool compress,
                  std::string& error);

    bool HasKey(std::string_view key) const;
    // Entries so far, the file list included.
    std::size_t EntryCount() const { return mEntries.size() + 1; }

    // The file list: every key in the game's encoding, each line ending in
    // CR LF.
    std::string FileList() const;

    // Writes the archive to a temporary file beside `path`, syncs it and
    // renames it over `path`, so an old archive survives any failure.
    bool Write(const std::string& path, std::string& error) const;

private:
    struct Entry {
        std::string listLine;  // the key in the game's encoding
        std::string name;
        std::string path;   // read from here when not empty,
        std::string bytes;  // else these
        bool compress = false;
    };

    bool Queue(const std::string& key, Entry entry, std::string& error);

    TextEncoding mEncoding;
    std::string mListLine;
    std::vector<Entry> mEntries;
    std::unordered_set<std::string> mFoldedKeys;
};

}  // namespace zelk
