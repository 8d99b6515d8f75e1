// The layout check of story text written straight into a scenario: the text
// must be full-width apart from "\" escapes, and must fit the text window's
// page. Lines wrap after CharCount full-width characters; a page holds
// LineCount lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scenario/story_text.h"

namespace zelk {

class TextBlockFormatter {
public:
    TextBlockFormatter(int charCount, int lineCount, std::vector<std::string> nameplateItems);

    // Lays out one block. On success `out` holds the text with the automatic
    // line breaks inserted; on failure `error` holds the message.
    bool Format(std::string_view text, std::string& out, std::string& error) const;

    // A UTF-8 game's block: lines are not wrapped here (the film engine
    // breaks them by width, in any script); only the explicit breaks ("\n")
    // are counted against LineCount. `out` is the interpreter's text.
    bool FormatUtf8(std::vector<StoryPiece> block, std::string& out, std::string& error) const;

private:
    std::string ReplaceNameplates(std::string_view text) const;

    int mCharCount;
    int mLineCount;
    std::vector<std::string> mNameplateItems;
};

}  // namespace zelk
