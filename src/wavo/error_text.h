#pragma once
// The texts of the result codes, as GetErrorDescription hands them out.

#include <cstdint>
#include <string_view>

namespace wavo {

// UTF-8; codes without a text of their own get the "undefined code" text.
std::string_view ErrorText(int32_t code);

// The export's buffer rule: the CP932 text goes through a 256-byte zeroed
// scratch area and min(size, length + 1) bytes of it reach the buffer, so a
// buffer not larger than the text gets no terminator.
void CopyErrorDescription(int32_t code, char* buffer, int32_t size);

}  // namespace wavo
