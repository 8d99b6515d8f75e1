// UTF-8 text of a text film: code points decoded leniently and grouped into
// the clusters a reader takes for one character.
#pragma once

#include <cstddef>
#include <string_view>

namespace lumo {

struct DecodedCodePoint {
    char32_t codePoint = 0;
    std::size_t length = 1;  // bytes taken, at least 1
};

// The code point at the start of `bytes` (not empty). A byte that does not
// begin a well-formed sequence (a stray continuation, an overlong form, a
// surrogate, beyond U+10FFFF, cut short) gives U+FFFD and takes that byte.
DecodedCodePoint decodeUtf8(std::string_view bytes);

// Grapheme clusters, one code point at a time: base characters with their
// combining marks, joiners and what they join, Hangul syllables from jamo,
// flag pairs.
class GraphemeSegmenter {
public:
    // True when `c` starts a new cluster after what was fed so far.
    bool startsCluster(char32_t c);
    // Forgets the previous code point: the next one starts a cluster.
    void reset() { mPrevious = kNone; }

private:
    static constexpr char32_t kNone = 0xFFFFFFFF;
    char32_t mPrevious = kNone;
    int mFlags = 0;  // regional indicators in a row
};

}  // namespace lumo
