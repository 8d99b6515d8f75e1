#pragma once
// Text crosses the library boundary in code page 932; inside, and for the file
// system, it is UTF-8.

#include <string>
#include <string_view>

namespace wavo {

// Bytes that are not valid CP932 are passed through unchanged, so a name that
// is already UTF-8 (or plain ASCII) still works.
std::string Utf8FromCp932(std::string_view text);
std::string Cp932FromUtf8(std::string_view text);

}  // namespace wavo
