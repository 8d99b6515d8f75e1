#include "settings/ini_io.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "common/utf8.h"
#include "settings/key_trace.h"

namespace zelk {

namespace {

constexpr std::string_view kScrambleKey = "Qz7rTk2MxWb4&8)p!%3nd+H";

unsigned char KeyByte(std::size_t i) {
    return static_cast<unsigned char>(kScrambleKey[i % kScrambleKey.size()]);
}

std::string ToUtf16Le(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    const auto put = [&](char32_t unit) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    };
    for (char32_t c : DecodeUtf8(text)) {
        if (c >= 0x10000) {
            c -= 0x10000;
            put(0xD800 + (c >> 10));
            put(0xDC00 + (c & 0x3FF));
        } else {
            put(c);
        }
    }
    return bytes;
}

std::optional<std::string> FromUtf16Le(const std::string& bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::string text;
    text.reserve(bytes.size());
    const auto unit = [&](std::size_t i) -> char32_t {
        return static_cast<unsigned char>(bytes[i]) |
               (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c == 0 || (c >= 0xDC00 && c <= 0xDFFF)) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return std::nullopt;
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(text, c);
    }
    return text;
}

SystemIniSource& Fallback() {
    static SystemIniSource source;
    return source;
}

// A file saved on this system may end its lines in a bare LF, where the
// settings model splits at CR LF only. No CP932 character holds the LF byte,
// so a bare one can only be a line end.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// The one reading of a plain text, a file's or an archive's: it ends at its
// first NUL byte, as a zero-terminated reading ends it. `cut` tells whether
// there was one.
std::string PlainText(std::string bytes, bool& cut, TextEncoding encoding) {
    const std::size_t nul = bytes.find('\0');
    cut = nul != std::string::npos;
    if (cut) bytes.resize(nul);
    std::string text = encoding.Decode(bytes);
    if (text.find('\n') != std::string::npos) text = WithCrLf(text);
    return text;
}

bool ReadPlainFile(const std::string& path, std::string& text, bool& cut, std::size_t limit,
                   TextEncoding encoding) {
    text.clear();
    cut = false;
    auto bytes = ReadFileBytes(path, limit);
    if (!bytes) return false;
    text = PlainText(std::move(*bytes), cut, encoding);
    return true;
}

// A reader's file of a UTF-8 game that is not UTF-8 was written while the
// game was CP932 (a translation of it keeps its readers' saves).
TextEncoding UserFileEncoding(const std::string& path, TextEncoding game) {
    if (!game.IsUtf8()) return game;
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (bytes && FindEncodingMismatch(*bytes, game)) return TextEncoding::Cp932();
    return game;
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text, bool /*force*/, std::size_t limit) {
    bool cut = false;
    return ReadPlainFile(path, text, cut, limit, TextEncoding());
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    return WriteFileAtomic(path, Utf8ToCp932Lossy(text));
}

bool ReadTextFile(const std::string& path, std::string& text, TextEncoding encoding,
                  std::size_t limit) {
    bool cut = false;
    return ReadPlainFile(path, text, cut, limit, encoding);
}

bool WriteTextFile(const std::string& path, const std::string& text, TextEncoding encoding) {
    return WriteFileAtomic(path, encoding.Encode(text));
}

std::string ScrambleText(const std::string& text) {
    std::string bytes = ToUtf16Le(text);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const auto rotated = static_cast<unsigned char>((b << 3) | (b >> 5));
        bytes[i] = static_cast<char>(rotated ^ KeyByte(i));
    }
    return bytes;
}

std::optional<std::string> UnscrambleText(const std::string& bytes) {
    std::string plain(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b =
            static_cast<unsigned char>(static_cast<unsigned char>(bytes[i]) ^ KeyByte(i));
        plain[i] = static_cast<char>(static_cast<unsigned char>((b >> 3) | (b << 5)));
    }
    return FromUtf16Le(plain);
}

bool ReadScrambledFile(const std::string& path, std::string& text, bool /*force*/,
                       std::size_t limit) {
    text.clear();
    const auto bytes = ReadFileBytes(path, limit);
    if (!bytes) return false;
    auto plain = UnscrambleText(*bytes);
    if (!plain) return false;
    text = std::move(*plain);
    return true;
}

bool WriteScrambledFile(const std::string& path, const std::string& text) {
    return WriteFileAtomic(path, ScrambleText(text));
}

bool ReadIniFile(INIFile& ini, const std::string& path, std::size_t limit) {
    std::string text;
    bool read = false;
    if (Process().Debug.INIEncript) {
        read = ReadScrambledFile(path, text, false, limit);
    } else {
        // The player writes these files itself and never a NUL: one is
        // damage, and what follows it is the reader's. The file is then not
        // read, so that its callers keep it aside whole rather than write
        // back its first part.
        bool cut = false;
        read =
            ReadPlainFile(path, text, cut, limit, UserFileEncoding(path, ini.Encoding())) && !cut;
        if (!read) text.clear();
    }
    ini.Text(text);
    ini.Path(path);
    return read;
}

bool WriteIniFile(INIFile& ini, const std::string& path) {
    const std::string target = path.empty() ? ini.Path() : path;
    if (target.empty()) return false;
    return Process().Debug.INIEncript ? WriteScrambledFile(target, ini.Text())
                                      : WriteTextFile(target, ini.Text(), ini.Encoding());
}

bool KeepUnreadableFile(const std::string& path) {
    if (!FileExists(path)) return false;
    return std::rename(path.c_str(), (path + ".broken").c_str()) == 0;
}

void SetSystemIniFallback(SystemIniSource source) {
    Fallback() = std::move(source);
}

std::unique_ptr<INIFile> LoadSystemIni(const std::string& name, TextEncoding encoding,
                                       std::string* error) {
    std::optional<std::string> bytes;
    if (const auto path = ResolvePath(Process().IniDir, name + ".ini"); path && FileExists(*path)) {
        bytes = ReadFileBytes(*path);
    } else if (Fallback()) {
        bytes = Fallback()(name);
    }
    if (!bytes) return nullptr;
    // Any text at all, an empty one or one of comments included, is a
    // settings file; what it lacks, its readers find missing key by key.
    const auto fail = [&](int line, const std::string& why) {
        if (error) *error = name + ".ini:" + std::to_string(line) + ": " + why;
        return nullptr;
    };
    if (EqualsNoCase(name, "SystemInfo")) {
        const DeclaredEncoding declared = ReadDeclaredEncoding(*bytes);
        if (!declared.error.empty()) return fail(declared.line, declared.error);
        encoding = declared.encoding;
    }
    if (const std::optional<EncodingMismatch> wrong = FindEncodingMismatch(*bytes, encoding)) {
        // A stray bad byte in a UTF-8 file reads as U+FFFD, and is told.
        if (!encoding.IsUtf8() || wrong->looksCp932)
            return fail(wrong->line, DescribeMismatch(*wrong, encoding));
        fail(wrong->line, DescribeMismatch(*wrong, encoding));
    }
    bool cut = false;
    auto ini = std::make_unique<INIFile>();
    ini->Encoding(encoding);
    ini->Text(PlainText(std::move(*bytes), cut, encoding));
    if (!KeyTraceFile().empty()) ini->TraceFile(name);
    return ini;
}

}  // namespace zelk
