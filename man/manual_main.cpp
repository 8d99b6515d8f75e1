// zelk_manual SOURCE VERSION DATE PAGE HEADER IDENTIFIER: makes the roff page
// and the --help header of one manual source at build time.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "manual_page.h"

namespace {

// Written under a temporary name and renamed, so that an interrupted build
// never leaves half a page for the next one to trust.
bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code failed;
    std::filesystem::rename(temporary, path, failed);
    return !failed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fputs("usage: zelk_manual SOURCE VERSION DATE PAGE HEADER IDENTIFIER\n", stderr);
        return 2;
    }
    const std::string source = argv[1];
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zelk_manual: cannot read %s\n", source.c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    const auto page = zelk::manual::ParsePage(text.str(), error);
    if (!page) {
        std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
        return 1;
    }
    const std::string name = std::filesystem::path(source).filename().string();
    const auto header = zelk::manual::HeaderFor(zelk::manual::HelpText(*page), argv[6], name);
    if (!header) {
        std::fprintf(stderr, "%s: the help text cannot be held in a C++ raw string\n",
                     source.c_str());
        return 1;
    }
    if (!WriteWhole(argv[4], zelk::manual::RoffPage(*page, argv[2], argv[3])) ||
        !WriteWhole(argv[5], *header)) {
        std::fprintf(stderr, "zelk_manual: cannot write %s or %s\n", argv[4], argv[5]);
        return 1;
    }
    return 0;
}
