// The lenient number reading of settings and scenario values: whatever number
// the text begins with, else 0. Never fails.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelk {

// Reads the number at the start of the text the way the original language's
// Val function does: blanks, tabs and line feeds are skipped wherever they
// occur ("1 2" reads 12); an optional sign, digits, a decimal point and an
// exponent ("E" or "D") follow; "&H" starts a hexadecimal number, read as a
// 32-bit two's complement value when it has at most eight digits ("&HFFFFFFFF"
// is -1). Anything else ends the number; no number at all gives 0.
double ReadNumber(std::string_view text);

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4), clamped
// to the 32-bit range; NaN gives 0.
std::int32_t RoundToLong(double value);

// ReadNumber, then RoundToLong.
std::int32_t ReadLong(std::string_view text);

}  // namespace zelk
