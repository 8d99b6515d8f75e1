#include "app/game_folder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "common/file_io.h"
#include "common/paths.h"
#include "common/text.h"
#include "common/text_encoding.h"
#include "drivers/quor_driver.h"
#include "platform/translate.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk {

namespace {

// The debug file's switches read as true only for "true", in any case...
bool SwitchOn(const INISection& section, const char* key) {
    return ReadBool(section.KeyValue(key));
}

// ...except the two whose default is on, which only "false" turns off.
bool SwitchNotOff(const INISection& section, const char* key) {
    return ReadBool(section.KeyValue(key), true);
}

// Folder values come from a file written for a system with "\" separators.
std::string FolderValue(const std::string& value) {
    return ReplaceText(value, "\\", "/");
}

// The debug file is the author's own and may name folders anywhere; a
// folder outside the game is said, so that nobody wonders what is read.
void SayFolderOutside(const std::string& appDir, const char* key, const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path game = fs::path(appDir).lexically_normal();
    const fs::path read = fs::path(folder).lexically_normal();
    const auto [stop, at] = std::mismatch(game.begin(), game.end(), read.begin(), read.end());
    if (stop == game.end() || (std::next(stop) == game.end() && stop->empty())) return;
    std::fprintf(
        stderr, "zelk: %s\n",
        TrFormat("debug.ini [Folder] %s: reading %s, outside the game folder", {key, read.string()})
            .c_str());
}

void ApplyDebugFile(INIFile& debugFile, const std::string& appDir, ProcessValues& process) {
    const INISection& debug = debugFile.KeySection("debug");
    DebugSwitches& switches = process.Debug;
    switches.ScenarioFileMode = SwitchOn(debug, "ScenarioFileMode");
    switches.CGFileMode = SwitchOn(debug, "CGFileMode");
    switches.SoundFileMode = SwitchOn(debug, "SoundFileMode");
    switches.DrawActivity = SwitchOn(debug, "DrawActivity");
    switches.NovelMode = SwitchOn(debug, "NovelMode");
    switches.AllCG = SwitchOn(debug, "AllCG");
    switches.SubClassMode = SwitchNotOff(debug, "SubClassMode");
    switches.INIEncript = SwitchNotOff(debug, "INIEncript");
    switches.TitleSkip = SwitchOn(debug, "TitleSkip");
    switches.EntryPoint = debug.KeyValue("EntryPoint");

    if (!debugFile.KeyExists("Folder")) return;
    const INISection& folder = debugFile.KeySection("Folder");
    std::string workspace = FolderValue(folder.KeyValue("Workspace"));
    if (workspace.empty()) {
        workspace = appDir;
    } else if (workspace.front() != '/') {
        workspace = JoinPath(appDir, workspace);
    }
    process.WorkspaceDir = workspace;
    // Joined even when empty: the folder is then the workspace itself.
    process.ArchiveDir = workspace + "/" + FolderValue(folder.KeyValue("Archive"));
    process.ResourceDir = workspace + "/" + FolderValue(folder.KeyValue("Resource"));
    process.IniDir = workspace + "/" + FolderValue(folder.KeyValue("ini"));
    process.MovieDir = workspace + "/" + FolderValue(folder.KeyValue("movie"));
    SayFolderOutside(appDir, "Workspace", process.WorkspaceDir);
    SayFolderOutside(appDir, "Archive", process.ArchiveDir);
    SayFolderOutside(appDir, "Resource", process.ResourceDir);
    SayFolderOutside(appDir, "ini", process.IniDir);
    SayFolderOutside(appDir, "movie", process.MovieDir);
}

}  // namespace

GameSource FindGameSource(const ProcessValues& process) {
    if (!FindArchives(process.ArchiveDir).empty()) return GameSource::kPacked;
    if (ResolvePath(process.IniDir, "SystemInfo.ini")) return GameSource::kLoose;
    return GameSource::kNone;
}

