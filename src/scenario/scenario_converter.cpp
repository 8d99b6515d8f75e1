#include "scenario/scenario_converter.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "common/codepage.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/utf8.h"
#include "platform/translate.h"
#include "scenario/story_text.h"
#include "scenario/text_block_formatter.h"
#include "settings/ini_file.h"

namespace zelk {

namespace {

constexpr std::u32string_view kBlanks = U" \t";

std::u32string_view TrimBlanks(std::u32string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::u32string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string_view TrimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

InstructionDef Record(int kind, int srcPos, int srcLen, std::vector<std::string> args) {
    InstructionDef record;
    record.Kind = kind;
    record.SrcPos = srcPos;
    record.SrcLen = srcLen;
    record.Args = std::move(args);
    return record;
}

bool IsStoryText(std::u32string_view line) {
    if (line.front() == U'\\') return true;
    for (char32_t c : line) {
        if (!IsDoubleByteChar(c)) return false;
    }
    return true;
}

bool IsNonAsciiText(std::string_view text) {
    for (char32_t c : DecodeUtf8(text)) {
        if (c < 0x80) return false;
    }
    return true;
}

// UTF-8 games: the story text of a line without the mark is what a CP932
// game's would be, with "not ASCII" for "double-byte" (Korean or accented
// text is no double-byte text, but as plainly no instruction).
bool IsUnmarkedStoryText(std::u32string_view line) {
    if (line.front() == U'\\') return true;
    return std::all_of(line.begin(), line.end(), [](char32_t c) { return c >= 0x80; });
}

// The start of "//" outside double quotes: a URL in a quoted argument is no
// comment.
std::size_t FindComment(std::u32string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == U'"') quoted = !quoted;
        if (!quoted && line[i] == U'/' && i + 1 < line.size() && line[i + 1] == U'/') return i;
    }
    return std::u32string_view::npos;
}

// A UTF-8 game's label is a name without blanks, quotes or "\" before the
// first ":"; any other ":" is the line's own (an argument's, a text's).
bool IsUtf8Label(std::u32string_view label) {
    return !label.empty() && label.find_first_of(U" \t\u3000\"\\") == std::u32string_view::npos;
}

std::string StoredArgument(std::string_view arg, bool utf8) {
    if (arg.empty()) return {};
    if (utf8 ? IsNonAsciiText(arg) : IsDoubleByteText(arg)) {
        std::string quoted;
        quoted.reserve(arg.size() + 2);
        quoted.append(1, '"').append(arg).append(1, '"');
        return quoted;
    }
    if (arg.front() == '"' && arg.back() == '"') return std::string(arg);
    return ToLowerAscii(arg);
}

}  // namespace

// One run of Assemble: the records written so far and the state that spans
// lines (the waiting label, the open story-text block, the open if-blocks).
class ScenarioAssembly {
public:
    explicit ScenarioAssembly(ScenarioConverter& owner)
        : mOwner(owner), mFormatter(owner.mCharCount, owner.mLineCount, owner.mNameplateItems) {}

    bool Run(std::string_view source);
    std::vector<InstructionDef> TakeRecords() { return std::move(mRecords); }
    std::vector<int> TakeLineStarts() { return std::move(mLineStarts); }
    int UnclosedBlockLine() const { return mBlockOpen ? mBlockLine : 0; }

private:
    bool ProcessLine(std::string_view raw);
    bool ProcessStoryLine(std::u32string_view text, int linePos, int lineEnd);
    bool ProcessUtf8Line(std::u32string chars, int lineStart);
    bool ProcessUtf8StoryLine(std::u32string_view text, int linePos, int lineEnd);
    bool ProcessInstruction(std::u32string_view text, int linePos, int lineLen);
    bool ApplyBlockStatement();
    // The nearest open if-head (if or elseif) for an elseif or else; an
    // open else met first, or no head at all, is the caller's error.
    std::optional<std::size_t> FindOpenHead(bool& elseFirst) const;

    InstructionDef& Write(InstructionDef record);
    bool Fail(std::string message) {
        mOwner.SetError(std::move(message), std::string(mRaw), mLineNo);
        return false;
    }

