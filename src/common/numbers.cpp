#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zelk {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

double ReadHex(std::string_view digits) {
    std::uint64_t value = 0;
    int count = 0;
    for (char c : digits) {
        if (IsBlank(c)) continue;
        const int digit = HexDigit(c);
        if (digit < 0) break;
        if (count < 16) value = (value << 4) | static_cast<std::uint64_t>(digit);
        ++count;
    }
    if (count <= 8) return static_cast<double>(static_cast<std::int32_t>(value));
    return static_cast<double>(value);
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos + 1 < text.size() && text[pos] == '&' && (text[pos + 1] == 'h' || text[pos + 1] == 'H'))
        return ReadHex(text.substr(pos + 2));

    // Gather the number's characters without the blanks inside it, in the
    // form from_chars reads.
    std::string number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    bool signSeen = false;
    const auto atStart = [&] { return !signSeen && number.empty(); };
    const auto afterExponent = [&] { return !number.empty() && number.back() == 'e'; };
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (IsBlank(c)) continue;
        if (IsDigit(c)) {
            digits = true;
            number.push_back(c);
        } else if ((c == '+' || c == '-') && (atStart() || afterExponent())) {
            if (atStart()) signSeen = true;
            if (c == '-') number.push_back(c);
        } else if (c == '.' && !point && !exponent) {
            point = true;
            number.push_back(c);
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digits && !exponent) {
            exponent = true;
            number.push_back('e');
        } else {
            break;
        }
    }
    // A dangling exponent or sign is not part of the number.
    while (!number.empty() && (number.back() == 'e' || number.back() == '-'))
        number.pop_back();
    if (!digits) return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = number.front() == '-';
        const auto e = number.find('e');
        const bool tiny = e != std::string::npos && number[e + 1] == '-';
        if (tiny) return 0.0;
        return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    return result.ec == std::errc() ? value : 0.0;
}

std::int32_t RoundToLong(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ReadLong(std::string_view text) {
    return RoundToLong(ReadNumber(text));
}

}  // namespace zelk
