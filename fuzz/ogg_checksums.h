#pragma once
// Ogg pages with their checksums made right: most mutations of an Ogg stream
// would only break a checksum, and the page would be skipped unread.

#include <ogg/ogg.h>

#include <cstdint>
#include <vector>

namespace wavo::fuzz {

inline void FixPageChecksums(std::vector<uint8_t>& stream) {
    size_t at = 0;
    while (at + 27 <= stream.size()) {
        uint8_t* header = stream.data() + at;
        if (header[0] != 'O' || header[1] != 'g' || header[2] != 'g' || header[3] != 'S') {
            ++at;
            continue;
        }
        size_t segments = header[26];
        if (at + 27 + segments > stream.size()) return;
        size_t bodyLength = 0;
        for (size_t s = 0; s < segments; ++s)
            bodyLength += header[27 + s];
        size_t headerLength = 27 + segments;
        if (at + headerLength + bodyLength > stream.size()) return;
        ogg_page page{header, static_cast<long>(headerLength), header + headerLength,
                      static_cast<long>(bodyLength)};
        ogg_page_checksum_set(&page);
        at += headerLength + bodyLength;
    }
}

}  // namespace wavo::fuzz
