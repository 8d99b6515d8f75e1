#include "scenario/text_block_formatter.h"

#include "common/codepage.h"
#include "common/text.h"
#include "common/utf8.h"
#include "platform/translate.h"

namespace zelk {

TextBlockFormatter::TextBlockFormatter(int charCount, int lineCount,
                                       std::vector<std::string> nameplateItems)
    : mCharCount(charCount), mLineCount(lineCount), mNameplateItems(std::move(nameplateItems)) {}

std::string TextBlockFormatter::ReplaceNameplates(std::string_view text) const {
    // Entry 0 is the narrator: it has no plate of its own.
    std::string out(text);
    for (std::size_t i = 1; i < mNameplateItems.size(); ++i) {
        if (mNameplateItems[i].empty()) continue;
        out = ReplaceText(out, mNameplateItems[i], "\\np(" + std::to_string(i) + ")");
    }
    return out;
}

bool TextBlockFormatter::Format(std::string_view text, std::string& out, std::string& error) const {
    // Slots 0..LineCount: the slot past the last page line exists only so
    // that text spilling onto it can be told apart from text running further.
    std::vector<std::string> slots(static_cast<std::size_t>(mLineCount) + 1);
    int line = 0;
    int chars = 0;
    bool escape = false;
    std::string escapeWord;

    auto nextSlot = [&] {
        ++line;
        chars = 0;
    };
    auto append = [&](char32_t c) {
        if (line > mLineCount) return false;
        AppendUtf8(slots[static_cast<std::size_t>(line)], c);
        return true;
    };
    const char* const kOverflow = Tr("字幕省略で上限行数を超えている可能性があります。");

    for (char32_t c : DecodeUtf8(ReplaceNameplates(text))) {
        if (IsDoubleByteChar(c)) {
            if (escape && escapeWord == "n") nextSlot();
            escape = false;
            if (chars >= mCharCount) {
                if (!append(U'\\') || !append(U'n')) {
                    error = kOverflow;
                    return false;
                }
                nextSlot();
            }
            if (!append(c)) {
                error = kOverflow;
                return false;
            }
            ++chars;
        } else if (c == U'\\') {
            if (escape && escapeWord == "n") nextSlot();
            if (!append(c)) {
                error = kOverflow;
                return false;
            }
            escape = true;
            escapeWord.clear();
        } else if (escape) {
            if (!append(c)) {
                error = kOverflow;
                return false;
            }
            AppendUtf8(escapeWord, c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c);
        } else {
            std::string shown;
            AppendUtf8(shown, c);
            error = TrFormat("字幕省略で不正な半角文字 '%s' があります。", {shown});
            return false;
        }
    }
    if (line == mLineCount && chars > 0) {
        error = Tr("字幕省略で上限行数を超えて全角文字があります。");
        return false;
    }
    if (line > mLineCount) {
        error = kOverflow;
        return false;
    }
    out.clear();
    for (const std::string& slot : slots)
        out += slot;
    return true;
}

bool TextBlockFormatter::FormatUtf8(std::vector<StoryPiece> block, std::string& out,
                                    std::string& error) const {
    // Name plates, in the characters only: an escape's argument is no text.
    std::vector<StoryPiece> pieces;
    for (StoryPiece& piece : block) {
        if (piece.escape) {
            pieces.push_back(std::move(piece));
            continue;
        }
        std::string rest = std::move(piece.text);
        while (!rest.empty()) {
            std::size_t at = std::string::npos;
            std::size_t plate = 0;
            for (std::size_t i = 1; i < mNameplateItems.size(); ++i) {
                if (mNameplateItems[i].empty()) continue;
                const std::size_t found = rest.find(mNameplateItems[i]);
                if (found < at) {
                    at = found;
                    plate = i;
                }
            }
            StoryPiece text;
            text.text = rest.substr(0, at);
            if (!text.text.empty()) pieces.push_back(text);
            if (at == std::string::npos) break;
            StoryPiece escape;
            escape.escape = true;
            escape.text = "np";
            escape.argument = std::to_string(plate);
            escape.hasArgument = true;
            pieces.push_back(std::move(escape));
            rest.erase(0, at + mNameplateItems[plate].size());
        }
    }

    int line = 0;
    for (const StoryPiece& piece : pieces) {
        if (piece.escape && piece.text == "n") ++line;
        if (!piece.escape && line >= mLineCount) {
            error = TrFormat(
                "the text runs past the window's %s lines ([TextBlock] LineCount): %s lines given "
                "by \\n",
                {std::to_string(mLineCount), std::to_string(line + 1)});
            return false;
        }
    }
    out = StoryTextForInterpreter(pieces);
    return true;
}

}  // namespace zelk
