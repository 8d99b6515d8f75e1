#include "platform/display_order.h"

#include <fribidi.h>

#include <vector>

namespace zelk {

namespace {

// Whether any character of the text may be set from the right: a letter of
// Hebrew, Arabic, Syriac, Thaana, N'Ko and their kin, or their presentation
// forms. UTF-8 lead bytes tell it without decoding.
bool MayRunRightToLeft(const std::string& utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0xD6 && byte <= 0xDF) return true;  // U+0590..U+07FF
        if (byte == 0xE0 && i + 1 < utf8.size() &&
            static_cast<unsigned char>(utf8[i + 1]) >= 0xA0 &&
            static_cast<unsigned char>(utf8[i + 1]) <= 0xA3)
            return true;  // U+0800..U+08FF
        if (byte == 0xEF && i + 1 < utf8.size() &&
            static_cast<unsigned char>(utf8[i + 1]) >= 0xAC &&
            static_cast<unsigned char>(utf8[i + 1]) <= 0xBB)
            return true;  // U+FB00..U+FEFF presentation forms
        if (byte == 0xF0 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0x90)
            return true;  // U+10000..U+10FFF, old right-to-left scripts among them
    }
    return false;
}

// The code points of a line; a byte that starts no whole, shortest
// sequence is U+FFFD. (The library's own decoder reads past a sequence cut
// short at the end.)
std::vector<FriBidiChar> CodePoints(const std::string& line) {
    std::vector<FriBidiChar> points;
    points.reserve(line.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t size = line.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned lead = bytes[i];
        const int more = lead < 0x80   ? 0
                         : lead < 0xC2 ? -1
                         : lead < 0xE0 ? 1
                         : lead < 0xF0 ? 2
                         : lead < 0xF5 ? 3
                                       : -1;
        constexpr FriBidiChar kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
        FriBidiChar c = more < 0 ? 0xFFFD : lead & kLeadBits[more];
        int taken = 0;
        while (taken < more && i + 1 + taken < size && (bytes[i + 1 + taken] & 0xC0) == 0x80) {
            c = (c << 6) | (bytes[i + 1 + taken] & 0x3F);
            ++taken;
        }
        const bool whole = more <= 0 || taken == more;
        const bool shortest = more < 2 || (more == 2 && c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) ||
                              (more == 3 && c >= 0x10000 && c <= 0x10FFFF);
        points.push_back(whole && shortest ? c : 0xFFFD);
        i += 1 + taken;
    }
    return points;
}

std::string VisualLine(const std::string& line) {
    if (line.empty()) return line;
    std::vector<FriBidiChar> logical = CodePoints(line);
    const auto count = static_cast<FriBidiStrIndex>(logical.size());
    std::vector<FriBidiChar> visual(static_cast<std::size_t>(count) + 1);
    FriBidiParType direction = FRIBIDI_PAR_ON;
    // The visual string comes with Arabic joined and shaped into
    // presentation forms, which a face's character map gives as they are.
    if (fribidi_log2vis(logical.data(), count, &direction, visual.data(), nullptr, nullptr,
                        nullptr) == 0)
        return line;
    std::vector<char> out(static_cast<std::size_t>(count) * 4 + 1);
    const FriBidiStrIndex bytes =
        fribidi_unicode_to_charset(FRIBIDI_CHAR_SET_UTF8, visual.data(), count, out.data());
    return bytes > 0 ? std::string(out.data(), static_cast<std::size_t>(bytes)) : line;
}

}  // namespace

std::string DisplayOrder(const std::string& utf8) {
    if (!MayRunRightToLeft(utf8)) return utf8;
    std::string shown;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = utf8.find('\n', start);
        shown += VisualLine(utf8.substr(start, end - start));
        if (end == std::string::npos) return shown;
        shown += '\n';
        start = end + 1;
    }
}

}  // namespace zelk
