#include "common/codepage.h"

#include <iconv.h>

#include <bitset>
#include <cerrno>

#include "common/utf8.h"

namespace zelk {

namespace {

// One iconv descriptor per direction and thread: opening one loads a gconv
// module, far too slow to repeat per call.
class Converter {
public:
    Converter(const char* to, const char* from) : mHandle(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(mHandle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return mHandle != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input. On a bad sequence, `skip` says how many input
    // bytes to drop (0: give up) and `replacement` is written in their place.
    template <typename Skip>
    std::optional<std::string> Run(std::string_view input, std::string_view replacement,
                                   Skip skip) {
        if (!Valid()) return std::nullopt;
        iconv(mHandle, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(input.size() * 2 + 16);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::size_t written = 0;
        while (inLeft > 0) {
            char* outPtr = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t result = iconv(mHandle, &in, &inLeft, &outPtr, &outLeft);
            written = out.size() - outLeft;
            if (result != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            const std::size_t drop = skip(std::string_view(in, inLeft));
            if (drop == 0) return std::nullopt;
            out.resize(written);
            out.append(replacement);
            written = out.size();
            out.resize(written + inLeft * 2 + 16);
            in += drop;
            inLeft -= drop;
        }
        out.resize(written);
        return out;
    }

private:
    iconv_t mHandle;
};

Converter& ToCp932() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

Converter& FromCp932() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

// How many bytes of a bad UTF-8 input to drop: the whole sequence when it is
// well formed (a character CP932 lacks), else the one bad byte.
std::size_t Utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 1;
    if (length > rest.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

// Byte widths of every BMP character in CP932, found by converting every
// single byte and every lead/trail pair once.
struct WidthTable {
    std::bitset<0x10000> single;
    std::bitset<0x10000> pair;

    WidthTable() {
        Converter decoder("UTF-32LE", "CP932");
        if (!decoder.Valid()) return;
        const auto codePoint = [&](std::string_view bytes) -> long {
            const auto utf32 =
                decoder.Run(bytes, {}, [](std::string_view) { return std::size_t{0}; });
            if (!utf32 || utf32->size() != 4) return -1;
            const auto* b = reinterpret_cast<const unsigned char*>(utf32->data());
            return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<long>(b[3]) << 24);
        };
        for (int lead = 0; lead < 0x100; ++lead) {
            const char one[1] = {static_cast<char>(lead)};
            const long c = codePoint(std::string_view(one, 1));
            if (c >= 0 && c < 0x10000) {
                single.set(static_cast<std::size_t>(c));
                continue;
            }
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const long d = codePoint(std::string_view(two, 2));
                if (d >= 0 && d < 0x10000) pair.set(static_cast<std::size_t>(d));
            }
        }
        // A character with both forms is written with its single byte.
        pair &= ~single;
    }
};

const WidthTable& Widths() {
    static const WidthTable table;
    return table;
}

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view text) {
    return ToCp932().Run(text, {}, [](std::string_view) { return std::size_t{0}; });
}

std::optional<std::string> Cp932ToUtf8(std::string_view bytes) {
    return FromCp932().Run(bytes, {}, [](std::string_view) { return std::size_t{0}; });
}

std::string Utf8ToCp932Lossy(std::string_view text) {
    return ToCp932().Run(text, "?", Utf8SequenceLength).value_or(std::string());
}

std::string Cp932ToUtf8Lossy(std::string_view bytes) {
    return FromCp932()
        .Run(bytes, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; })
        .value_or(std::string());
}

bool IsSingleByteChar(char32_t c) {
    return c < 0x10000 && Widths().single[c];
}

bool IsDoubleByteChar(char32_t c) {
    return c < 0x10000 && Widths().pair[c];
}

bool IsSingleByteText(std::string_view text) {
    for (char32_t c : DecodeUtf8(text)) {
        if (!IsSingleByteChar(c)) return false;
    }
    return true;
}

bool IsDoubleByteText(std::string_view text) {
    for (char32_t c : DecodeUtf8(text)) {
        if (!IsDoubleByteChar(c)) return false;
    }
    return true;
}

}  // namespace zelk
