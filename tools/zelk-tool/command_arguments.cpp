#include "command_arguments.h"

#include <array>
#include <unordered_map>

namespace zelk::tool {

namespace {

// One letter an argument, from argument 1: p picture, s sound, m movie,
// l label, n number, v value, w variable stored into, - anything else.
// Commands without an entry have arguments of no interest.
const std::unordered_map<std::string_view, std::string_view>& Signatures() {
    static const std::unordered_map<std::string_view, std::string_view> table = {
        // Text, window, waits and choices.
        {"put", "v"},
        {"site", "v"},
        {"waitauto", "n"},
        {"pause", "n"},
        {"pauseabs", "n"},
        {"item", "vl"},
        {"er", "nnnnll"},
        {"ercg", "-ll"},
        {"alarm", "v"},
        // Graphics.
        {"bg", "pnn"},
        {"bgfill", "n"},
        {"bglc", "nnn"},
        {"bgmv", "nnn"},
        {"fc", "p"},
        {"cg", "pnnnn"},
        {"cglc", "-nnn"},
        {"cglcas", "-nnn"},
        {"cgmv", "-nnn"},
        {"cgmvas", "-nnn"},
        {"cga", "-nn"},
        {"cgaas", "-nn"},
        {"cgbc", "n"},
        {"cgf", "-nn"},
        {"cghfas", "-n"},
        {"cgvfas", "-n"},
        {"cgactadd", "-nnnnn"},
        {"ddb", "n"},
        {"ddw", "n"},
        {"daa", "n"},
        {"dam", "pn"},
        {"wto", "p"},
        {"bto", "p"},
        {"mto", "ppn"},
        // Sound.
        {"bgm", "s"},
        {"bgmvolumerate", "n"},
        {"se", "s"},
        {"sel", "sn"},
        // Flow and variables.
        {"go", "l"},
        {"call", "l"},
        {"if", "nll"},
        {"let", "wv"},
        {"add", "wnn"},
        {"sub", "wnn"},
        {"up", "wn"},
        {"down", "wn"},
        // System.
        {"playending", "nppp"},
        {"playmovie", "mn"},
    };
    return table;
}

}  // namespace

ArgumentKind KindOfArgument(std::string_view word, std::size_t n) {
    const auto found = Signatures().find(word);
    if (found == Signatures().end() || n == 0 || n > found->second.size()) {
        return ArgumentKind::kOther;
    }
    switch (found->second[n - 1]) {
        case 'p':
            return ArgumentKind::kPicture;
        case 's':
            return ArgumentKind::kSound;
        case 'm':
            return ArgumentKind::kMovie;
        case 'l':
            return ArgumentKind::kLabel;
        case 'n':
            return ArgumentKind::kNumber;
        case 'v':
            return ArgumentKind::kValue;
        case 'w':
            return ArgumentKind::kVariable;
        default:
            return ArgumentKind::kOther;
    }
}

}  // namespace zelk::tool
