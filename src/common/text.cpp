#include "common/text.h"

#include <algorithm>

#include "common/utf8.h"

namespace zelk {

std::string FormatMessageArgs(std::string_view format, std::span<const std::string> values) {
    std::string out;
    out.reserve(format.size());
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t mark = format.find('%', pos);
        if (mark == std::string_view::npos) break;
        out.append(format, pos, mark - pos);
        std::size_t end = mark + 1;
        std::size_t number = 0;
        while (end < format.size() && format[end] >= '0' && format[end] <= '9' && number < 10000) {
            number = number * 10 + static_cast<std::size_t>(format[end] - '0');
            ++end;
        }
        if (end > mark + 1 && number >= 1 && number <= values.size()) {
            out.append(values[number - 1]);
        } else {
            out.append(format, mark, end - mark);
        }
        pos = end;
    }
    if (pos < format.size()) out.append(format, pos);
    return out;
}

std::string FormatMessageArgs(std::string_view format, std::initializer_list<std::string> values) {
    return FormatMessageArgs(format, std::span<const std::string>(values.begin(), values.size()));
}

namespace {

bool InSet(char32_t c, std::u32string_view set) {
    return set.find(c) != std::u32string_view::npos;
}

}  // namespace

std::string TrimChars(std::string_view text, std::string_view set) {
    const std::u32string chars = DecodeUtf8(text);
    const std::u32string trimSet = DecodeUtf8(set);
    std::size_t begin = 0;
    std::size_t end = chars.size();
    while (begin < end && InSet(chars[begin], trimSet))
        ++begin;
    while (end > begin && InSet(chars[end - 1], trimSet))
        --end;
    return EncodeUtf8(std::u32string_view(chars).substr(begin, end - begin));
}

std::string RemoveChars(std::string_view text, std::string_view set) {
    const std::u32string removeSet = DecodeUtf8(set);
    std::string out;
    out.reserve(text.size());
    for (char32_t c : DecodeUtf8(text)) {
        if (!InSet(c, removeSet)) AppendUtf8(out, c);
    }
    return out;
}

std::string HexPad(std::int64_t number, int width, bool cut) {
    std::uint64_t bits = static_cast<std::uint64_t>(number);
    if (number < 0 && number >= INT32_MIN) bits &= 0xFFFFFFFFu;
    std::string digits;
    do {
        digits.push_back("0123456789ABCDEF"[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    std::reverse(digits.begin(), digits.end());
    const auto size = static_cast<int>(digits.size());
    if (size > width) return cut ? std::string() : digits;
    return std::string(static_cast<std::size_t>(width - size), '0') + digits;
}

std::int64_t RgbToColorRef(std::int64_t number) {
    const std::int64_t low = number & 0xFF;
    const std::int64_t third = (number >> 16) & 0xFF;
    return (number & ~std::int64_t{0xFF00FF}) | (low << 16) | third;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool ReadBool(std::string_view text, bool otherwise) {
    if (EqualsNoCase(text, "true")) return true;
    if (EqualsNoCase(text, "false")) return false;
    return otherwise;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t pos = 0;
    while (true) {
        const std::size_t found = text.find(separator, pos);
        if (found == std::string_view::npos) break;
        pieces.emplace_back(text.substr(pos, found - pos));
        pos = found + separator.size();
    }
    pieces.emplace_back(text.substr(pos));
    return pieces;
}

std::string ReplaceText(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t found = text.find(from, pos);
        if (found == std::string_view::npos) break;
        out.append(text, pos, found - pos);
        out.append(to);
        pos = found + from.size();
    }
    out.append(text, pos);
    return out;
}

}  // namespace zelk
