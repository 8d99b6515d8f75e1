// Read access to the entries of a ZIP file by position, over libzip.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct zip;

namespace zelk {

// The most one entry may hold once unpacked. Games keep pictures and sounds
// in their archives (movies lie beside them); no real one comes near this,
// and a size stated above it is refused before anything is reserved for it.
inline constexpr std::uint64_t kMaxArchiveEntrySize = 512u << 20;

// Deflate cannot shrink data by more than about 1032 to 1 (one short code for
// every 258 repeated bytes); a deflated entry that claims more is lying.
inline constexpr std::uint64_t kMaxDeflateRatio = 1032;

class ZipReader {
public:
    // Opens and checks the ZIP file at `path`; nothing and a message in
    // `error` when it is missing, no regular file, unreadable or damaged, or
    // when a size it states cannot be true: an entry larger than the archive,
    // entries that together hold more than the archive, a stored entry whose
    // sizes differ, a deflated one beyond deflate's ratio, one above
    // kMaxArchiveEntrySize, or one packed in another way. `lying` (when
    // given) tells the last kind of refusal from the others.
    static std::unique_ptr<ZipReader> Open(const std::string& path, std::string& error,
                                           bool* lying = nullptr);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    std::uint64_t EntryCount() const { return mEntryCount; }

    // The entry's data size after decompression.
    std::optional<std::uint64_t> EntrySize(std::uint64_t index) const;

    // Fills `destination` with the first bytes of the entry's data. Reading a
    // whole entry also checks its CRC, so damaged data is refused.
    bool Read(std::uint64_t index, std::span<std::uint8_t> destination, std::string& error) const;

    std::optional<std::vector<std::uint8_t>> ReadAll(std::uint64_t index, std::string& error) const;

private:
    explicit ZipReader(zip* archive);
    // The first stated size that cannot be true, as a message; empty when
    // every entry is believable.
    std::string CheckSizes(std::uint64_t archiveSize) const;

    zip* mArchive;
    std::uint64_t mEntryCount = 0;
};

}  // namespace zelk
