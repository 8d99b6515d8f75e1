// clsQuorDriver: the game's access to its packed data. It keeps the table
// from file keys (a picture, sound or script name) to archive entry ids and
// forwards reads to the archive library (platform/arc/trel.h), turning every
// failure into false, -1 or size 0. It shows no messages: the callers do.
//
// The player root owns one; archive c (0-based, in the order FindArchives
// gives) owns the ids c * kIdsPerArchive to c * kIdsPerArchive + 4999, and
// the first of them is its file list. The library is process-wide, so
// there is one driver at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include "common/text_encoding.h"

#include "platform/picture.h"

namespace zelk {

inline constexpr std::int32_t kIdsPerArchive = 5000;

// The largest text entry (a file list, script or system file) read: no real
// one comes near it, and its text is copied a few times on the way in.
inline constexpr std::int32_t kMaxTextEntrySize = 64 << 20;

class clsQuorDriver {
public:
    // Receives the driver's log lines (the launcher's log in the program).
    using LogFunction = std::function<void(const std::string& line)>;

    explicit clsQuorDriver(LogFunction log = {});
    // Drops the key table, stops serving system INI files, terminates the
    // library and logs "Quor-Terminate".
    ~clsQuorDriver();
    clsQuorDriver(const clsQuorDriver&) = delete;
    clsQuorDriver& operator=(const clsQuorDriver&) = delete;

    bool Init(std::int32_t archiveCount);

    // Registers the archive file so that its entries are read as ids
    // baseId, baseId + 1, ... An archive refused for a size it states that
    // cannot be true is named in `why`, with the entry that states it.
    bool LoadArchive(const std::string& path, std::int32_t baseId = 0, std::string* why = nullptr);

    // Maps the key on line i of the list to firstId + i, a key seen before
    // taking its new id. The text after the last CR LF is no line. A list of
    // more than kIdsPerArchive keys is refused: its ids would run into the
    // next archive's.
    bool LoadArchiveList(std::string_view list, std::int32_t firstId);

    // The entry id of the key in any letter case; -1 when unknown.
    std::int32_t FileKeyToID(std::string_view key) const;

    // The entry's size in bytes; 0 on any failure.
    std::int32_t GetSize(std::int32_t id) const;
    bool GetMemory(std::int32_t id, void* address, std::int32_t size) const;

    bool GetGraphicSize(std::int32_t id, std::int32_t& width, std::int32_t& height) const;
    bool LoadGraphic(std::int32_t id, const PixelTarget& surface, std::int32_t x,
                     std::int32_t y) const;
    bool LoadGraphic_Direct(std::int32_t id, const PixelTarget& surface) const;
    bool LoadMask(std::int32_t id, const PixelTarget& map, std::int32_t x, std::int32_t y) const;
    bool LoadMask_Direct(std::int32_t id, const PixelTarget& map) const;

    // The whole entry as text, converted from CP932; refused above
    // kMaxTextEntrySize.
    // A text entry: in the game's encoding, or UTF-8 when it starts with a
    // byte-order mark (a UTF-8 game's file list says so before the game's
    // SystemInfo can be read from the archive).
    bool LoadTextFile(std::int32_t id, std::string& content) const;
    void Encoding(TextEncoding encoding) { mEncoding = encoding; }

    // Lets LoadSystemIni find system INI files in the archives, until this
    // driver is destroyed. Call it once the archives and lists are loaded.
    void ServeSystemIni();

private:
    LogFunction mLog;
    std::unordered_map<std::string, std::int32_t> mKeys;  // by key in small letters
    bool mServesSystemIni = false;
    TextEncoding mEncoding;
};

// The keys of a file list in line order: the pieces between CR LF
// separators, without the text after the last one.
std::vector<std::string> FileListKeys(std::string_view list);

// The ".quor" files of the folder (any case of the extension) in name order
// without regard to case, the order the archives are registered in.
std::vector<std::string> FindArchives(const std::string& folder);

}  // namespace zelk
