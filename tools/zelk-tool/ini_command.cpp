// zelk-tool ini: read and change one value of a settings file, and turn the
// scrambled form of the user's files into plain text and back.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands.h"
#include "common/codepage.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "common/utf8.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk::tool {

namespace {

constexpr const char* kUsage =
    "usage: zelk-tool ini get FILE SECTION KEY [--scrambled]\n"
    "         prints the value to standard output\n"
    "       zelk-tool ini set FILE SECTION KEY VALUE [--scrambled] [--add]\n"
    "         changes that one value in FILE and nothing else; with --add a key\n"
    "         FILE lacks is added as ini add does\n"
    "       zelk-tool ini add FILE SECTION KEY VALUE [--scrambled]\n"
    "         adds the key after the last key of SECTION (the section, when FILE\n"
    "         lacks it, at the end); a key FILE has already is refused\n"
    "       zelk-tool ini decode FILE\n"
    "         writes the plain text (UTF-8) of a scrambled FILE to standard output\n"
    "       zelk-tool ini encode FILE\n"
    "         writes the scrambled form of a plain FILE (UTF-8 or CP932) to standard output\n"
    "  --scrambled reads and writes FILE in the scrambled form of the user's files;\n"
    "  without it FILE is plain CP932 text (a UTF-8 file stays UTF-8, and LF line\n"
    "  ends stay LF). SECTION \"\" names the lines before the first section.\n";

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

// How a plain file was written, so that a change writes it back alike.
struct PlainForm {
    bool utf8 = false;
    bool bom = false;
    bool lfOnly = false;  // LF line ends, which the settings model reads as CR LF
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Bytes above ASCII tell UTF-8 text from plain ASCII, which is both.
bool HasHighByte(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The file's text, decoded strictly: a value set in a file that does not
// decode exactly would change other bytes of it on the way back. A plain
// file is the game's CP932, else UTF-8 text.
std::optional<std::string> ReadDocument(const std::string& path, bool scrambled, std::string& error,
                                        PlainForm* form = nullptr) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        error = "cannot read \"" + path + "\"";
        return std::nullopt;
    }
    PlainForm plain;
    std::optional<std::string> text;
    if (scrambled) {
        text = UnscrambleText(*bytes);
    } else if (ReadDeclaredEncoding(*bytes).encoding.IsUtf8() ||
               (IsValidUtf8(*bytes) && HasHighByte(*bytes))) {
        // A UTF-8 game's SystemInfo says so; any other file saved as UTF-8
        // is written back as it came: the check names a wrong one, this
        // command only edits.
        plain.utf8 = true;
        plain.bom = bytes->starts_with(kBom);
        const std::string body = bytes->substr(plain.bom ? kBom.size() : 0);
        if (IsValidUtf8(body)) text = body;
    } else {
        text = Cp932ToUtf8(*bytes);
    }
    if (!text) {
        error = "\"" + path + "\" is not " +
                (scrambled    ? std::string("a scrambled settings file")
                 : plain.utf8 ? "UTF-8 text"
                              : "CP932 text");
        return std::nullopt;
    }
    if (!scrambled && text->find('\n') != std::string::npos &&
        text->find("\r\n") == std::string::npos) {
        plain.lfOnly = true;
        std::string crlf;
        for (const char c : *text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        text = std::move(crlf);
    }
    if (form != nullptr) *form = plain;
    return text;
}

// Writes the changed text in the form it was read in, through a temporary
// file renamed over the old one.
bool WriteDocument(const std::string& path, std::string text, bool scrambled,
                   const PlainForm& form) {
    if (scrambled) return WriteScrambledFile(path, text);
    if (form.lfOnly) {
        std::string lf;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            lf += text[i];
        }
        text = std::move(lf);
    }
    if (form.utf8) return WriteFileAtomic(path, (form.bom ? std::string(kBom) : "") + text);
    const std::optional<std::string> bytes = Utf8ToCp932(text);
    return bytes && WriteFileAtomic(path, *bytes);
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

// The value as it can be written into the file, or a message.
std::optional<std::string> CheckValue(const std::string& value, bool cp932, std::string& error) {
    if (value.find_first_of(";\r\n") != std::string::npos) {
        error = "a value cannot hold \";\" or a line end";
        return std::nullopt;
    }
    if (cp932 && !Utf8ToCp932(value)) {
        error = "the value has characters CP932 lacks";
        return std::nullopt;
    }
    return value;
}

// Puts KEY=VALUE after the last key of the section, so that it joins its
// fellows rather than the comments and blank lines before the next header.
void AddKey(INIFile& ini, const std::string& section, const std::string& key,
            const std::string& value) {
    INISection& target = ini.KeySection(section);
    int after = -1;
    for (int i = 0; i < target.Count(); ++i) {
        if (!target.LineKey(i).empty()) after = i;
    }
    std::vector<std::string> lines;
    for (int i = 0; i < target.Count(); ++i)
        lines.push_back(target.LineText(i));
    // A new section's body is one empty line: the key takes its place.
    if (lines.size() == 1 && lines[0].empty()) lines.clear();
    lines.insert(lines.begin() + (after + 1), key + "=" + value);
    std::string body;
    for (std::size_t i = 0; i < lines.size(); ++i)
        body += (i == 0 ? "" : "\r\n") + lines[i];
    target.Text(body);
}

enum class Change { kSet, kAdd, kSetOrAdd };

int Set(const std::string& path, const std::string& section, const std::string& key,
        const std::string& value, bool scrambled, Change change) {
    std::string error;
    if (key.empty() || key.find_first_of("=;[\r\n") != std::string::npos ||
        key.find_first_not_of(" \t") == std::string::npos) {
        return Fail("a key cannot be empty or hold \"=\", \";\", \"[\" or a line end");
    }
    PlainForm form;
    const auto text = ReadDocument(path, scrambled, error, &form);
    if (!text) return Fail(error);
    if (!CheckValue(value, !scrambled && !form.utf8, error)) return Fail(error);
    INIFile ini;
    ini.Text(*text);
    const bool has = ini.KeyExists(section) && ini.KeySection(section).KeyExists(key);
    if (change == Change::kAdd && has) {
        return Fail("section [" + section + "] of \"" + path + "\" has the key \"" + key +
                    "\" already; change it with ini set");
    }
    if (has) {
        INISection& found = ini.KeySection(section);
        // Keep the key's spelling as it stands in the file.
        found.KeyValue(found.LineKey(found.KeyIndex(key)), value);
    } else if (change == Change::kSet) {
        FindKey(ini, path, section, key, error);
        return Fail(error + " (ini add, or ini set --add, adds it)");
    } else {
        AddKey(ini, section, key, value);
    }
    // The model drops a final line end; the file keeps it.
    std::string changed = ini.Text();
    if (text->ends_with("\r\n")) changed += "\r\n";
    return WriteDocument(path, changed, scrambled, form)
               ? kExitOk
               : Fail("cannot write \"" + path + "\"; it is unchanged");
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
    bool add = false;
    Arguments words;
    for (const std::string& arg : args) {
        if (arg == "--scrambled") {
            scrambled = true;
        } else if (arg == "--add") {
            add = true;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) return Usage();
    const std::string& verb = words[0];
    if (verb == "get" && words.size() == 4 && !add)
        return Get(words[1], words[2], words[3], scrambled);
    if (verb == "set" && words.size() == 5) {
        return Set(words[1], words[2], words[3], words[4], scrambled,
                   add ? Change::kSetOrAdd : Change::kSet);
    }
    if (verb == "add" && words.size() == 5 && !add)
        return Set(words[1], words[2], words[3], words[4], scrambled, Change::kAdd);
    if (add) return Usage();
    if (verb == "decode" && words.size() == 2 && !scrambled) return Decode(words[1]);
    if (verb == "encode" && words.size() == 2 && !scrambled) return Encode(words[1]);
    return Usage();
}

}  // namespace zelk::tool