GameFolderSetup SetUpGameFolder(const std::string& appDir, INIFile& debugFile) {
    ProcessValues& process = Process();
    const std::string saveDir = process.SaveDir;
    process.ResetFolders(appDir);
    if (!saveDir.empty()) process.SaveDir = saveDir;

    GameFolderSetup setup;
    const std::string debugPath =
        ResolvePath(appDir, "debug.ini").value_or(JoinPath(appDir, "debug.ini"));
    if (const std::optional<std::string> bytes = ReadFileBytes(debugPath)) {
        // The debug file says where SystemInfo.ini is, which says the game's
        // encoding. A debug file that reads as UTF-8 is taken so first, and
        // kept so only when the SystemInfo.ini it leads to says UTF-8; any
        // other is read as CP932, as it always was.
        const auto apply = [&](TextEncoding encoding) {
            process.ResetFolders(appDir);
            if (!saveDir.empty()) process.SaveDir = saveDir;
            std::string text;
            ReadTextFile(debugPath, text, encoding);
            debugFile.Text(text);
            debugFile.Path(debugPath);
            debugFile.Encoding(encoding);
            ApplyDebugFile(debugFile, appDir, process);
        };
        bool utf8 = false;
        if (FindEncodingMismatch(*bytes, TextEncoding())) {
            apply(TextEncoding::Utf8());
            std::string error;
            const std::unique_ptr<INIFile> info = ReadGameSystemInfo(error);
            utf8 = info && info->Encoding().IsUtf8();
        }
        if (!utf8) apply(TextEncoding());
        setup.debugFile = true;
    }

    setup.source = FindGameSource(process);
    // Without archives there is nothing else to play: a debug file that left
    // a switch off would only show an empty screen.
    if (setup.source == GameSource::kLoose) {
        DebugSwitches& switches = process.Debug;
        setup.looseForced =
            !(switches.ScenarioFileMode && switches.CGFileMode && switches.SoundFileMode);
        switches.ScenarioFileMode = switches.CGFileMode = switches.SoundFileMode = true;
        // An author keeps movies in movie/, beside image/ and sound/; packed,
        // they lie beside the archives. A debug file's [Folder] still rules.
        const std::optional<std::string> movies = ResolvePath(process.WorkspaceDir, "movie");
        if (!debugFile.KeyExists("Folder") && movies && FolderExists(*movies)) {
            process.MovieDir = *movies;
        }
    }
    return setup;
}

bool OpenArchives(clsQuorDriver& quor, const std::vector<std::string>& archives,
                  std::string& error) {
    if (archives.empty()) return true;
    if (!quor.Init(static_cast<std::int32_t>(archives.size()))) {
        error = "cannot start the archive reader";
        return false;
    }
    for (std::size_t k = 0; k < archives.size(); ++k) {
        const auto base = static_cast<std::int32_t>(k) * kIdsPerArchive;
        std::string list, why;
        if (!quor.LoadArchive(archives[k], base, &why)) {
            error = why.empty() ? archives[k] + ": damaged or not an archive" : why;
            return false;
        }
        if (!quor.LoadTextFile(base, list) || !quor.LoadArchiveList(list, base)) {
            error = archives[k] + ": its file list is damaged";
            return false;
        }
    }
    return true;
}

std::unique_ptr<INIFile> ReadGameSystemInfo(std::string& error) {
    if (std::unique_ptr<INIFile> loose = LoadSystemIni("SystemInfo", TextEncoding(), &error))
        return loose;
    if (!error.empty()) return nullptr;

    const std::vector<std::string> archives = FindArchives(Process().ArchiveDir);
    if (!archives.empty()) {
        clsQuorDriver quor;
        if (!OpenArchives(quor, archives, error)) return nullptr;
        quor.ServeSystemIni();
        if (std::unique_ptr<INIFile> packed = LoadSystemIni("SystemInfo", TextEncoding(), &error))
            return packed;
        if (!error.empty()) return nullptr;
    }
    error = Process().AppDir + ": no SystemInfo.ini in the ini folder or the archives";
    return nullptr;
}

}  // namespace zelk
