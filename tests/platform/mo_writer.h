// Compiled message catalogues for tests, written as msgfmt lays them out:
// the header, the originals' table, the translations' table, no hash table,
// then the texts, each ended by a zero byte.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zelk::testing {

inline void PutWord(std::string& bytes, std::size_t at, std::uint32_t value,
                    bool bigEndian = false) {
    for (int k = 0; k < 4; ++k) {
        const int shift = bigEndian ? 24 - 8 * k : 8 * k;
        bytes[at + static_cast<std::size_t>(k)] = static_cast<char>((value >> shift) & 0xFF);
    }
}

inline std::string MoBytes(const std::vector<std::pair<std::string, std::string>>& texts,
                           bool bigEndian = false) {
    const auto count = static_cast<std::uint32_t>(texts.size());
    const std::uint32_t originals = 28;
    const std::uint32_t translations = originals + 8 * count;
    std::string bytes(translations + 8 * count, '\0');
    PutWord(bytes, 0, 0x950412de, bigEndian);
    PutWord(bytes, 4, 0, bigEndian);
    PutWord(bytes, 8, count, bigEndian);
    PutWord(bytes, 12, originals, bigEndian);
    PutWord(bytes, 16, translations, bigEndian);
    PutWord(bytes, 20, 0, bigEndian);
    PutWord(bytes, 24, 0, bigEndian);
    auto put = [&](std::uint32_t table, std::uint32_t index, const std::string& text) {
        PutWord(bytes, table + 8 * index, static_cast<std::uint32_t>(text.size()), bigEndian);
        PutWord(bytes, table + 8 * index + 4, static_cast<std::uint32_t>(bytes.size()), bigEndian);
        bytes += text;
        bytes += '\0';
    };
    for (std::uint32_t k = 0; k < count; ++k)
        put(originals, k, texts[k].first);
    for (std::uint32_t k = 0; k < count; ++k)
        put(translations, k, texts[k].second);
    return bytes;
}

}  // namespace zelk::testing