    ScenarioConverter& mOwner;
    TextBlockFormatter mFormatter;
    std::vector<InstructionDef> mRecords;
    std::vector<int> mLineStarts;
    // Addresses of the records still of the open kind, in address order.
    std::vector<std::size_t> mOpen;

    std::string mPendingLabel;
    std::string_view mRaw;
    int mLineNo = 0;
    int mLineStart = 0;

    bool mBlockOpen = false;
    std::string mBlockText;
    std::vector<StoryPiece> mBlockPieces;
    int mBlockPos = 0;
    int mBlockLine = 0;
};

InstructionDef& ScenarioAssembly::Write(InstructionDef record) {
    record.Label = std::move(mPendingLabel);
    mPendingLabel.clear();
    mRecords.push_back(std::move(record));
    return mRecords.back();
}

bool ScenarioAssembly::Run(std::string_view source) {
    std::size_t pos = 0;
    while (true) {
        // A line ends at CR LF or at a bare LF (a file saved on this system):
        // no character of CP932 text holds the LF byte, so it is never part
        // of a line, and reading on past it would run the rest of the file
        // into one line.
        const std::size_t end = source.find('\n', pos);
        mRaw = source.substr(pos, end == std::string_view::npos ? end : end - pos);
        if (end != std::string_view::npos && mRaw.ends_with('\r')) mRaw.remove_suffix(1);
        ++mLineNo;
        if (!ProcessLine(mRaw)) return false;
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }

    if (!mOpen.empty()) {
        mRaw = {};
        return Fail(Tr("if without endif"));
    }
    if (!mPendingLabel.empty() || mRecords.empty()) Write(Record(kPlainInstruction, 0, 0, {"nop"}));
    return true;
}

bool ScenarioAssembly::ProcessLine(std::string_view raw) {
    std::u32string chars = DecodeUtf8(raw);
    const int lineStart = mLineStart;
    mLineStarts.push_back(lineStart);
    mLineStart += static_cast<int>(chars.size()) + 2;
    if (mOwner.mEncoding.IsUtf8()) return ProcessUtf8Line(std::move(chars), lineStart);

    const std::size_t comment = chars.find(U"//");
    if (comment != std::u32string::npos) chars.resize(comment);
    const std::size_t column = chars.find_first_not_of(kBlanks);
    if (column == std::u32string::npos) return true;
    std::u32string_view line = TrimBlanks(chars);
    const int linePos = lineStart + static_cast<int>(column) + 1;
    const int lineLen = static_cast<int>(line.size());

    const std::size_t colon = line.find(U':');
    if (colon != std::u32string_view::npos) {
        const std::u32string_view label = line.substr(0, colon);
        if (label.find_first_of(U" \t\u3000") != std::u32string_view::npos) {
            return Fail(Tr("ラベル内に無効な文字が含まれています。"));
        }
        // Two labels in a row: the first keeps an instruction of its own.
        if (!mPendingLabel.empty()) Write(Record(kPlainInstruction, linePos, 0, {"nop"}));
        mPendingLabel = ToLowerAscii(EncodeUtf8(label));
        line = TrimBlanks(line.substr(colon + 1));
    }
    if (line.empty()) return true;

    if (IsStoryText(line)) return ProcessStoryLine(line, linePos, linePos + lineLen - 1);
    if (mBlockOpen) return Fail(Tr("字幕省略構文でブロック終端がありません。"));
    return ProcessInstruction(line, linePos, lineLen);
}

bool ScenarioAssembly::ProcessStoryLine(std::u32string_view text, int linePos, int lineEnd) {
    if (!mBlockOpen) {
        mBlockOpen = true;
        mBlockText.clear();
        mBlockPos = linePos;
        mBlockLine = mLineNo;
    }
    const bool closes = text.ends_with(U"\\b");
    if (closes) text.remove_suffix(2);
    mBlockText += EncodeUtf8(text);
    if (!closes) return true;

    mBlockOpen = false;
    std::string laidOut;
    std::string error;
    if (!mFormatter.Format(mBlockText, laidOut, error)) return Fail(std::move(error));
    // The span ends at the character before the closing "\b".
    Write(Record(kTextBlockInstruction, mBlockPos, lineEnd - 2 - mBlockPos + 1,
                 {"put", "\"" + laidOut + "\""}));
    return true;
}

