#include "common/text_encoding.h"

#include <vector>

#include "common/codepage.h"
#include "common/text.h"
#include "common/utf8.h"

namespace zelk {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The lines of a file's bytes. LF is never part of a character in either
// encoding, so splitting the raw bytes there is safe for both.
std::vector<std::string_view> RawLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

// The name of a section header line, or nothing. A header whose name holds a
// byte past ASCII cannot be "[Game]": it is taken for another section's
// header, whatever its bytes, since a CP932 trail byte may look like "]".
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    if (!IsAscii(line)) return std::string_view();
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view name = TrimBlanks(line.substr(1, close - 1));
    if (name.empty() || name.find_first_of("[;") != std::string_view::npos) return std::nullopt;
    const std::string_view after = TrimBlanks(line.substr(close + 1));
    if (!after.empty() && after.front() != ';') return std::nullopt;
    return name;
}

int LineOf(std::string_view bytes, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes[i] == '\n') ++line;
    }
    return line;
}

// The offset of the first byte that does not begin a well-formed UTF-8
// sequence, or npos.
std::size_t FirstBadUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        std::size_t length = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        } else {
            return pos;
        }
        if (!IsValidUtf8(bytes.substr(pos, length)) || pos + length > bytes.size()) return pos;
        pos += length;
    }
    return std::string_view::npos;
}

}  // namespace

std::string_view SkipUtf8Bom(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    return bytes;
}

std::string TextEncoding::Decode(std::string_view bytes) const {
    if (!mUtf8) return Cp932ToUtf8Lossy(bytes);
    bytes = SkipUtf8Bom(bytes);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return EncodeUtf8(DecodeUtf8(bytes));
}

std::string TextEncoding::Encode(std::string_view text) const {
    if (!mUtf8) return Utf8ToCp932Lossy(text);
    return IsValidUtf8(text) ? std::string(text) : EncodeUtf8(DecodeUtf8(text));
}

std::optional<std::string> TextEncoding::EncodeStrict(std::string_view text) const {
    if (!mUtf8) return Utf8ToCp932(text);
    if (!IsValidUtf8(text)) return std::nullopt;
    return std::string(text);
}

DeclaredEncoding ReadDeclaredEncoding(std::string_view systemInfoBytes) {
    DeclaredEncoding result;
    const std::vector<std::string_view> lines = RawLines(SkipUtf8Bom(systemInfoBytes));
    bool inGame = false;
    bool gameSeen = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (const std::optional<std::string_view> header = HeaderName(line)) {
            // Only the first [Game] is read, as the settings model reads it.
            inGame = !gameSeen && EqualsNoCase(*header, "Game");
            gameSeen = gameSeen || inGame;
            continue;
        }
        if (!inGame) continue;
        std::string_view body = line;
        if (const std::size_t semicolon = body.find(';'); semicolon != std::string_view::npos)
            body = body.substr(0, semicolon);
        const std::size_t equal = body.find('=');
        if (equal == std::string_view::npos) continue;
        if (!EqualsNoCase(TrimBlanks(body.substr(0, equal)), "Encoding")) continue;
        const std::string_view value = TrimBlanks(body.substr(equal + 1));
        result.line = static_cast<int>(i) + 1;
        if (value.empty() || EqualsNoCase(value, "CP932")) return result;
        if (EqualsNoCase(value, "UTF-8")) {
            result.encoding = TextEncoding::Utf8();
            return result;
        }
        const std::string shown = IsAscii(value) ? std::string(value) : "(not ASCII)";
        result.error = "[Game] Encoding=" + shown +
                       " is no encoding the player knows: write UTF-8, or CP932 (the default)";
        return result;
    }
    return result;
}

std::optional<EncodingMismatch> FindEncodingMismatch(std::string_view bytes,
                                                     TextEncoding expected) {
    EncodingMismatch mismatch;
    if (expected.IsUtf8()) {
        const std::string_view text = SkipUtf8Bom(bytes);
        const std::size_t bad = FirstBadUtf8(text);
        if (bad == std::string_view::npos) return std::nullopt;
        mismatch.line = LineOf(text, bad);
        mismatch.found = TextEncoding::Cp932();
        mismatch.looksCp932 = Cp932ToUtf8(text).has_value();
        return mismatch;
    }
    // A BOM says UTF-8 whatever follows; else only valid UTF-8 with a
    // character past ASCII does (CP932 Japanese is almost never valid UTF-8).
    const bool bom = bytes.starts_with(kUtf8Bom);
    const std::string_view text = SkipUtf8Bom(bytes);
    if (!bom && (IsAscii(text) || FirstBadUtf8(text) != std::string_view::npos))
        return std::nullopt;
    if (bom && FirstBadUtf8(text) != std::string_view::npos) return std::nullopt;
    std::size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) < 0x80)
        ++first;
    mismatch.line = bom && first == text.size() ? 1 : LineOf(text, first);
    mismatch.found = TextEncoding::Utf8();
    return mismatch;
}

std::string DescribeMismatch(const EncodingMismatch& mismatch, TextEncoding expected) {
    if (!expected.IsUtf8()) {
        return "this file is UTF-8; this game's files are CP932 (save it as CP932, or declare "
               "the game UTF-8 with [Game] Encoding=UTF-8 in SystemInfo.ini)";
    }
    if (mismatch.looksCp932) {
        return "this file is CP932; this game's files are UTF-8 (save it as UTF-8)";
    }
    return "this file is not valid UTF-8, as this game's files must be (a byte that no "
           "character begins with)";
}

}  // namespace zelk
