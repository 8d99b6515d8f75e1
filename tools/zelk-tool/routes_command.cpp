// routes: plays every road through a game and says where each one ends,
// which fail, and what no road reaches. One line a finding, as compilers
// write them; --json writes the same for other tools.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/game_folder.h"
#include "commands.h"
#include "common/numbers.h"
#include "common/process.h"
#include "game_media.h"
#include "routes_explorer.h"
#include "scenario/value_resolver.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk::tool {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "routes FOLDER [--json] [--from LABEL] [--limit "
    "states=N|steps=N|time=SECONDS|passes=N|memory=MB ...]";

const char* KindWord(RouteKind kind) {
    switch (kind) {
        case RouteKind::kError:
            return "error";
        case RouteKind::kWarning:
            return "warning";
        case RouteKind::kEnding:
            return "ending";
        case RouteKind::kEnd:
            return "end";
        case RouteKind::kNote:
            break;
    }
    return "note";
}

// Errors first, then what no road reaches, then where the roads end.
int Rank(RouteKind kind) {
    switch (kind) {
        case RouteKind::kError:
            return 0;
        case RouteKind::kWarning:
            return 1;
        case RouteKind::kEnding:
            return 2;
        case RouteKind::kEnd:
            return 3;
        case RouteKind::kNote:
            break;
    }
    return 4;
}

// The choices in order; a run of the same caption is written once with its
// count, and a long road keeps its first and last choices (--json has all).
std::string PathText(const std::vector<std::string>& path) {
    if (path.empty()) return "no choice";
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t end = i + 1;
        while (end < path.size() && path[end] == path[i])
            ++end;
        runs.push_back(end - i == 1 ? path[i] : path[i] + " (x" + std::to_string(end - i) + ")");
        i = end;
    }
    constexpr std::size_t kShown = 8;
    if (runs.size() > 2 * kShown + 1) {
        const std::size_t left = runs.size() - 2 * kShown;
        runs.erase(runs.begin() + kShown, runs.end() - kShown);
        runs.insert(runs.begin() + kShown, "... " + std::to_string(left) + " more ...");
    }
    std::string text = "choices: ";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) text += " > ";
        text += runs[i];
    }
    return text;
}

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool ReadLimit(const std::string& text, RoutesLimits& limits) {
    const std::size_t equal = text.find('=');
    const std::string kind = equal == std::string::npos ? "states" : text.substr(0, equal);
    const std::string value = equal == std::string::npos ? text : text.substr(equal + 1);
    double number = 0;
    if (!ReadWholeNumber(value, number) || number <= 0) return false;
    if (kind == "states") {
        limits.states = static_cast<long>(number);
    } else if (kind == "steps") {
        limits.steps = static_cast<long>(number);
    } else if (kind == "time") {
        limits.seconds = number;
    } else if (kind == "passes") {
        limits.passes = static_cast<long>(number);
    } else if (kind == "memory") {
        limits.megabytes = static_cast<long>(number);
    } else {
        return false;
    }
    return true;
}

std::string LimitsText(const RoutesLimits& limits) {
    return "states=" + std::to_string(limits.states) + " steps=" + std::to_string(limits.steps) +
           " time=" + std::to_string(static_cast<long>(limits.seconds)) +
           " passes=" + std::to_string(limits.passes) +
           " memory=" + std::to_string(limits.megabytes);
}

// What the limit left unplayed, as a note.
std::string Uncovered(const RoutesSummary& summary, const RoutesLimits& limits) {
    const std::string raise = summary.limitHit == "time" ? "time=SECONDS" : summary.limitHit + "=N";
    return "the " + summary.limitHit + " limit (" + LimitsText(limits) +
           ") stopped the routes: " + std::to_string(summary.unexplored) +
           " branches or new games were not played, so later endings, errors and pages may be "
           "missing (raise it with --limit " +
           raise + ")";
}

void PrintText(const std::vector<RouteFinding>& findings, const RoutesSummary& summary,
               const RoutesLimits& limits) {
    for (const RouteFinding& f : findings) {
        std::printf("%s: %s: %s", f.place.c_str(), KindWord(f.kind), f.message.c_str());
        if (f.kind != RouteKind::kWarning) std::printf(" [%s]", PathText(f.path).c_str());
        std::printf("\n");
    }
    if (summary.limitHit.empty()) return;
    std::printf("note: %s\n", Uncovered(summary, limits).c_str());
    for (const std::vector<std::string>& path : summary.unplayed)
        std::printf("note: not played: the route after %s\n", PathText(path).c_str());
}

