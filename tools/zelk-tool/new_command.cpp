// new: a complete small game in a new folder, ready to check and play.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "commands.h"
#include "common/codepage.h"
#include "common/file_io.h"
#include "common/text.h"
#include "common/text_encoding.h"
#include "new_game.h"

namespace zelk::tool {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "new FOLDER [--title TEXT] [--size WxH] [--lang ja|en]";

bool ReadSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    try {
        std::size_t used = 0;
        width = std::stoi(text.substr(0, x), &used);
        if (used != x) return false;
        height = std::stoi(text.substr(x + 1), &used);
        return used == text.size() - x - 1;
    } catch (const std::exception&) {
        return false;
    }
}

// A size the layout can hold: the save screen's two columns of slots need
// a landscape screen.
std::string SizeProblem(int width, int height) {
    if (width < 320 || height < 240 || width > 7680 || height > 4320) {
        return "the size must lie between 320x240 and 7680x4320";
    }
    const NewGameLayout layout(width, height);
    if (layout.slot.x < 0) {
        return "the size " + std::to_string(width) + "x" + std::to_string(height) +
               " is too narrow for the save screen: use a landscape size such as 1280x720";
    }
    return {};
}

// The player's files are in the game's encoding with CR LF line ends.
std::optional<std::string> StoredText(const std::string& text, TextEncoding encoding) {
    return encoding.EncodeStrict(ReplaceText(text, "\n", "\r\n"));
}

// A fresh folder beside `folder`, for building the game before it takes the
// folder's name.
std::optional<fs::path> StagingFolder(const fs::path& folder) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path staging =
            folder.parent_path() /
            ("." + folder.filename().string() + ".new-" + std::to_string(random() % 1000000));
        std::error_code code;
        if (fs::create_directory(staging, code)) return staging;
    }
    return std::nullopt;
}

}  // namespace

int RunNewCommand(const Arguments& args) {
    std::optional<std::string> folderName;
    std::optional<std::string> title;
    int width = 1280, height = 720;
    NewGameLanguage language = NewGameLanguage::kJapanese;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--lang" && i + 1 < args.size()) {
            const std::string& lang = args[++i];
            if (lang == "en") {
                language = NewGameLanguage::kEnglish;
            } else if (lang != "ja") {
                return Fail("the language \"" + lang + "\" is not ja (Japanese) or en (English)");
            }
        } else if (args[i] == "--title" && i + 1 < args.size()) {
            title = args[++i];
        } else if (args[i] == "--size" && i + 1 < args.size()) {
            if (!ReadSize(args[++i], width, height)) {
                return Fail("the size \"" + args[i] + "\" is not WIDTHxHEIGHT, as in 1280x720");
            }
        } else if (!folderName && !args[i].starts_with("--")) {
            folderName = args[i];
        } else {
            return Usage(kUsage);
        }
    }
    if (!folderName) return Usage(kUsage);
    if (const std::string problem = SizeProblem(width, height); !problem.empty()) {
        return Fail(problem);
    }

    const fs::path folder = fs::absolute(*folderName).lexically_normal();
    const fs::path target = folder.has_filename() ? folder : folder.parent_path();
    std::error_code code;
    if (fs::exists(target, code)) {
        if (!fs::is_directory(target, code)) return Fail(*folderName + " exists and is no folder");
        if (!fs::is_empty(target, code)) {
            return Fail(*folderName + " exists and is not empty: name a new folder");
        }
    }
    if (!title) title = target.filename().string();
    if (title->empty() || title->find_first_of("\r\n") != std::string::npos) {
        return Fail("the title must be one line of text");
    }

    const NewGameLayout layout(width, height);
    std::vector<NewGameFile> files;
    const TextEncoding encoding =
        language == NewGameLanguage::kEnglish ? TextEncoding::Utf8() : TextEncoding::Cp932();
    for (NewGameFile& text : NewGameTexts(*title, layout, language)) {
        std::optional<std::string> stored = StoredText(text.bytes, encoding);
        if (!stored) {
            return Fail(
                "the title has characters the game's files (CP932) cannot hold: make an English "
                "game (--lang en), whose files are UTF-8");
        }
        files.push_back({text.path, std::move(*stored)});
    }
    std::string error;
    std::optional<std::vector<NewGameFile>> pictures = NewGamePictures(*title, layout, error);
    if (!pictures) return Fail(error);
    files.insert(files.end(), pictures->begin(), pictures->end());

    // The game is built under another name and renamed into place, so that
    // a failure leaves no half-made game behind.
    fs::create_directories(target.parent_path(), code);
    const std::optional<fs::path> staging = StagingFolder(target);
    if (!staging) return Fail("cannot make a folder beside " + target.string());
    for (const NewGameFile& file : files) {
        const fs::path path = *staging / file.path;
        fs::create_directories(path.parent_path(), code);
        if (!WriteFileAtomic(path.string(), file.bytes)) {
            fs::remove_all(*staging, code);
            return Fail("cannot write " + (target / file.path).string());
        }
    }
    // Renaming onto an empty folder replaces it; onto anything else it fails.
    if (::rename(staging->c_str(), target.c_str()) != 0) {
        fs::remove_all(*staging, code);
        return Fail("cannot make " + target.string() + ": " + std::strerror(errno));
    }
    std::printf("%s: a new game of %zu files, %dx%d, titled %s\n", folderName->c_str(),
                files.size(), width, height, title->c_str());
    std::printf("next: zelk-tool check %s, then zelk %s\n", folderName->c_str(),
                folderName->c_str());
    return std::fflush(stdout) == 0 ? kExitOk : Fail("cannot write to standard output");
}

}  // namespace zelk::tool
