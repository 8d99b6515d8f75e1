#include "cp932.h"

#include <iconv.h>

namespace wavo {
namespace {

std::string Convert(std::string_view text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string out(text.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) return std::string(text);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::string Utf8FromCp932(std::string_view text) {
    return Convert(text, "UTF-8", "CP932");
}
std::string Cp932FromUtf8(std::string_view text) {
    return Convert(text, "CP932", "UTF-8");
}

}  // namespace wavo
