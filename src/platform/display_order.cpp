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

std::string VisualLine(const std::string& line) {
    if (line.empty()) return line;
    const auto length = static_cast<FriBidiStrIndex>(line.size());
    std::vector<FriBidiChar> logical(line.size() + 1);
    const FriBidiStrIndex count =
        fribidi_charset_to_unicode(FRIBIDI_CHAR_SET_UTF8, line.data(), length, logical.data());
    if (count <= 0) return line;
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
