#include "interpreter/text_markup.h"

#include <cmath>
#include <cstdlib>

#include "common/codepage.h"
#include "common/numbers.h"
#include "common/text.h"

namespace zelk {

namespace {

constexpr char32_t kMalformed = U'\uFFFD';

// The code point at `pos` and the number of bytes it takes; a malformed
// byte is one U+FFFD of one byte, which ends an escape like text does, so
// that it is copied rather than swallowed into an escape's name.
char32_t PeekChar(std::string_view text, std::size_t pos, std::size_t& size) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size = 1;
    if (lead < 0x80) return lead;
    std::size_t need = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0) {
        need = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        need = 3;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        need = 4;
        c = lead & 0x07;
    } else {
        return kMalformed;
    }
    if (pos + need > text.size()) return kMalformed;
    for (std::size_t i = 1; i < need; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return kMalformed;
        c = (c << 6) | (next & 0x3F);
    }
    size = need;
    return c;
}

// Story text is full-width; an escape ends at its first full-width character.
bool EndsEscape(char32_t c) {
    return c >= 0x80 && (c == kMalformed || IsDoubleByteChar(c));
}

long Scaled(long value, double scale) {
    return RoundToLong(static_cast<double>(value) * scale);
}

void AppendCode(std::string& out, char mark, long value, int width) {
    out += mark;
    out += HexPad(value, width);
}

// Position codes carry their sign: "I+00A", "I-00A".
void AppendSignedCode(std::string& out, char mark, long value, double scale) {
    out += mark;
    out += value < 0 ? '-' : '+';
    out += HexPad(Scaled(std::labs(value), scale), 3);
}

// A colour mark prints as red-green-blue; anything past 24 bits would print
// as text.
void AppendColor(std::string& out, long rgb) {
    AppendCode(out, 'D', rgb & 0xFFFFFF, 6);
}

constexpr char kEngineEscape = '\x1B';

bool IsEngineMarkByte(char c) {
    return (c >= 'A' && c <= 'T') || c == '\n' || c == kEngineEscape;
}

void AppendText(std::string& out, std::string_view text, bool escape) {
    if (!escape) {
        out.append(text);
        return;
    }
    for (const char c : text) {
        if (IsEngineMarkByte(c)) out += kEngineEscape;
        out += c;
    }
}

struct Escape {
    std::string_view name;
    std::string_view param;
    bool hasParam = false;
};

// How an escape is compiled: by a style's rules, or for the plain text.
struct Target {
    MarkupStyle style = kMarkupLog;
    bool plain = false;
};

CompiledText Compile(std::string_view source, Target target, const MarkupScale& scale,
                     MarkupHost& host);

}  // namespace

CompiledText CompileMarkup(std::string_view source, MarkupStyle style, const MarkupScale& scale,
                           MarkupHost& host) {
    return Compile(source, Target{style, false}, scale, host);
}

CompiledText CompilePlainText(std::string_view source, MarkupHost& host) {
    return Compile(source, Target{kMarkupLog, true}, MarkupScale{}, host);
}

namespace {

CompiledText Compile(std::string_view source, Target target, const MarkupScale& scale,
                     MarkupHost& host) {
    const MarkupStyle style = target.style;
    CompiledText result;
    std::string& out = result.text;
    out.reserve(source.size() + 16);
    const bool escapeText = !target.plain && host.EngineReadsUtf8();
    std::size_t pos = 0;
    while (pos < source.size()) {
        const std::size_t slash = source.find('\\', pos);
        if (slash == std::string_view::npos) {
            AppendText(out, source.substr(pos), escapeText);
            break;
        }
        AppendText(out, source.substr(pos, slash - pos), escapeText);

        // The name: half-width characters up to "(", the next "\" or the
        // first full-width character.
        Escape escape;
        std::size_t cur = slash + 1;
        const std::size_t nameStart = cur;
        std::size_t size = 1;
        while (cur < source.size()) {
            const char32_t c = PeekChar(source, cur, size);
            if (c == '(' || c == '\\' || EndsEscape(c)) break;
            cur += size;
        }
        escape.name = source.substr(nameStart, cur - nameStart);
        if (cur < source.size() && source[cur] == '(') {
            escape.hasParam = true;
            const std::size_t paramStart = ++cur;
            while (cur < source.size()) {
                const char32_t c = PeekChar(source, cur, size);
                if (c == ')' || c == '\\' || EndsEscape(c)) break;
                cur += size;
            }
            escape.param = source.substr(paramStart, cur - paramStart);
            if (cur < source.size() && source[cur] == ')') ++cur;
        }
        pos = cur;

        const std::string name = ToLowerAscii(escape.name);
        const long number = escape.hasParam ? ReadLong(escape.param) : 0;
        if (target.plain) {
            if (name == "w") {
                result.rest = std::string(source.substr(slash + 2));
                break;
            }
            if (name == "n") out += '\n';
            if (name == "nowait") result.click = false;
            if (name == "np") result.nameplate = host.NameplateText(number);
            continue;
        }
        if (name == "w") {
            result.rest = std::string(source.substr(slash + 2));
            break;
        } else if (name == "n") {
            out += '\n';
        } else if (name == "nowait") {
            result.click = false;
        } else if (name == "pause") {
            AppendCode(out, 'B', number, 8);
        } else if (name == "speed") {
            host.TextSpeedSetting(number);
        } else if (name == "color") {
            AppendColor(out, number);
        } else if (name == "size") {
            if (style == kMarkupWindow || style == kMarkupNovel)
                AppendCode(out, 'F', Scaled(number, scale.x), 3);
        } else if (name == "width") {
            AppendCode(out, 'G', Scaled(number, scale.x), 3);
        } else if (name == "height") {
            AppendCode(out, 'H', Scaled(number, scale.y), 3);
        } else if (name == "xpos") {
            AppendSignedCode(out, 'I', number, scale.x);
        } else if (name == "ypos") {
            AppendSignedCode(out, 'J', number, scale.y);
        } else if (name == "xoffset") {
            AppendSignedCode(out, 'K', number, scale.x);
        } else if (name == "yoffset") {
            AppendSignedCode(out, 'L', number, scale.y);
        } else if (name == "v") {
            if (style == kMarkupLog) {
                if (!result.voice.empty()) result.voice += ',';
                result.voice.append(escape.param);
            } else {
                result.voice = std::string(escape.param);
            }
        } else if (name == "c") {
            if (style == kMarkupWindow) {
                const std::optional<long> bgr =
                    host.CharacterTextColor(ReplaceText(ToLowerAscii(escape.param), "cid_", ""));
                if (bgr) AppendColor(out, static_cast<long>(RgbToColorRef(*bgr & 0xFFFFFF)));
            }
        } else if (name == "np") {
            if (style == kMarkupWindow) {
                host.WindowNameFlip(number);
            } else {
                AppendText(out, host.NameplateText(number), escapeText);
                out += '\n';
            }
        }
        // Any other escape is dropped.
    }
    return result;
}

}  // namespace

std::string EscapeEngineText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    AppendText(out, text, true);
    return out;
}

std::string UnescapeEngineText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kEngineEscape && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::string PlainPageText(std::string_view source, MarkupHost& host) {
    const CompiledText page = CompilePlainText(source, host);
    if (page.nameplate.empty()) return page.text;
    // A plate is the speaker's name as the story writes it, brackets and
    // all, or the bare name.
    if (page.nameplate.starts_with("【")) return page.nameplate + page.text;
    return "【" + page.nameplate + "】" + page.text;
}

}  // namespace zelk
