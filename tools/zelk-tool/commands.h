// The author tool's commands. Each takes the words after its own name and
// returns the process exit status; messages go to standard error.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace zelk::tool {

using Arguments = std::vector<std::string>;

int RunIniCommand(const Arguments& args);      // ini get|set|decode|encode
int RunPackCommand(const Arguments& args);     // pack FOLDER ARCHIVE
int RunListCommand(const Arguments& args);     // list ARCHIVE
int RunExtractCommand(const Arguments& args);  // extract ARCHIVE KEY
int RunConvertCommand(const Arguments& args);  // convert FILE [--game DIR] [--cp932]
int RunCheckCommand(const Arguments& args);    // check FOLDER
int RunNewCommand(const Arguments& args);      // new FOLDER [--title TEXT] [--size WxH]
int RunRoutesCommand(const Arguments& args);   // routes FOLDER [--json] [--limit KIND=N]

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A failure message on standard error; the failure's exit status.
inline int Fail(const std::string& message) {
    std::fprintf(stderr, "zelk-tool: %s\n", message.c_str());
    return kExitFailure;
}

// The usage of one command on standard error; the usage exit status.
inline int Usage(const char* usage) {
    std::fprintf(stderr, "usage: zelk-tool %s\n", usage);
    return kExitUsage;
}

}  // namespace zelk::tool
