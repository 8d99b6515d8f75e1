// Stands in until the command is built.
#include <cstdio>

#include "commands.h"

namespace zelk::tool {

int RunConvertCommand(const Arguments&) {
    std::fputs("zelk-tool: this command is not built yet\n", stderr);
    return kExitFailure;
}

int RunCheckCommand(const Arguments&) {
    std::fputs("zelk-tool: this command is not built yet\n", stderr);
    return kExitFailure;
}

}  // namespace zelk::tool
