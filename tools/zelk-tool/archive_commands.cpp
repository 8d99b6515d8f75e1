// Stands in until the command is built.
#include <cstdio>

#include "commands.h"

namespace zelk::tool {

int RunPackCommand(const Arguments&) {
    std::fputs("zelk-tool: this command is not built yet\n", stderr);
    return kExitFailure;
}

int RunListCommand(const Arguments&) {
    std::fputs("zelk-tool: this command is not built yet\n", stderr);
    return kExitFailure;
}

int RunExtractCommand(const Arguments&) {
    std::fputs("zelk-tool: this command is not built yet\n", stderr);
    return kExitFailure;
}

}  // namespace zelk::tool
