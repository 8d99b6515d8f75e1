// The text mark language: how a text film's byte buffer splits into marks and
// two-byte characters. Pure parsing; text_printer.cpp gives the elements
// their effect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lumo {

// In UTF-8 text: the next code point is text even when it is a mark letter.
inline constexpr char kTextEscape = '\x1B';

struct TextElement {
    enum class Kind {
        NewLine,     // LF
        Reset,       // "A"
        Wait,        // "B", value ms
        Delay,       // "C"
        Color,       // "D", value 0x00BBGGRR
        Face,        // "E", face bytes
        Size,        // "F"
        Pitch,       // "G"
        LinePitch,   // "H"
        SetX,        // "I"
        SetY,        // "J"
        MoveX,       // "K"
        MoveY,       // "L"
        Glyph,       // "M", rectangle x0, y0, x1, y1
        NewPage,     // "N"
        Stop,        // "O"
        Mark,        // "P" .. "T", value; `mark` names the letter
        Character,   // two bytes; in UTF-8 one code point
        Incomplete,  // the buffer ends inside an element
    };

    Kind kind = Kind::Incomplete;
    std::int32_t value = 0;
    std::int32_t rect[4] = {0, 0, 0, 0};
    std::string_view face;
    char mark = 0;
    std::uint8_t lead = 0;
    std::uint8_t trail = 0;
    char32_t codePoint = 0;  // UTF-8 characters
    std::size_t length = 0;  // bytes the element takes, at least 1

    // Elements that the length and shown counts count.
    bool counts() const {
        return kind == Kind::Character || kind == Kind::Glyph || kind == Kind::NewPage;
    }
};

// The element at `position` (< bytes.size()). In UTF-8 text the marks are the
// same; any other byte starts a code point (U+FFFD where the bytes are not
// UTF-8), and ESC (0x1B) followed by a code point is that code point as text,
// so that text may hold the letters that are marks.
TextElement parseTextElement(std::string_view bytes, std::size_t position, bool utf8 = false);

// The characters of a buffer as FP_TEXT_LENGTH counts them.
int countTextCharacters(std::string_view bytes);

// The same for UTF-8 text, where a character is a grapheme cluster. A mark
// ends a cluster, and so does each of the `seams` (byte positions, ascending).
int countTextClusters(std::string_view bytes, const std::vector<std::size_t>& seams);

}  // namespace lumo