bool ScenarioAssembly::ProcessUtf8Line(std::u32string chars, int lineStart) {
    const std::size_t column = chars.find_first_not_of(kBlanks);
    if (column == std::u32string::npos) return true;
    const int linePos = lineStart + static_cast<int>(column) + 1;

    // "> " starts a line of story text, whatever the rest of it holds; a
    // label may stand before it ("start: > Hello").
    std::u32string_view marked = std::u32string_view(chars).substr(column);
    const auto isMarked = [](std::u32string_view text) {
        return !text.empty() && text.front() == U'>' &&
               (text.size() == 1 || text[1] == U' ' || text[1] == U'\t');
    };
    if (const std::size_t colon = marked.find(U':');
        !isMarked(marked) && colon != std::u32string_view::npos &&
        IsUtf8Label(marked.substr(0, colon)) && isMarked(TrimBlanks(marked.substr(colon + 1)))) {
        if (!mPendingLabel.empty()) Write(Record(kPlainInstruction, linePos, 0, {"nop"}));
        mPendingLabel = ToLowerAscii(EncodeUtf8(marked.substr(0, colon)));
        const std::u32string_view rest = marked.substr(colon + 1);
        marked = rest.substr(rest.find_first_not_of(kBlanks));
    }
    if (isMarked(marked)) {
        std::u32string_view text = marked.substr(std::min<std::size_t>(marked.size(), 2));
        while (!text.empty() && (text.back() == U' ' || text.back() == U'\t'))
            text.remove_suffix(1);
        const int lineEnd = linePos + static_cast<int>(marked.size()) - 1;
        return ProcessUtf8StoryLine(text, linePos, lineEnd);
    }

    const std::size_t comment = FindComment(chars);
    if (comment != std::u32string::npos) chars.resize(comment);
    std::u32string_view line = TrimBlanks(chars);
    if (line.empty()) return true;

    const std::size_t colon = line.find(U':');
    if (colon != std::u32string_view::npos && IsUtf8Label(line.substr(0, colon))) {
        if (!mPendingLabel.empty()) Write(Record(kPlainInstruction, linePos, 0, {"nop"}));
        mPendingLabel = ToLowerAscii(EncodeUtf8(line.substr(0, colon)));
        line = TrimBlanks(line.substr(colon + 1));
    }
    if (line.empty()) return true;
    const int lineLen = static_cast<int>(line.size());
    if (IsUnmarkedStoryText(line))
        return ProcessUtf8StoryLine(line, linePos, linePos + lineLen - 1);
    if (mBlockOpen) {
        return Fail(
            Tr("story text is still open here: end its last line with \\b before an instruction (a "
               "line of text that starts with letters needs \"> \" before it)"));
    }
    return ProcessInstruction(line, linePos, lineLen);
}

bool ScenarioAssembly::ProcessUtf8StoryLine(std::u32string_view text, int linePos, int lineEnd) {
    std::vector<StoryPiece> pieces;
    std::string error;
    if (!ParseStoryLine(EncodeUtf8(text), pieces, error)) return Fail(std::move(error));
    const bool closes = !pieces.empty() && pieces.back().escape && pieces.back().text == "b";
    if (closes) pieces.pop_back();
    for (const StoryPiece& piece : pieces) {
        if (piece.escape && piece.text == "b")
            return Fail(Tr("\\b ends a block of story text only at the end of a line"));
    }
    if (!mBlockOpen) {
        mBlockOpen = true;
        mBlockPieces.clear();
        mBlockPos = linePos;
        mBlockLine = mLineNo;
    }
    JoinStoryLine(mBlockPieces, std::move(pieces));
    if (!closes) return true;

    mBlockOpen = false;
    std::string laidOut;
    if (!mFormatter.FormatUtf8(mBlockPieces, laidOut, error)) return Fail(std::move(error));
    Write(Record(kTextBlockInstruction, mBlockPos, std::max(0, lineEnd - 2 - mBlockPos + 1),
                 {"put", "\"" + laidOut + "\""}));
    return true;
}

