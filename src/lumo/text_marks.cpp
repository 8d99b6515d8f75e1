#include "text_marks.h"

#include "utf8_text.h"

namespace lumo {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;  // a stray byte reads as 0 rather than derailing the buffer
}

std::uint32_t hex(std::string_view digits) {
    std::uint32_t value = 0;
    for (char c : digits)
        value = value << 4 | static_cast<std::uint32_t>(hexDigit(c));
    return value;
}

// Four characters: a sign and three hex digits, or four hex digits.
std::int32_t signedHex(std::string_view field) {
    if (field[0] == '-') return -static_cast<std::int32_t>(hex(field.substr(1)));
    if (field[0] == '+') return static_cast<std::int32_t>(hex(field.substr(1)));
    return static_cast<std::int32_t>(hex(field));
}

// Operand bytes after the mark letter; -1: not a mark.
int operandLength(char mark) {
    switch (mark) {
        case '\n':
        case 'A':
        case 'N':
        case 'O':
            return 0;
        case 'B':
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
        case 'T':
            return 8;
        case 'C':
        case 'I':
        case 'J':
        case 'K':
        case 'L':
            return 4;
        case 'D':
            return 6;
        case 'E':
            return 2;  // then the face bytes
        case 'F':
        case 'G':
        case 'H':
            return 3;
        case 'M':
            return 12;
        default:
            return -1;
    }
}

}  // namespace

TextElement parseTextElement(std::string_view bytes, std::size_t position, bool utf8) {
    using Kind = TextElement::Kind;
    TextElement e;
    const std::string_view rest = bytes.substr(position);
    const char mark = rest[0];
    const int operands = operandLength(mark);
    if (operands < 0 && utf8) {
        const std::size_t escape = mark == kTextEscape ? 1 : 0;
        if (rest.size() <= escape) {
            e.length = rest.size();
            return e;
        }
        const DecodedCodePoint decoded = decodeUtf8(rest.substr(escape));
        e.kind = Kind::Character;
        e.codePoint = decoded.codePoint;
        e.length = escape + decoded.length;
        return e;
    }
    if (operands < 0) {
        if (rest.size() < 2) {
            e.length = rest.size();
            return e;
        }
        e.kind = Kind::Character;
        e.lead = static_cast<std::uint8_t>(rest[0]);
        e.trail = static_cast<std::uint8_t>(rest[1]);
        e.length = 2;
        return e;
    }
    if (rest.size() < 1 + static_cast<std::size_t>(operands)) {
        e.length = rest.size();
        return e;
    }
    const std::string_view field = rest.substr(1, static_cast<std::size_t>(operands));
    e.length = 1 + static_cast<std::size_t>(operands);
    switch (mark) {
        case '\n':
            e.kind = Kind::NewLine;
            break;
        case 'A':
            e.kind = Kind::Reset;
            break;
        case 'B':
            e.kind = Kind::Wait;
            e.value = static_cast<std::int32_t>(hex(field));
            break;
        case 'C':
            e.kind = Kind::Delay;
            e.value = static_cast<std::int32_t>(hex(field));
            break;
        case 'D': {
            const std::uint32_t rgb = hex(field);
            e.kind = Kind::Color;
            e.value = static_cast<std::int32_t>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | rgb >> 16);
            break;
        }
        case 'E': {
            const std::size_t n = hex(field);
            if (rest.size() < e.length + n) {
                e.length = rest.size();
                return e;
            }
            e.kind = Kind::Face;
            e.face = rest.substr(e.length, n);
            e.length += n;
            break;
        }
        case 'F':
            e.kind = Kind::Size;
            e.value = static_cast<std::int32_t>(hex(field));
            break;
        case 'G':
            e.kind = Kind::Pitch;
            e.value = static_cast<std::int32_t>(hex(field));
            break;
        case 'H':
            e.kind = Kind::LinePitch;
            e.value = static_cast<std::int32_t>(hex(field));
            break;
        case 'I':
        case 'J':
        case 'K':
        case 'L':
            e.kind = mark == 'I'   ? Kind::SetX
                     : mark == 'J' ? Kind::SetY
                     : mark == 'K' ? Kind::MoveX
                                   : Kind::MoveY;
            e.value = signedHex(field);
            break;
        case 'M':
            e.kind = Kind::Glyph;
            for (int i = 0; i < 4; ++i) {
                e.rect[i] = static_cast<std::int32_t>(hex(field.substr(3 * i, 3)));
            }
            break;
        case 'N':
            e.kind = Kind::NewPage;
            break;
        case 'O':
            e.kind = Kind::Stop;
            break;
        default:  // "P" .. "T"
            e.kind = Kind::Mark;
            e.mark = mark;
            e.value = static_cast<std::int32_t>(hex(field));
            break;
    }
    return e;
}

int countTextCharacters(std::string_view bytes) {
    int count = 0;
    for (std::size_t position = 0; position < bytes.size();) {
        const TextElement e = parseTextElement(bytes, position);
        count += e.counts();
        position += e.length;
    }
    return count;
}

int countTextClusters(std::string_view bytes, const std::vector<std::size_t>& seams) {
    int count = 0;
    GraphemeSegmenter clusters;
    auto seam = seams.begin();
    for (std::size_t position = 0; position < bytes.size();) {
        while (seam != seams.end() && *seam < position)
            ++seam;
        if (seam != seams.end() && *seam == position) clusters.reset();
        const TextElement e = parseTextElement(bytes, position, true);
        if (e.kind == TextElement::Kind::Character) {
            count += clusters.startsCluster(e.codePoint);
        } else {
            clusters.reset();
            count += e.counts();
        }
        position += e.length;
    }
    return count;
}

}  // namespace lumo
