#include "encoding_check.h"

#include <filesystem>

#include "common/file_io.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"

namespace zelk::tool {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSystemFiles[] = {"SystemInfo", "game_mode", "omake_mode", "saveload_mode",
                                        "title_mode"};

std::string Shown(const std::string& shownFolder, const std::string& path) {
    const fs::path relative = fs::path(path).lexically_relative(Process().AppDir);
    const fs::path shown = relative.empty() || relative.string().starts_with("..")
                               ? fs::path(path)
                               : fs::path(shownFolder) / relative;
    return shown.lexically_normal().string();
}

bool HasLetter(std::string_view text) {
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    }
    return false;
}

}  // namespace

std::optional<Finding> EncodingFinding(const std::string& bytes, TextEncoding encoding,
                                       const std::string& shownFile) {
    const std::optional<EncodingMismatch> wrong = FindEncodingMismatch(bytes, encoding);
    if (!wrong) return std::nullopt;
    return Finding{shownFile + ":" + std::to_string(wrong->line), true,
                   DescribeMismatch(*wrong, encoding) + "."};
}

std::vector<Finding> CheckSystemFileEncodings(TextEncoding encoding,
                                              const std::string& shownFolder) {
    std::vector<Finding> findings;
    std::vector<std::string> paths;
    for (const char* name : kSystemFiles) {
        if (const auto path = ResolvePath(Process().IniDir, std::string(name) + ".ini"))
            paths.push_back(*path);
    }
    if (const auto debug = ResolvePath(Process().AppDir, "debug.ini")) paths.push_back(*debug);
    for (const std::string& path : paths) {
        if (!IsRegularFile(path)) continue;
        const std::optional<std::string> bytes = ReadFileBytes(path);
        if (!bytes) continue;
        if (auto finding = EncodingFinding(*bytes, encoding, Shown(shownFolder, path)))
            findings.push_back(std::move(*finding));
    }
    return findings;
}

std::string UnknownWordInUtf8Game(const std::string& word, const std::string& written) {
    const std::string undefined = "未定義命令'" + word + "'.";
    std::string text = TrimChars(written, " \t");
    // A sentence: letters with a blank or punctuation among them, or a
    // speaker's "Name:" read as a label.
    const bool sentence = HasLetter(text) && text.find_first_of(" !?.,:\"'") != std::string::npos;
    if (!sentence) {
        return undefined + " " + word +
               " is no command of this game: mend its spelling, or add it to [Instruction] of "
               "SystemInfo.ini.";
    }
    return undefined +
           " This line is read as an instruction: in a UTF-8 game a line of story text that "
           "holds ASCII characters begins with \"> \" (> " +
           text + ").";
}

}  // namespace zelk::tool