bool ScenarioAssembly::ProcessInstruction(std::u32string_view text, int linePos, int lineLen) {
    std::string line = EncodeUtf8(text);
    for (char& c : line) {
        if (c == '\t') c = ' ';
    }
    const std::string_view trimmed = TrimSpaces(line);
    const std::size_t space = trimmed.find(' ');

    InstructionDef record = Record(kPlainInstruction, linePos, lineLen, {});
    record.Args.push_back(ToLowerAscii(trimmed.substr(0, space)));
    if (space != std::string_view::npos) {
        const std::string_view rest = TrimSpaces(trimmed.substr(space + 1));
        const bool utf8 = mOwner.mEncoding.IsUtf8();
        std::size_t start = 0;
        while (true) {
            // A UTF-8 game's quoted argument may hold a comma.
            std::size_t comma = start;
            for (bool quoted = false; comma < rest.size(); ++comma) {
                if (rest[comma] == '"' && utf8) quoted = !quoted;
                if (rest[comma] == ',' && !quoted) break;
            }
            if (comma >= rest.size()) comma = std::string_view::npos;
            record.Args.push_back(
                StoredArgument(TrimSpaces(rest.substr(start, comma - start)), utf8));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
    }
    Write(std::move(record));
    return ApplyBlockStatement();
}

std::optional<std::size_t> ScenarioAssembly::FindOpenHead(bool& elseFirst) const {
    elseFirst = false;
    for (auto it = mOpen.rbegin(); it != mOpen.rend(); ++it) {
        const std::string& word = mRecords[*it].Args[0];
        if (word == "if" || word == "elseif") return *it;
        if (word == "else") {
            elseFirst = true;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool ScenarioAssembly::ApplyBlockStatement() {
    const std::size_t at = mRecords.size() - 1;
    const std::string next = std::to_string(mRecords.size());
    InstructionDef& record = mRecords[at];
    const std::string& word = record.Args[0];
    const int argc = record.ArgCount() - 1;

    if (word == "if") {
        if (argc < 1 || argc > 3) return Fail(Tr("ＩＦ構文の構文エラーです。"));
        if (argc == 1) {
            record.Kind = kOpenBlockInstruction;
            record.Args.resize(4);
            mOpen.push_back(at);
        } else if (argc == 2) {
            record.Args.emplace_back();
        }
        return true;
    }

    if (word == "elseif") {
        if (argc != 1) return Fail(Tr("ＥＬＳＥＩＦの構文エラーです。"));
        bool elseFirst = false;
        const std::optional<std::size_t> head = FindOpenHead(elseFirst);
        if (elseFirst) return Fail(Tr("ＥＬＳＥＩＦの構文エラーです。"));
        if (!head) return Fail(Tr("elseif without if"));
        mRecords[*head].Args[3] = next;
        // The branch before ends in a jump past the block; the new head
        // stands right after it.
        std::string condition = std::move(record.Args[1]);
        record.Kind = kOpenBlockInstruction;
        record.Args = {"go", ""};
        mOpen.push_back(at);
        mRecords.push_back(Record(kOpenBlockInstruction, record.SrcPos, record.SrcLen,
                                  {"elseif", std::move(condition), "", ""}));
        mOpen.push_back(at + 1);
        return true;
    }

    if (word == "else") {
        if (argc != 0) return Fail(Tr("ＥＬＳＥの構文エラーです。"));
        bool elseFirst = false;
        const std::optional<std::size_t> head = FindOpenHead(elseFirst);
        if (elseFirst) return Fail(Tr("ＥＬＳＥの構文エラーです。"));
        if (!head) return Fail(Tr("else without if"));
        mRecords[*head].Args[3] = next;
        record.Kind = kOpenBlockInstruction;
        record.Args = {"else", ""};
        mOpen.push_back(at);
        return true;
    }

    if (word == "endif") {
        if (argc != 0) return Fail(Tr("ＥＮＤＩＦの構文エラーです。"));
        const std::string here = std::to_string(at);
        while (!mOpen.empty()) {
            InstructionDef& open = mRecords[mOpen.back()];
            mOpen.pop_back();
            open.Kind = kPlainInstruction;
            std::string& openWord = open.Args[0];
            if (openWord == "go" || openWord == "else") {
                openWord = "go";
                if (open.Args[1].empty()) open.Args[1] = here;
            } else {
                const bool isHead = openWord == "if";
                openWord = "if";
                if (open.Args[3].empty()) open.Args[3] = here;
                if (isHead) {
                    mRecords[at].Args = {"nop"};
                    return true;
                }
            }
        }
        return Fail(Tr("endif without if"));
    }
    return true;
}

bool ScenarioConverter::Init(INIFile& systemInfo) {
    INISection& textBlock = systemInfo.KeySection("TextBlock");
    const int charCount = ReadLong(textBlock.KeyValue("CharCount"));
    const int lineCount = ReadLong(textBlock.KeyValue("LineCount"));
    std::vector<std::string> nameplates;
    if (charCount != 0 && lineCount != 0) {
        INISection& nameplate = systemInfo.KeySection("Nameplate");
        const int count = ReadLong(nameplate.KeyValue("Count"));
        for (int i = 0; i < count; ++i) {
            nameplates.push_back(nameplate.KeyValue("item:" + std::to_string(i)));
        }
    }
    return Init(charCount, lineCount, std::move(nameplates), systemInfo.Encoding());
}

bool ScenarioConverter::Init(int charCount, int lineCount, std::vector<std::string> nameplateItems,
                             TextEncoding encoding) {
    mEncoding = encoding;
    mCharCount = charCount;
    mLineCount = lineCount;
    mNameplateItems.clear();
    if (charCount == 0 || lineCount == 0) return false;
    mNameplateItems = std::move(nameplateItems);
    return true;
}

bool ScenarioConverter::Assemble(std::string_view source) {
    mInstructions.clear();
    mErrMsg.clear();
    mErrLine = 0;
    mErrSource.clear();
    mUnclosedBlockLine = 0;
    mLineStarts.clear();

    ScenarioAssembly assembly(*this);
    if (!assembly.Run(source)) return false;
    mInstructions = assembly.TakeRecords();
    mLineStarts = assembly.TakeLineStarts();
    mUnclosedBlockLine = assembly.UnclosedBlockLine();
    return true;
}

std::string ScenarioConverter::RegularScript() const {
    std::string out;
    for (std::size_t i = 0; i < mInstructions.size(); ++i) {
        const InstructionDef& record = mInstructions[i];
        if (i > 0) out += "\r\n";
        if (!record.Label.empty()) {
            out += record.Label;
            out += ':';
        }
        for (std::size_t a = 0; a < record.Args.size(); ++a) {
            if (a > 0) out += '\t';
            out += record.Args[a];
        }
    }
    return out;
}

std::vector<int> ScenarioConverter::SourceLines() const {
    const int lastLine = SourceLineCount();
    std::vector<int> lines;
    lines.reserve(mInstructions.size());
    for (const InstructionDef& record : mInstructions) {
        if (record.SrcPos <= 0) {
            lines.push_back(lastLine);
            continue;
        }
        // SrcPos counts from 1: the line is the last one starting before it.
        const auto after =
            std::upper_bound(mLineStarts.begin(), mLineStarts.end(), record.SrcPos - 1);
        lines.push_back(std::max(1, static_cast<int>(after - mLineStarts.begin())));
    }
    return lines;
}

void ScenarioConverter::SetError(std::string message, std::string source, int line) {
    mErrMsg = std::move(message);
    mErrSource = std::move(source);
    mErrLine = line;
    if (AssembleError) AssembleError(mErrMsg, mErrSource, mErrLine);
}

}  // namespace zelk
