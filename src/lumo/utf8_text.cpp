#include "utf8_text.h"

#include <hb.h>

namespace lumo {

DecodedCodePoint decodeUtf8(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return {0xFFFD, 1};
    }
    if (bytes.size() < length) return {0xFFFD, 1};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return {0xFFFD, 1};
        c = c << 6 | (byte(i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0xFFFD, 1};
    return {c, length};
}

namespace {

enum class Hangul { None, L, V, T, LV, LVT };

Hangul hangulOf(char32_t c) {
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0xA960 && c <= 0xA97C)) return Hangul::L;
    if ((c >= 0x1160 && c <= 0x11A7) || (c >= 0xD7B0 && c <= 0xD7C6)) return Hangul::V;
    if ((c >= 0x11A8 && c <= 0x11FF) || (c >= 0xD7CB && c <= 0xD7FB)) return Hangul::T;
    if (c >= 0xAC00 && c <= 0xD7A3) return (c - 0xAC00) % 28 == 0 ? Hangul::LV : Hangul::LVT;
    return Hangul::None;
}

bool regionalIndicator(char32_t c) {
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// Emoji that a zero-width joiner glues into one picture.
bool pictographic(char32_t c) {
    return (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x2600 && c <= 0x27BF) ||
           (c >= 0x2300 && c <= 0x23FF) || (c >= 0x2B00 && c <= 0x2BFF) || c == 0x00A9 ||
           c == 0x00AE || c == 0x203C || c == 0x2049 || c == 0x2122 || c == 0x2139;
}

// Marks, joiners and modifiers that stay with what precedes them.
bool extends(char32_t c) {
    if (c == 0x200C || c == 0x200D || (c >= 0x1F3FB && c <= 0x1F3FF) ||
        (c >= 0xE0020 && c <= 0xE007F)) {
        return true;
    }
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
        case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool GraphemeSegmenter::startsCluster(char32_t c) {
    const char32_t previous = mPrevious;
    mPrevious = c;
    const bool flag = regionalIndicator(c);
    const int flagsBefore = mFlags;
    mFlags = flag ? mFlags + 1 : 0;
    if (previous == kNone) return true;
    if (c < 0x300 && previous < 0x300) return true;  // the common case, answered at once
    // Kana, CJK punctuation and ideographs: none extends or joins what
    // precedes it but the two combining sound marks.
    if (c >= 0x3000 && c < 0xA000 && !(c >= 0x302A && c <= 0x302F) && c != 0x3099 && c != 0x309A)
        return true;
    if (extends(c)) return false;
    if (previous == 0x200D && pictographic(c)) return false;
    if (flag && flagsBefore % 2 == 1) return false;
    const Hangul before = hangulOf(previous);
    const Hangul now = hangulOf(c);
    if (before == Hangul::L && now != Hangul::None && now != Hangul::T) return false;
    if ((before == Hangul::LV || before == Hangul::V) && (now == Hangul::V || now == Hangul::T)) {
        return false;
    }
    if ((before == Hangul::LVT || before == Hangul::T) && now == Hangul::T) return false;
    return true;
}

}  // namespace lumo
