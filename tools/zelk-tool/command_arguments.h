// What the player's commands do with each of their arguments, as far as a
// check can follow it before the game runs: the names of pictures, sounds
// and movies it loads, the labels it jumps to, the expressions it
// evaluates and the variables it stores into.
#pragma once

#include <string_view>

namespace zelk::tool {

enum class ArgumentKind : char {
    kOther,     // passed on as it is (a character id, a flag, a text)
    kPicture,   // a picture name, used as written
    kSound,     // a music or effect key, used as written; "%" stops instead
    kMovie,     // a value naming a movie file of the movie folder
    kLabel,     // a label expression: [script "."] label or address
    kNumber,    // an expression read as a number
    kValue,     // an expression read as a text
    kVariable,  // a variable the command stores into
};

// The kind of argument `n` (from 1) of the command `word` (lower case).
ArgumentKind KindOfArgument(std::string_view word, std::size_t n);

}  // namespace zelk::tool
