// One instruction of a converted scenario, as the converter builds it.
#pragma once

#include <string>
#include <vector>

namespace zelk {

enum InstructionKind : int {
    kTextBlockInstruction = 1,
    kPlainInstruction = 2,
    // A block element whose jump target is still unknown; none survives a
    // successful conversion.
    kOpenBlockInstruction = 3,
};

struct InstructionDef {
    int Kind = kPlainInstruction;
    // 1-based character offset of the source line's first non-blank
    // character; every line end counts as two characters.
    int SrcPos = 0;
    int SrcLen = 0;
    // Lower case; empty when the instruction carries no label.
    std::string Label;
    // Args[0] is the command word in lower case.
    std::vector<std::string> Args;

    int ArgCount() const { return static_cast<int>(Args.size()); }
};

}  // namespace zelk
