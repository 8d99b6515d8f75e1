// Small text helpers shared by every module. Texts are UTF-8; "character"
// means code point.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// Replaces "%1", "%2", ... by the values in order. A placeholder without a
// value stays as it is; inserted values are not scanned again.
std::string FormatMessageArgs(std::string_view format, std::span<const std::string> values);
std::string FormatMessageArgs(std::string_view format, std::initializer_list<std::string> values);

// Removes the characters of `set` from both ends, or from everywhere.
std::string TrimChars(std::string_view text, std::string_view set);
std::string RemoveChars(std::string_view text, std::string_view set);

// Upper-case hexadecimal, left-padded with "0" to `width`. A longer result is
// returned whole, or empty when `cut` is set. Negative numbers that fit in 32
// bits are written as their 32-bit two's complement ("FFFFFFFF" for -1).
std::string HexPad(std::int64_t number, int width, bool cut = false);

// Swaps the lowest and the third byte: red-green-blue <-> blue-green-red.
std::int64_t RgbToColorRef(std::int64_t number);

// Only "A".."Z" change; everything else (Japanese included) stays.
std::string ToLowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// The one reading of a boolean in settings, debug and save files: "true" and
// "false" in any case; every other text, the empty one included, reads as
// `otherwise`. Most switches are off unless they say "true"; the few that
// are on unless they say "false" pass true.
bool ReadBool(std::string_view text, bool otherwise = false);

// Splits at every occurrence of `separator` (not empty). An empty text gives
// one empty piece; n separators always give n + 1 pieces.
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

// The text with every occurrence of `from` (not empty) replaced by `to`.
std::string ReplaceText(std::string_view text, std::string_view from, std::string_view to);

}  // namespace zelk
