// zelk-tool ini: read and change one value of a settings file, and turn the
// scrambled form of the user's files into plain text and back.
#include <cstdio>
#include <optional>
#include <string>

#include "commands.h"
#include "common/codepage.h"
#include "common/file_io.h"
#include "common/utf8.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk::tool {

namespace {

constexpr const char* kUsage =
    "usage: zelk-tool ini get FILE SECTION KEY [--scrambled]\n"
    "         prints the value to standard output\n"
    "       zelk-tool ini set FILE SECTION KEY VALUE [--scrambled]\n"
    "         changes that one value in FILE and nothing else\n"
    "       zelk-tool ini decode FILE\n"
    "         writes the plain text (UTF-8) of a scrambled FILE to standard output\n"
    "       zelk-tool ini encode FILE\n"
    "         writes the scrambled form of a plain FILE (UTF-8 or CP932) to standard output\n"
    "  --scrambled reads and writes FILE in the scrambled form of the user's files;\n"
    "  without it FILE is plain CP932 text. SECTION \"\" names the lines before the\n"
    "  first section.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "zelk-tool ini: %s\n", message.c_str());
    return kExitFailure;
}

bool PutStdout(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

// A plain file's encoding: what it declares (a UTF-8 game's SystemInfo),
// else UTF-8 when it is that (a byte-order mark, or valid UTF-8 past ASCII),
// else CP932. A UTF-8 game's other files say nothing of it themselves.
TextEncoding FileEncoding(const std::string& bytes) {
    if (ReadDeclaredEncoding(bytes).encoding.IsUtf8()) return TextEncoding::Utf8();
    if (FindEncodingMismatch(bytes, TextEncoding())) return TextEncoding::Utf8();
    return TextEncoding();
}

// The file's text, decoded strictly: a value set in a file that does not
// decode exactly would change other bytes of it on the way back.
std::optional<std::string> ReadDocument(const std::string& path, bool scrambled, std::string& error,
                                        TextEncoding* encoding = nullptr, bool* bom = nullptr) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        error = "cannot read \"" + path + "\"";
        return std::nullopt;
    }
    const TextEncoding found = FileEncoding(*bytes);
    if (encoding) *encoding = found;
    if (bom) *bom = bytes->starts_with(kUtf8Bom);
    std::optional<std::string> text;
    if (scrambled) {
        text = UnscrambleText(*bytes);
    } else if (found.IsUtf8()) {
        const std::string_view body = SkipUtf8Bom(*bytes);
        if (IsValidUtf8(body)) text = std::string(body);
    } else {
        text = Cp932ToUtf8(*bytes);
    }
    if (!text) {
        error = "\"" + path + "\" is not " +
                (scrambled ? std::string("a scrambled settings file")
                           : std::string(found.Name()) + " text");
    }
    return text;
}

// Finds SECTION and KEY without creating either.
INISection* FindKey(INIFile& ini, const std::string& path, const std::string& section,
                    const std::string& key, std::string& error) {
    if (!ini.KeyExists(section)) {
        error = "no section [" + section + "] in \"" + path + "\"";
        return nullptr;
    }
    INISection& found = ini.KeySection(section);
    if (!found.KeyExists(key)) {
        error = "no key \"" + key + "\" in section [" + section + "] of \"" + path + "\"";
        return nullptr;
    }
    return &found;
}

int Get(const std::string& path, const std::string& section, const std::string& key,
        bool scrambled) {
    std::string error;
    const auto text = ReadDocument(path, scrambled, error);
    if (!text) return Fail(error);
    INIFile ini;
    ini.Text(*text);
    INISection* found = FindKey(ini, path, section, key, error);
    if (!found) return Fail(error);
    if (!PutStdout(found->KeyValue(key) + "\n")) return Fail("cannot write standard output");
    return kExitOk;
}

int Set(const std::string& path, const std::string& section, const std::string& key,
        const std::string& value, bool scrambled) {
    if (value.find_first_of(";\r\n") != std::string::npos)
        return Fail("a value cannot hold \";\" or a line end");
    std::string error;
    TextEncoding encoding;
    bool bom = false;
    const auto text = ReadDocument(path, scrambled, error, &encoding, &bom);
    if (!text) return Fail(error);
    if (!scrambled && !encoding.EncodeStrict(value))
        return Fail("the value has characters CP932 lacks");
    INIFile ini;
    ini.Text(*text);
    INISection* found = FindKey(ini, path, section, key, error);
    if (!found) return Fail(error);
    // Keep the key's spelling as it stands in the file.
    found->KeyValue(found->LineKey(found->KeyIndex(key)), value);
    // The model drops a final line end; the file keeps it.
    std::string changed = ini.Text();
    if (text->ends_with("\r\n")) changed += "\r\n";
    const bool written =
        scrambled
            ? WriteScrambledFile(path, changed)
            : WriteFileAtomic(path, std::string(bom ? kUtf8Bom : "") + encoding.Encode(changed));
    return written ? kExitOk : Fail("cannot write \"" + path + "\"; it is unchanged");
}

int Decode(const std::string& path) {
    std::string error;
    const auto text = ReadDocument(path, true, error);
    if (!text) return Fail(error);
    return PutStdout(*text) ? kExitOk : Fail("cannot write standard output");
}

int Encode(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return Fail("cannot read \"" + path + "\"");
    // Text that is valid UTF-8 is taken as such (the form decode writes);
    // anything else must be the game's CP932.
    std::optional<std::string> text = *bytes;
    if (!IsValidUtf8(*bytes)) text = Cp932ToUtf8(*bytes);
    if (!text) return Fail("\"" + path + "\" is neither UTF-8 nor CP932 text");
    return PutStdout(ScrambleText(*text)) ? kExitOk : Fail("cannot write standard output");
}

}  // namespace

int RunIniCommand(const Arguments& args) {
    bool scrambled = false;
    Arguments words;
    for (const std::string& arg : args) {
        if (arg == "--scrambled") {
            scrambled = true;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) return Usage();
    const std::string& verb = words[0];
    if (verb == "get" && words.size() == 4) return Get(words[1], words[2], words[3], scrambled);
    if (verb == "set" && words.size() == 5)
        return Set(words[1], words[2], words[3], words[4], scrambled);
    if (verb == "decode" && words.size() == 2 && !scrambled) return Decode(words[1]);
    if (verb == "encode" && words.size() == 2 && !scrambled) return Encode(words[1]);
    return Usage();
}

}  // namespace zelk::tool
