// Script: one scenario in the regular form, an instruction a line, with the
// table of its labels. Addresses count lines from 0.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk {

class Script {
public:
    void Init(std::string name, bool reserved);

    // Builds the lines and the label table from a regular-form text. A
    // duplicate label stops the parse: the result is false, `error` says
    // which label, and the lines after it keep their label prefixes.
    bool Parse(std::string_view text, std::string& error);

    // -1 when the script has no such label; the empty label is address 0.
    int LabelAddress(std::string_view label) const;
    // The empty text outside the script: that is how a run sees its end.
    const std::string& Element(int index) const;

    int Count() const { return static_cast<int>(mLines.size()); }
    const std::string& Name() const { return mName; }
    bool Reserved() const { return mReserved; }

private:
    std::string mName;
    bool mReserved = false;
    std::vector<std::string> mLines;
    // Keys in lower case: labels compare without regard to case.
    std::unordered_map<std::string, int> mLabels;
};

}  // namespace zelk
