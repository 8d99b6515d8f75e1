// The text mark language: how a text film's byte buffer splits into marks and
// two-byte characters. Pure parsing; text_printer.cpp gives the elements
// their effect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumo {

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
        Character,   // two bytes
        Incomplete,  // the buffer ends inside an element
    };

    Kind kind = Kind::Incomplete;
    std::int32_t value = 0;
    std::int32_t rect[4] = {0, 0, 0, 0};
    std::string_view face;
    char mark = 0;
    std::uint8_t lead = 0;
    std::uint8_t trail = 0;
    std::size_t length = 0;  // bytes the element takes, at least 1

    // Elements that the length and shown counts count.
    bool counts() const {
        return kind == Kind::Character || kind == Kind::Glyph || kind == Kind::NewPage;
    }
};

// The element at `position` (< bytes.size()).
TextElement parseTextElement(std::string_view bytes, std::size_t position);

// The characters of a buffer as FP_TEXT_LENGTH counts them.
int countTextCharacters(std::string_view bytes);

}  // namespace lumo