void PrintJson(const std::vector<RouteFinding>& findings, const RoutesSummary& summary,
               const RoutesLimits& limits, int errors, int warnings) {
    std::printf("{\n  \"complete\": %s,\n", summary.limitHit.empty() ? "true" : "false");
    std::printf("  \"limit\": %s,\n", Json(summary.limitHit).c_str());
    std::printf(
        "  \"limits\": {\"states\": %ld, \"steps\": %ld, \"seconds\": %g, \"passes\": %ld, "
        "\"megabytes\": %ld},\n",
        limits.states, limits.steps, limits.seconds, limits.passes, limits.megabytes);
    std::printf(
        "  \"summary\": {\"passes\": %ld, \"routes\": %ld, \"states\": %ld, \"branches\": %ld, "
        "\"instructions\": %ld, \"unexplored\": %ld, \"seconds\": %.3f, \"errors\": %d, "
        "\"warnings\": %d},\n",
        summary.passes, summary.routes, summary.states, summary.branches, summary.instructions,
        summary.unexplored, summary.seconds, errors, warnings);
    std::printf("  \"unplayed\": [");
    for (std::size_t i = 0; i < summary.unplayed.size(); ++i) {
        std::printf("%s[", i == 0 ? "" : ", ");
        for (std::size_t k = 0; k < summary.unplayed[i].size(); ++k)
            std::printf("%s%s", k == 0 ? "" : ", ", Json(summary.unplayed[i][k]).c_str());
        std::printf("]");
    }
    std::printf("],\n");
    std::printf("  \"findings\": [");
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const RouteFinding& f = findings[i];
        std::printf("%s\n    {\"kind\": \"%s\", \"place\": %s, \"message\": %s, \"path\": [",
                    i == 0 ? "" : ",", KindWord(f.kind), Json(f.place).c_str(),
                    Json(f.message).c_str());
        for (std::size_t k = 0; k < f.path.size(); ++k)
            std::printf("%s%s", k == 0 ? "" : ", ", Json(f.path[k]).c_str());
        std::printf("]}");
    }
    std::printf("\n  ]\n}\n");
}

}  // namespace

int RunRoutesCommand(const Arguments& args) {
    std::string folder;
    bool json = false;
    std::string from;
    RoutesLimits limits;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--from" && i + 1 < args.size()) {
            from = args[++i];
        } else if (args[i] == "--limit" && i + 1 < args.size()) {
            if (!ReadLimit(args[++i], limits)) return Usage(kUsage);
        } else if (folder.empty() && !args[i].starts_with("--")) {
            folder = args[i];
        } else {
            return Usage(kUsage);
        }
    }
    if (folder.empty()) return Usage(kUsage);
    std::error_code code;
    if (!fs::is_directory(folder, code)) return Fail(folder + " is no folder");
    const std::string gameDir = fs::absolute(folder).lexically_normal().string();

    INIFile debugFile;
    const GameFolderSetup setup = SetUpGameFolder(gameDir, debugFile);
    Process().IsDebugMode = setup.debugFile;
    if (setup.source == GameSource::kNone) {
        return Fail(folder +
                    " is no game folder: it has no archives (*.quor) and no SystemInfo.ini");
    }
    std::string error;
    GameMedia media;
    if (!media.Open(error)) return Fail(error);
    std::unique_ptr<INIFile> systemInfo = LoadSystemIni("SystemInfo");
    if (!systemInfo) return Fail(folder + ": no SystemInfo.ini in the ini folder or the archives");

    // Places are shown below the folder as it was named, as check shows them.
    std::string shown = fs::path(folder).lexically_normal().string();
    if (shown == "." || shown == "./") shown.clear();
    if (!shown.empty() && !shown.ends_with('/')) shown += '/';
    const fs::path scenarioDir =
        fs::path(Process().WorkspaceDir).lexically_relative(fs::path(gameDir)) / "scenario";
    std::string scenarioFolder = (fs::path(shown) / scenarioDir).lexically_normal().string();
    if (!scenarioFolder.ends_with('/')) scenarioFolder += '/';
    const std::string systemPlace =
        media.HasArchives() && !fs::exists(fs::path(Process().IniDir) / "SystemInfo.ini")
            ? shown + "SystemInfo"
            : (fs::path(shown) / fs::path(Process().IniDir).lexically_relative(gameDir) /
               "SystemInfo.ini")
                  .lexically_normal()
                  .string();

    RoutesExplorer explorer(*systemInfo, media, scenarioFolder, systemPlace, limits);
    explorer.StartAt(from);
    if (!explorer.Init(error)) return Fail(error);
    explorer.Run();

    std::vector<RouteFinding> findings = explorer.Findings();
    std::stable_sort(findings.begin(), findings.end(),
                     [](const auto& a, const auto& b) { return Rank(a.kind) < Rank(b.kind); });
    const RoutesSummary& summary = explorer.Summary();
    const int errors = explorer.Errors();
    int warnings = 0;
    int endings = 0;
    for (const RouteFinding& f : findings) {
        if (f.kind == RouteKind::kWarning) ++warnings;
        if (f.kind == RouteKind::kEnding || f.kind == RouteKind::kEnd) ++endings;
    }
    if (json) {
        PrintJson(findings, summary, limits, errors, warnings);
    } else {
        PrintText(findings, summary, limits);
        std::printf(
            "%ld %s from the title, %ld routes, %ld states, %ld branches: %d route ends, "
            "%d errors, %d warnings (%.2f s)\n",
            summary.passes, summary.passes == 1 ? "game" : "games", summary.routes, summary.states,
            summary.branches, endings, errors, warnings, summary.seconds);
    }
    if (std::fflush(stdout) != 0) return Fail("cannot write to standard output");
    return errors == 0 ? kExitOk : kExitFailure;
}

}  // namespace zelk::tool
