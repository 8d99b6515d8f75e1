// The scenario commands: convert prints the regular form of one scenario
// file; pack converts scenarios on their way into an archive. Both find the
// converter's settings the way the player finds them.
#include "scenario_commands.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/game_folder.h"
#include "commands.h"
#include "common/codepage.h"
#include "common/file_io.h"
#include "common/text.h"
#include "scenario/script_manager.h"
#include "settings/ini_io.h"

namespace zelk::tool {

namespace {

namespace fs = std::filesystem;

// Messages of the player use CR LF; a terminal wants LF.
std::string ForTerminal(const std::string& text) {
    return ReplaceText(text, "\r\n", "\n");
}

bool WriteOut(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

// [SECTION] The game's folders and settings

// The game's "SystemInfo", its folders set up as the player sets them up.
std::unique_ptr<INIFile> LoadGameSystemInfo(const std::string& gameDir, std::string& error) {
    INIFile debugFile;
    SetUpGameFolder(gameDir, debugFile);
    return ReadGameSystemInfo(error);
}

bool InitConverter(ScenarioConverter& converter, INIFile& systemInfo, std::string& error) {
    if (converter.Init(systemInfo)) return true;
    error = "SystemInfo needs [TextBlock] CharCount and LineCount above 0";
    return false;
}

// [SECTION] Converting one file

struct Conversion {
    bool converted = false;
    std::string message;  // the player's error text, or a reading failure
};

// A file in the other encoding than its game's, named as such; else nothing.
std::optional<std::string> WrongEncoding(const std::string& bytes, TextEncoding encoding,
                                         const std::string& file) {
    const std::optional<EncodingMismatch> wrong = FindEncodingMismatch(bytes, encoding);
    if (!wrong) return std::nullopt;
    return file + ":" + std::to_string(wrong->line) + ": " + DescribeMismatch(*wrong, encoding);
}

Conversion ConvertFile(ScenarioConverter& converter, const fs::path& file) {
    const std::optional<std::string> bytes = ReadFileBytes(file.string());
    if (!bytes) return {false, file.string() + ": cannot read the file"};
    if (auto wrong = WrongEncoding(*bytes, converter.Encoding(), file.string()))
        return {false, *wrong};
    if (converter.Assemble(converter.Encoding().Decode(*bytes))) return {true, {}};
    return {false, AssembleErrorText(file.stem().string(), converter)};
}

std::string UnclosedBlockWarning(const ScenarioConverter& converter, const fs::path& file) {
    if (converter.UnclosedBlockLine() == 0) return {};
    return file.string() + ":" + std::to_string(converter.UnclosedBlockLine()) +
           ": warning: the story text from this line has no closing \\b and is dropped\n";
}

}  // namespace

// [SECTION] convert

int RunConvertCommand(const Arguments& args) {
    constexpr const char* kUsage = "convert FILE [--game DIR] [--cp932]";
    std::optional<std::string> file;
    std::optional<std::string> gameDir;
    bool cp932 = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--cp932") {
            cp932 = true;
        } else if (args[i] == "--game" && i + 1 < args.size()) {
            gameDir = args[++i];
        } else if (!file && !args[i].starts_with("--")) {
            file = args[i];
        } else {
            return Usage(kUsage);
        }
    }
    if (!file) return Usage(kUsage);
    const fs::path path = fs::absolute(*file);
    if (!gameDir) gameDir = path.parent_path().parent_path().string();

    std::string error;
    std::unique_ptr<INIFile> systemInfo = LoadGameSystemInfo(*gameDir, error);
    ScenarioConverter converter;
    if (!systemInfo || !InitConverter(converter, *systemInfo, error)) return Fail(error);

