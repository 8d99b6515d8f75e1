// The archive commands: pack a game folder into a ".quor" archive, list an
// archive's keys, extract one entry. list and extract read through the
// player's own archive driver, so they see exactly what the game sees.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "common/file_io.h"
#include "common/paths.h"
#include "common/text.h"
#include "drivers/quor_driver.h"
#include "platform/picture.h"
#include "scenario_commands.h"
#include "system_check.h"
#include "zelk-tool/quor_writer.h"

namespace zelk::tool {

namespace {

namespace fs = std::filesystem;

// [SECTION] pack --------------------------------------------------------------

// Scenario files go into archives in the regular instruction form, the form
// the game expects of archived scripts; the converter's settings come from
// the game's "SystemInfo", looked up only once a scenario turns up, so that
// folders without scenarios pack without one.
class ScenarioStore {
public:
    explicit ScenarioStore(std::string folder) : mFolder(std::move(folder)) {}

    bool Applies(const std::string& relative) const { return IsScenarioEntry(mFolder, relative); }
    bool Convert(const std::string& key, std::string& bytes, std::string& error) {
        if (!mReady && !(mReady = mPacker.Init(mFolder, error))) return false;
        return mPacker.Convert(key, bytes, error);
    }

private:
    std::string mFolder;
    ScenarioPacker mPacker;
    bool mReady = false;
};

// Data that deflate can't shrink is stored, the rest deflated.
bool IsCompressedAlready(const std::string& extension) {
    static const char* const kPacked[] = {".png",  ".jpg",  ".jpeg", ".webp", ".ogg",
                                          ".opus", ".flac", ".mp3",  ".mpg",  ".mpeg",
                                          ".avi",  ".wmv",  ".mp4",  ".zip",  ".quor"};
    for (const char* packed : kPacked) {
        if (extension == packed) return true;
    }
    return false;
}

struct SourceFile {
    fs::path path;
    std::string relative;  // shown in messages and used as entry name
    std::string key;
    std::string extension;
};

// What a game folder holds for its author alone, never shipped: the debug
// file, the saves and log of debug runs, and movies, which play from files
// beside the archives only.
bool IsAuthorsOwn(const fs::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    std::error_code code;
    if (entry.is_directory(code)) {
        return EqualsNoCase(name, "savedata") || EqualsNoCase(name, "log") ||
               EqualsNoCase(name, "movie");
    }
    return EqualsNoCase(name, "debug.ini");
}

// Whether the link at `path` ends at a file inside the folder `root`
// (canonical): a link out of the folder would pack whatever it points to,
// which is not the game's to ship.
bool LinksInside(const fs::path& path, const fs::path& root) {
    std::error_code code;
    const fs::path target = fs::canonical(path, code);
    if (code) return false;
    const fs::path relative = target.lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}

// Every visible regular file below the folder in path order, with its key:
// the file name without extension. In a game folder (one with its
// SystemInfo.ini) the author's own files are left out and named in
// `left`; links to files outside the folder are left out and named in
// `outside`.
std::optional<std::vector<SourceFile>> CollectFiles(const fs::path& folder, const fs::path& skip,
                                                    std::vector<std::string>& left,
                                                    std::vector<std::string>& outside,
                                                    std::vector<std::string>& unread,
                                                    std::string& error) {
    std::vector<SourceFile> files;
    std::error_code code;
    const fs::path root = fs::canonical(folder, code);
    if (code) {
        error = folder.string() + ": " + code.message();
        return std::nullopt;
    }
    const bool gameFolder = ResolvePath(folder.string(), "SystemInfo.ini").has_value();
    fs::recursive_directory_iterator entry(folder, fs::directory_options::none, code);
    for (; !code && entry != fs::recursive_directory_iterator(); entry.increment(code)) {
        const std::string name = entry->path().filename().string();
        const bool authors = gameFolder && entry.depth() == 0 && IsAuthorsOwn(*entry);
        if (name.starts_with(".") || authors) {
            if (authors) left.push_back(name);
            if (entry->is_directory()) entry.disable_recursion_pending();
            continue;
        }
        std::error_code ignored;
        if (!entry->is_regular_file(ignored) || fs::equivalent(entry->path(), skip, ignored))
            continue;
        // A link is named by where it lies, not by where it leads.
        const std::string relative =
            (fs::relative(entry->path().parent_path(), folder, ignored) / name)
                .lexically_normal()
                .generic_string();
        if (entry->is_symlink(ignored) && !LinksInside(entry->path(), root)) {
            outside.push_back(relative);
            continue;
        }
        // A copy or a backup beside the scenarios would be packed as a
        // scenario of its own that no label reaches.
        if (IsUnreadScenarioFile(folder.string(), relative)) {
            unread.push_back(relative);
            continue;
        }
        files.push_back({entry->path(), relative, entry->path().stem().string(),
                         ToLowerAscii(entry->path().extension().string())});
    }
    if (code) {
        error = folder.string() + ": " + code.message();
        return std::nullopt;
    }
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.relative < b.relative; });
    return files;
}

// The "-m" mask entry the game looks up for a PNG with alpha, unless the
// folder brings its own mask picture under that key.
bool AddMaskOf(const SourceFile& file, const std::map<std::string, std::string>& fileKeys,
               QuorWriter& writer, std::string& error) {
    const std::optional<Picture> picture = Picture::Load(file.path.string(), error);
    if (!picture) {
        error = file.relative + ": " + error;
        return false;
    }
    const std::string maskKey = file.key + "-m";
    if (!picture->HasAlpha() || fileKeys.contains(ToLowerAscii(maskKey))) return true;
    std::optional<std::string> mask = EncodeMaskBmp(*picture, error);
    if (!mask) {
        error = file.relative + ": " + error;
        return false;
    }
    const std::string name =
        fs::path(file.relative).replace_filename(maskKey + ".bmp").generic_string();
    return writer.AddBytes(maskKey, name, std::move(*mask), true, error);
}

