// The shipped manual texts against the programs they describe: --help is
// the manual's own text, every option and command the manual names exists,
// every variable the player reads is described, and man shows both pages
// without a warning.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/command_line.h"
#include "manual_page.h"
#include "zelk_version.h"

namespace zelk::manual {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard output (and, with `errors`, standard error) of a shell command.
std::string Output(const std::string& command, bool errors = false) {
    std::string text;
    if (FILE* pipe = popen((command + (errors ? " 2>&1" : " 2>/dev/null")).c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

Page Load(const std::string& relative) {
    std::string error;
    const auto page = ParsePage(ReadFile(fs::path(ZELK_SOURCE_DIR) / relative), error);
    EXPECT_TRUE(page) << relative << ": " << error;
    return page ? *page : Page{};
}

const Section* Find(const Page& page, const std::string& heading) {
    for (const Section& section : page.sections)
        if (section.heading == heading) return &section;
    return nullptr;
}

const std::string kZelk = std::string(ZELK_BIN_DIR) + "/zelk";
const std::string kTool = std::string(ZELK_BIN_DIR) + "/zelk-tool";

TEST(ManualSources, HelpAndVersionComeFromTheManualAndTheProject) {
    EXPECT_EQ(Output(kZelk + " --help"), HelpText(Load("src/app/zelk.6.manual")));
    EXPECT_EQ(Output(kTool + " --help"), HelpText(Load("tools/zelk-tool/zelk-tool.1.manual")));
    EXPECT_EQ(Output(kZelk + " --version"), std::string("zelk ") + kVersion + "\n");
    EXPECT_EQ(Output(kTool + " --version"), std::string("zelk-tool ") + kVersion + "\n");
    // A misspelling is answered with the same text, on standard error.
    EXPECT_NE(
        Output(kTool + " bogus", true).find(HelpText(Load("tools/zelk-tool/zelk-tool.1.manual"))),
        std::string::npos);
}

TEST(ManualSources, EveryOptionTheManualNamesIsTakenByThePlayer) {
    const Page page = Load("src/app/zelk.6.manual");
    const Section* options = Find(page, "OPTIONS");
    ASSERT_NE(options, nullptr);
    int named = 0;
    for (const Block& block : options->blocks) {
        std::stringstream words(block.term);
        std::string option;
        while (std::getline(words, option, ',')) {
            option.erase(0, option.find_first_not_of(' '));
            EXPECT_TRUE(ParseCommandLine({option}).error.empty()) << option;
            ++named;
        }
    }
    EXPECT_GE(named, 5);
}

TEST(ManualSources, EveryCommandTheManualNamesIsKnownToTheTool) {
    const Page page = Load("tools/zelk-tool/zelk-tool.1.manual");
    const Section* commands = Find(page, "COMMANDS");
    ASSERT_NE(commands, nullptr);
    std::set<std::string> names;
    for (const Block& block : commands->blocks)
        names.insert(block.term.substr(0, block.term.find(' ')));
    EXPECT_GE(names.size(), 6u);
    for (const std::string& name : names)
        EXPECT_EQ(Output(kTool + " " + name, true).find("unknown command"), std::string::npos)
            << name;
}

TEST(ManualSources, EveryVariableTheProgramsReadIsDescribed) {
    const Page page = Load("src/app/zelk.6.manual");
    const Section* environment = Find(page, "ENVIRONMENT");
    ASSERT_NE(environment, nullptr);
    std::string described;
    for (const Block& block : environment->blocks)
        described += block.term + ",";
    const std::regex read("getenv\\(\"([A-Z_]+)\"\\)");
    int found = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZELK_SOURCE_DIR) / "src")) {
        if (entry.path().extension() != ".cpp") continue;
        const std::string code = ReadFile(entry.path());
        for (auto it = std::sregex_iterator(code.begin(), code.end(), read);
             it != std::sregex_iterator(); ++it) {
            const std::string name = (*it)[1];
            if (name == "HOME") continue;
            ++found;
            EXPECT_NE(described.find(name), std::string::npos)
                << name << " is read by " << entry.path().filename() << " but not described";
        }
    }
    EXPECT_GT(found, 5);
}

TEST(ManualSources, ManShowsBothPagesWithoutAWarning) {
    if (Output("command -v man").empty()) GTEST_SKIP() << "man is not installed";
    for (const char* page : {"zelk.6", "zelk-tool.1"}) {
        const fs::path path = fs::path(ZELK_MANUAL_DIR) / page;
        ASSERT_TRUE(fs::exists(path)) << path;
        const std::string shown =
            Output("{ LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -E UTF-8 -l -Tutf8 '" +
                   path.string() + "' 2>&1 >/dev/null; }");
        EXPECT_EQ(shown, "") << page;
        EXPECT_NE(Output("LC_ALL=C.UTF-8 MANWIDTH=80 man -l '" + path.string() + "'")
                      .find(std::string(page).substr(0, std::string(page).find('.'))),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace zelk::manual
