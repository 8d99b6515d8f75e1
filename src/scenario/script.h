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
    // which label, and the lines after it keep their label prefixes. A
    // CP932 game's line carries a label when it holds exactly one ":"; a
    // UTF-8 game's (`utf8Labels`), when a ":" comes before any TAB, blank
    // or quote, so that its story text may hold ":".
    bool Parse(std::string_view text, std::string& error, bool utf8Labels = false);

    // -1 when the script has no such label; the empty label is address 0.
    int LabelAddress(std::string_view label) const;
    // The empty text outside the script: that is how a run sees its end.
    const std::string& Element(int index) const;

    int Count() const { return static_cast<int>(mLines.size()); }
    const std::string& Name() const { return mName; }
    bool Reserved() const { return mReserved; }
    // The address of the duplicate label a failed parse stopped at, else -1.
    int ParseErrorAddress() const { return mParseErrorAddress; }

    // [SECTION] Finding one's way in the script
    // The command word of the instruction at the address; empty outside.
    std::string_view Word(int address) const;
    // The nearest label at or before the address, in lower case; the empty
    // label (the script's start) when none comes before it.
    std::string LabelBefore(int address) const;
    // The first label's address after the address, or Count().
    int NextLabelAddress(int address) const;

    // [SECTION] Where the script came from
    // A script converted from a loose file knows the file's name and, per
    // address, the source line; `lastLine` stands for the addresses past
    // the end. A script from the archives has neither.
    void Source(std::string fileName, std::vector<int> lines, int lastLine);
    const std::string& SourceFile() const { return mSourceFile; }
    // The 1-based source line of the address; 0 when it is not known.
    int SourceLine(int address) const;
    // The place an author looks an address up: "s01.txt:42" for a loose
    // file, else the script and the element as the log counts it
    // ("s01 第43要素").
    std::string Place(int address) const;

private:
    std::string mName;
    bool mReserved = false;
    std::vector<std::string> mLines;
    int mParseErrorAddress = -1;
    std::string mSourceFile;
    std::vector<int> mSourceLines;
    int mLastSourceLine = 0;
    // Keys in lower case: labels compare without regard to case.
    std::unordered_map<std::string, int> mLabels;
};

}  // namespace zelk
