// check: every scenario of a game, checked for what the player would drop or
// refuse. One line a finding, as compilers write them, so that editors can
// jump to the place; the exit status fails on any error.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/game_folder.h"
#include "commands.h"
#include "common/process.h"
#include "encoding_check.h"
#include "game_check.h"
#include "game_media.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "system_check.h"

namespace zelk::tool {

namespace fs = std::filesystem;

int RunCheckCommand(const Arguments& args) {
    if (args.size() != 1) return Usage("check FOLDER");
    std::error_code code;
    if (!fs::is_directory(args[0], code)) return Fail(args[0] + " is no folder");
    const std::string gameDir = fs::absolute(args[0]).lexically_normal().string();

    INIFile debugFile;
    const GameFolderSetup setup = SetUpGameFolder(gameDir, debugFile);
    Process().IsDebugMode = setup.debugFile;
    if (setup.source == GameSource::kNone) {
        return Fail(args[0] +
                    " is no game folder: it has no archives (*.quor) and no "
                    "SystemInfo.ini");
    }
    std::string error;
    GameMedia media;
    if (!media.Open(error)) return Fail(error);
    // The archives stay open for the check: the system files are read
    // through them, not through a second reader.
    // Places are shown below the folder as it was named: "scenario/s01.txt"
    // when the check runs inside the game folder.
    std::string shown = fs::path(args[0]).lexically_normal().string();
    if (shown == "." || shown == "./") shown.clear();

    std::unique_ptr<INIFile> systemInfo = LoadSystemIni("SystemInfo", TextEncoding(), &error);
    if (!systemInfo && !error.empty()) {
        // An unknown encoding, or a SystemInfo.ini saved in the other one:
        // "SystemInfo.ini:LINE: why", placed in the ini folder.
        const std::size_t colon = error.find(": ");
        const fs::path folder =
            fs::path(shown) / fs::path(Process().IniDir).lexically_relative(Process().AppDir);
        const std::string place = (folder / error.substr(0, colon)).lexically_normal().string();
        std::printf("%s: error: %s\n0 scenarios: 1 errors, 0 warnings\n", place.c_str(),
                    error.substr(colon + 2).c_str());
        std::fflush(stdout);
        return kExitFailure;
    }
    if (!systemInfo) return Fail(args[0] + ": no SystemInfo.ini in the ini folder or the archives");
    media.Encoding(systemInfo->Encoding());
    const std::vector<Finding> encodings = CheckSystemFileEncodings(systemInfo->Encoding(), shown);
    GameCheck check(std::move(systemInfo), media, shown);
    if (!check.Init(error)) return Fail(error);
    check.Run();

    // What the player would refuse to show or play, beyond the scenarios.
    const std::vector<std::string> damaged = media.DamagedEntries(shown);
    for (const std::string& entry : damaged)
        std::printf("%s\n", entry.c_str());
    // The encodings, the settings files and the scenario folder, before
    // the scenarios.
    std::vector<Finding> findings = encodings;
    for (Finding& finding : findings)
        finding.error = true;
    const std::vector<Finding> system = CheckSystemFiles(media, shown);
    findings.insert(findings.end(), system.begin(), system.end());
    findings.insert(findings.end(), check.Findings().begin(), check.Findings().end());
    const auto allErrors =
        std::count_if(findings.begin(), findings.end(), [](const Finding& f) { return f.error; });
    const int errors = static_cast<int>(allErrors) + static_cast<int>(damaged.size());
    const int warnings = static_cast<int>(findings.size() - allErrors);

    for (const Finding& finding : findings) {
        std::printf("%s: %s: %s\n", finding.place.c_str(), finding.error ? "error" : "warning",
                    finding.text.c_str());
    }
    std::printf("%d scenarios: %d errors, %d warnings\n", check.ScenarioCount(), errors, warnings);
    if (std::fflush(stdout) != 0) return Fail("cannot write to standard output");
    return errors == 0 ? kExitOk : kExitFailure;
}

}  // namespace zelk::tool
