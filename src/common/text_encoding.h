// The encoding of a game's text files: CP932 (every game before UTF-8 was
// offered, and every game that does not say otherwise) or UTF-8. A game
// names it once, as [Game] Encoding in SystemInfo.ini; the value is handed
// to every place that reads or writes that game's files, never kept
// process-wide, so that one process (the author's tool) may read games of
// both kinds.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

class TextEncoding {
public:
    // CP932: today's files exactly.
    constexpr TextEncoding() = default;
    static constexpr TextEncoding Cp932() { return TextEncoding(false); }
    static constexpr TextEncoding Utf8() { return TextEncoding(true); }

    constexpr bool IsUtf8() const { return mUtf8; }
    // "CP932" or "UTF-8", as SystemInfo.ini writes it.
    const char* Name() const { return mUtf8 ? "UTF-8" : "CP932"; }

    // A file's bytes as the program's UTF-8 text. UTF-8: a leading byte-order
    // mark is dropped and every malformed byte becomes U+FFFD. CP932: today's
    // reading, byte for byte.
    std::string Decode(std::string_view bytes) const;
    // The program's text as the file's bytes: UTF-8 as it is, CP932 with "?"
    // for every character it lacks.
    std::string Encode(std::string_view text) const;
    // Nothing when a character cannot be written (CP932 only).
    std::optional<std::string> EncodeStrict(std::string_view text) const;

    friend constexpr bool operator==(TextEncoding a, TextEncoding b) { return a.mUtf8 == b.mUtf8; }

private:
    constexpr explicit TextEncoding(bool utf8) : mUtf8(utf8) {}
    bool mUtf8 = false;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The bytes without a leading UTF-8 byte-order mark.
std::string_view SkipUtf8Bom(std::string_view bytes);

// What SystemInfo.ini's bytes say of the game's encoding. The key is ASCII
// and read from the raw bytes, before any decoding: the first "[Game]"
// section's first "Encoding" key (names without regard to case). Absent or
// empty: CP932. `error` is set (with `line`, 1-based) for any value but
// "UTF-8" or "CP932" (any case).
struct DeclaredEncoding {
    TextEncoding encoding;
    int line = 0;  // the key's line, 0 when absent
    std::string error;
};
DeclaredEncoding ReadDeclaredEncoding(std::string_view systemInfoBytes);

// A file whose bytes are not in the game's encoding. For a CP932 game: the
// bytes are valid UTF-8 and hold a non-ASCII character (a file saved by a
// UTF-8 editor); `line` is that character's. For a UTF-8 game: the bytes are
// not valid UTF-8; `line` is the first bad byte's, and `looksCp932` tells
// whether the whole file reads as CP932.
struct EncodingMismatch {
    int line = 0;
    TextEncoding found;  // what the file seems to be
    bool looksCp932 = false;
};
std::optional<EncodingMismatch> FindEncodingMismatch(std::string_view bytes, TextEncoding expected);

// One sentence naming the mismatch for a person: "this file is UTF-8; this
// game's files are CP932" and the way out.
std::string DescribeMismatch(const EncodingMismatch& mismatch, TextEncoding expected);

}  // namespace zelk