    const Conversion result = ConvertFile(converter, path);
    if (!result.converted) {
        std::fprintf(stderr, "%s\n", ForTerminal(result.message).c_str());
        return kExitFailure;
    }
    std::fputs(UnclosedBlockWarning(converter, path).c_str(), stderr);
    std::string out = converter.RegularScript();
    if (cp932) {
        const std::optional<std::string> bytes = Utf8ToCp932(out);
        if (!bytes) return Fail("the regular form has characters CP932 cannot write");
        out = *bytes;
    } else if (isatty(STDOUT_FILENO)) {
        out = ForTerminal(out) + "\n";
    }
    return WriteOut(out) ? kExitOk : Fail("cannot write to standard output");
}

// [SECTION] pack

namespace {

// The folder itself, whether or not its name ends in a separator.
fs::path NormalFolder(const std::string& folder) {
    fs::path path = fs::absolute(folder).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

}  // namespace

bool IsScenarioEntry(const std::string& packedFolder, const std::string& relativePath) {
    const fs::path relative(relativePath);
    if (!EqualsNoCase(relative.extension().string(), ".txt")) return false;
    if (EqualsNoCase(NormalFolder(packedFolder).filename().string(), "scenario")) return true;
    for (const fs::path& part : relative.parent_path()) {
        if (EqualsNoCase(part.string(), "scenario")) return true;
    }
    return false;
}

TextEncoding PackedGameEncoding(const std::string& packedFolder) {
    std::error_code code;
    for (fs::recursive_directory_iterator entry(packedFolder, code), end; !code && entry != end;
         entry.increment(code)) {
        if (!entry->is_regular_file() ||
            !EqualsNoCase(entry->path().filename().string(), "SystemInfo.ini")) {
            continue;
        }
        if (const std::optional<std::string> bytes = ReadFileBytes(entry->path().string()))
            return ReadDeclaredEncoding(*bytes).encoding;
    }
    std::string error;
    const std::unique_ptr<INIFile> systemInfo =
        LoadGameSystemInfo(NormalFolder(packedFolder).parent_path().string(), error);
    return EncodingOf(systemInfo.get());
}

bool ScenarioPacker::Init(const std::string& packedFolder, std::string& error) {
    std::error_code code;
    for (fs::recursive_directory_iterator entry(packedFolder, code), end; !code && entry != end;
         entry.increment(code)) {
        if (!entry->is_regular_file() ||
            !EqualsNoCase(entry->path().filename().string(), "SystemInfo.ini")) {
            continue;
        }
        const std::optional<std::string> bytes = ReadFileBytes(entry->path().string());
        if (!bytes) continue;
        const DeclaredEncoding declared = ReadDeclaredEncoding(*bytes);
        if (!declared.error.empty()) {
            error = entry->path().string() + ":" + std::to_string(declared.line) + ": " +
                    declared.error;
            return false;
        }
        std::string text;
        if (!ReadTextFile(entry->path().string(), text, declared.encoding)) continue;
        INIFile systemInfo;
        systemInfo.Encoding(declared.encoding);
        systemInfo.Text(text);
        return InitConverter(mConverter, systemInfo, error);
    }
    std::unique_ptr<INIFile> systemInfo =
        LoadGameSystemInfo(NormalFolder(packedFolder).parent_path().string(), error);
    return systemInfo && InitConverter(mConverter, *systemInfo, error);
}

bool ScenarioPacker::Convert(const std::string& name, std::string& bytes, std::string& error) {
    const TextEncoding encoding = mConverter.Encoding();
    if (auto wrong = WrongEncoding(bytes, encoding, name)) {
        error = *wrong;
        return false;
    }
    if (!mConverter.Assemble(encoding.Decode(bytes))) {
        error = ForTerminal(AssembleErrorText(name, mConverter));
        return false;
    }
    std::optional<std::string> regular = encoding.EncodeStrict(mConverter.RegularScript());
    if (!regular) {
        error = name + ": the regular form has characters CP932 cannot write";
        return false;
    }
    bytes = std::move(*regular);
    return true;
}

}  // namespace zelk::tool
