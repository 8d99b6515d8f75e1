// Story text of a UTF-8 game: any character may stand in it, so its escapes
// follow a rule that cannot swallow the letters after them. An escape is "\",
// a name of lower-case letters a-z (the longest such run), then, for the
// escapes that take one, an argument in "(" ")"; a ";" right after an escape
// ends it and is dropped. Names are matched, with their case, against the
// fixed list below; any other name is an error. So "\nHello" is a break and
// "Hello", "\n;hello" a break and "hello", and "\nhello" an error that says
// so.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk {

struct StoryEscapeName {
    std::string_view name;
    bool takesArgument;
};

// Every escape the player knows, for the tools' messages and the docs' test.
const std::vector<StoryEscapeName>& StoryEscapeNames();

// One piece of a line of story text: characters, or one escape.
struct StoryPiece {
    bool escape = false;
    std::string text;  // the characters; the escape's name
    std::string argument;
    bool hasArgument = false;
};

// Splits one line of UTF-8 story text into pieces. False, with `error`,
// for an unknown escape, an escape lacking its argument, or an unclosed one.
bool ParseStoryLine(std::string_view line, std::vector<StoryPiece>& pieces, std::string& error);

// The pieces of the lines of one block joined: one space between two lines
// where both sides are letters of a script that separates its words by
// spaces, nothing where either side is Chinese or Japanese (or a space, or
// an escape).
void JoinStoryLine(std::vector<StoryPiece>& block, std::vector<StoryPiece> line);

// The block as the interpreter's text: escapes written so that the
// interpreter, which reads an escape's name up to the first "(", "\" or
// full-width character, reads the same escapes.
std::string StoryTextForInterpreter(const std::vector<StoryPiece>& block);

// Whether the character is Chinese or Japanese (ideographs, kana, full-width
// forms): lines of such text join with nothing between them.
bool IsCjkChar(char32_t c);

}  // namespace zelk
