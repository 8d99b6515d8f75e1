// Code page 932 (Japanese Windows "ANSI") at the program's boundaries: plain
// text files, archive lists, scripts and the engines' exported functions.
// Inside the program text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// Strict conversions: nothing when a character has no CP932 form, or when the
// bytes are not valid CP932.
std::optional<std::string> Utf8ToCp932(std::string_view text);
std::optional<std::string> Cp932ToUtf8(std::string_view bytes);

// Lossy conversions for texts that must get through whole: an unmappable
// character becomes "?" (as the Windows converter writes it), an invalid byte
// becomes U+FFFD.
std::string Utf8ToCp932Lossy(std::string_view text);
std::string Cp932ToUtf8Lossy(std::string_view bytes);

// Whether the character takes one byte, or two bytes, in CP932. A character
// CP932 cannot write takes neither. Table lookups: cheap enough per character.
bool IsSingleByteChar(char32_t c);
bool IsDoubleByteChar(char32_t c);

// Every character of the UTF-8 text takes one byte (two bytes) in CP932. An
// empty text is both.
bool IsSingleByteText(std::string_view text);
bool IsDoubleByteText(std::string_view text);

}  // namespace zelk
