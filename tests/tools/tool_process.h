// zelk-tool run as a program: its exit status, standard output and
// standard error, and the small game folders the tests build for it.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/zelk_process.h"
#include "common/codepage.h"

namespace zelk::testing {

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs zelk-tool with the arguments in `folder` (its working folder, where
// its output is kept too).
inline ToolResult RunTool(const fs::path& folder, const std::vector<std::string>& args) {
    std::string command = "cd '" + folder.string() + "' && " ZELK_BIN_DIR "/zelk-tool";
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    const fs::path out = folder / "tool-out.txt";
    const fs::path err = folder / "tool-err.txt";
    command += " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

// Writes a text file as a game keeps it: CP932, CR LF line ends.
inline void WriteGameText(const fs::path& path, const std::string& utf8) {
    fs::create_directories(path.parent_path());
    std::string text;
    for (const char c : utf8) {
        if (c == '\n') text += '\r';
        text += c;
    }
    std::ofstream(path, std::ios::binary) << Utf8ToCp932(text).value();
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// An empty folder of its own for each test.
inline fs::path FreshFolder(const std::string& name) {
    const fs::path folder = fs::path(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

}  // namespace zelk::testing
