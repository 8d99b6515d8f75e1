// ScenarioConverter: turns a scenario as its author wrote it into the
// regular form the interpreter runs: one instruction a line, if-blocks
// resolved into jumps to addresses, story text into checked `put`
// instructions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"
#include "scenario/instruction_def.h"

namespace zelk {

class INIFile;

class ScenarioConverter {
public:
    // Reads [TextBlock] CharCount and LineCount and the name plates of
    // "SystemInfo", and takes its encoding. False when either count is 0 or
    // missing. A UTF-8 game's scenarios follow the rules of story text that
    // any character may stand in (scenario/story_text.h): a line starting
    // with "> " is story text whatever it holds, and CharCount no longer
    // wraps lines (the film engine lays them out by width).
    bool Init(INIFile& systemInfo);
    bool Init(int charCount, int lineCount, std::vector<std::string> nameplateItems,
              TextEncoding encoding = TextEncoding());
    TextEncoding Encoding() const { return mEncoding; }

    // Converts a whole scenario text (lines end in CR LF). On failure the
    // error properties are set, AssembleError has been raised and no
    // result is kept.
    bool Assemble(std::string_view source);

    // The last successful conversion: the record at address n is line n.
    std::string RegularScript() const;
    const std::vector<InstructionDef>& Instructions() const { return mInstructions; }

    const std::string& ErrMsg() const { return mErrMsg; }
    int ErrLine() const { return mErrLine; }
    const std::string& ErrSource() const { return mErrSource; }

    // The line of a story-text block that was still open when the text
    // ended (its text is dropped), or 0. Authors' tools warn about it.
    int UnclosedBlockLine() const { return mUnclosedBlockLine; }

    // The 1-based source line of each instruction of the last successful
    // conversion, by address: the line its source position falls on (a
    // story-text block's first line). An instruction the converter made up
    // with no source of its own (the closing "nop") is put on the last line.
    std::vector<int> SourceLines() const;
    // How many lines the last converted text had.
    int SourceLineCount() const { return static_cast<int>(mLineStarts.size()); }

    int CharCount() const { return mCharCount; }
    int LineCount() const { return mLineCount; }
    const std::vector<std::string>& NameplateItems() const { return mNameplateItems; }

    // Raised when an error is recorded: message, source line, line number.
    std::function<void(const std::string&, const std::string&, int)> AssembleError;

private:
    friend class ScenarioAssembly;

    void SetError(std::string message, std::string source, int line);

    int mCharCount = 0;
    int mLineCount = 0;
    TextEncoding mEncoding;
    std::vector<std::string> mNameplateItems;

    std::vector<InstructionDef> mInstructions;
    // The character offset (from 0, as SrcPos counts) where each source line
    // starts.
    std::vector<int> mLineStarts;
    std::string mErrMsg;
    int mErrLine = 0;
    std::string mErrSource;
    int mUnclosedBlockLine = 0;
};

}  // namespace zelk
