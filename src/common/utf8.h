// UTF-8 <-> code points. Text in memory is UTF-8; counts and offsets that the
// scenario language speaks of are in code points, so callers decode first.
#pragma once

#include <string>
#include <string_view>

namespace zelk {

// The replacement for every byte that does not begin a well-formed sequence.
inline constexpr char32_t kReplacementChar = U'\uFFFD';

// Decodes UTF-8. Each malformed byte (stray continuation, overlong form,
// surrogate, truncated sequence) becomes one U+FFFD; decoding never fails.
std::u32string DecodeUtf8(std::string_view text);

// Appends the UTF-8 form of one code point; surrogates and values past
// U+10FFFF are written as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

std::string EncodeUtf8(std::u32string_view text);

// Whether every byte belongs to a well-formed sequence.
bool IsValidUtf8(std::string_view text);

// Number of code points, counted as DecodeUtf8 would count them.
std::size_t Utf8Length(std::string_view text);

}  // namespace zelk
