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

class ZipReader {
public:
    // Opens and checks the ZIP file at `path`; nothing and a message in
    // `error` when it is missing, unreadable or damaged.
    static std::unique_ptr<ZipReader> Open(const std::string& path, std::string& error);
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

    zip* mArchive;
    std::uint64_t mEntryCount = 0;
};

}  // namespace zelk