bool AddFile(const SourceFile& file, ScenarioStore& scenarios, QuorWriter& writer,
             std::string& error) {
    const bool compress = !IsCompressedAlready(file.extension);
    if (!scenarios.Applies(file.relative)) {
        return writer.AddFile(file.key, file.relative, file.path.string(), compress, error);
    }
    std::optional<std::string> bytes = ReadFileBytes(file.path.string());
    if (!bytes) {
        error = file.relative + ": cannot read the file";
        return false;
    }
    if (!scenarios.Convert(file.key, *bytes, error)) {
        error = file.relative + ":\n" + error;
        return false;
    }
    return writer.AddBytes(file.key, file.relative, std::move(*bytes), compress, error);
}

}  // namespace

int RunPackCommand(const Arguments& args) {
    if (args.size() != 2) return Usage("pack FOLDER ARCHIVE");
    const fs::path folder = args[0];
    const std::string archive = args[1];
    std::error_code code;
    if (!fs::is_directory(folder, code)) return Fail(folder.string() + " is no folder");

    std::string error;
    std::vector<std::string> left, outside, unread;
    const std::optional<std::vector<SourceFile>> files =
        CollectFiles(folder, archive, left, outside, unread, error);
    if (!files) return Fail(error);
    for (const std::string& name : outside)
        std::printf("%s: left out, a link to a file outside the folder\n", name.c_str());
    for (const std::string& name : unread) {
        std::printf(
            "%s: left out, the player never reads it (a scenario is NAME.txt, with no "
            "'.' in NAME)\n",
            name.c_str());
    }
    for (const std::string& name : left) {
        std::printf("%s: left out, the author's own%s\n", name.c_str(),
                    EqualsNoCase(name, "movie") ? " (copy its movies beside the archive)" : "");
    }

    // Keys ignore case, so two files whose names differ only in case or
    // extension would hide one another in the game.
    std::map<std::string, std::string> fileKeys;  // key in small letters -> file
    for (const SourceFile& file : *files) {
        const auto [taken, added] = fileKeys.emplace(ToLowerAscii(file.key), file.relative);
        if (!added) {
            return Fail(taken->second + " and " + file.relative + " both give the key \"" +
                        file.key + "\"");
        }
    }

    QuorWriter writer("filelist", PackedGameEncoding(folder.string()));
    ScenarioStore scenarios(folder.string());
    for (const SourceFile& file : *files) {
        if (!AddFile(file, scenarios, writer, error)) return Fail(error);
        if ((file.extension == ".png" || file.extension == ".webp") &&
            !AddMaskOf(file, fileKeys, writer, error)) {
            return Fail(error);
        }
    }
    // The shipped game's folder may not exist yet.
    if (const fs::path parent = fs::absolute(archive).parent_path(); !fs::exists(parent, code)) {
        fs::create_directories(parent, code);
    }
    if (!writer.Write(archive, error)) return Fail(error);
    std::printf("%s: %zu entries\n", archive.c_str(), writer.EntryCount());
    return kExitOk;
}

// [SECTION] list and extract --------------------------------------------------

namespace {

// Opens the archive as the game does: its list gives the keys of ids 0, 1, ...
// False with a message naming the archive (and the entry that lies).
bool OpenArchive(clsQuorDriver& quor, const std::string& path, std::string& list,
                 std::string& error) {
    if (!quor.Init(1) || !quor.LoadArchive(path, 0, &error)) {
        if (error.empty()) error = path + ": not a readable archive";
        return false;
    }
    if (!quor.LoadTextFile(0, list) || !quor.LoadArchiveList(list, 0)) {
        error = path + ": its file list is damaged";
        return false;
    }
    return true;
}

}  // namespace

int RunListCommand(const Arguments& args) {
    if (args.size() != 1) return Usage("list ARCHIVE");
    clsQuorDriver quor;
    std::string list, error;
    if (!OpenArchive(quor, args[0], list, error)) return Fail(error);
    const std::vector<std::string> keys = FileListKeys(list);
    for (std::size_t id = 0; id < keys.size(); ++id) {
        const auto entry = static_cast<std::int32_t>(id);
        std::printf("%zu\t%d\t%s\n", id, static_cast<int>(quor.GetSize(entry)), keys[id].c_str());
    }
    return std::fflush(stdout) == 0 ? kExitOk : Fail("cannot write the list");
}

int RunExtractCommand(const Arguments& args) {
    if (args.size() != 2) return Usage("extract ARCHIVE KEY");
    clsQuorDriver quor;
    std::string list, error;
    if (!OpenArchive(quor, args[0], list, error)) return Fail(error);
    const std::int32_t id = quor.FileKeyToID(args[1]);
    if (id < 0) return Fail(args[0] + " has no key \"" + args[1] + "\"");
    std::string bytes(static_cast<std::size_t>(quor.GetSize(id)), '\0');
    if (!quor.GetMemory(id, bytes.data(), static_cast<std::int32_t>(bytes.size()))) {
        return Fail(args[0] + ": cannot read \"" + args[1] + "\"");
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        return Fail("cannot write to standard output");
    }
    return kExitOk;
}

}  // namespace zelk::tool
