// The author tool's commands. Each takes the words after its own name and
// returns the process exit status; messages go to standard error.
#pragma once

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

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace zelk::tool
