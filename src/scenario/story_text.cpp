#include "scenario/story_text.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/utf8.h"
#include "platform/translate.h"

namespace zelk {

namespace {

bool IsNameLetter(char c) {
    return c >= 'a' && c <= 'z';
}

const StoryEscapeName* FindEscape(std::string_view name) {
    const auto& names = StoryEscapeNames();
    const auto found = std::find_if(names.begin(), names.end(), [&](const StoryEscapeName& known) {
        return known.name == name;
    });
    return found == names.end() ? nullptr : &*found;
}

// The longest known name at the start of an unknown one, for the hint.
std::string_view KnownPrefix(std::string_view name) {
    std::string_view best;
    for (const StoryEscapeName& known : StoryEscapeNames()) {
        if (name.starts_with(known.name) && known.name.size() > best.size()) best = known.name;
    }
    return best;
}

std::string UnknownEscapeError(std::string_view run, std::string_view after) {
    const std::string name(run);
    const std::string_view known = KnownPrefix(run);
    if (!known.empty()) {
        return TrFormat(
            "unknown escape \"\\%s\": to put letters right after \\%s, end it with \";\" (\\%s;%s)",
            {name, known, known, run.substr(known.size())});
    }
    if (!after.empty() && after.front() >= 'A' && after.front() <= 'Z')
        return TrFormat("unknown escape \"\\%s\": escape names are lower case", {name});
    if (run.empty())
        return Tr(
            "a \"\\\" that starts no escape (escapes are \\n, \\w, \\pause(500)... in lower case)");
    return TrFormat("unknown escape \"\\%s\"", {name});
}

char32_t FirstChar(std::string_view text) {
    const std::u32string chars = DecodeUtf8(text.substr(0, std::min<std::size_t>(text.size(), 4)));
    return chars.empty() ? 0 : chars.front();
}

char32_t LastChar(std::string_view text) {
    std::size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80 &&
           text.size() - start < 3)
        --start;
    if (start > 0) --start;
    const std::u32string chars = DecodeUtf8(text.substr(start));
    return chars.empty() ? 0 : chars.back();
}

bool JoinsWithSpace(char32_t c) {
    return c != 0 && c != U' ' && c != U'\t' && c != U'\u3000' && !IsCjkChar(c);
}

}  // namespace

const std::vector<StoryEscapeName>& StoryEscapeNames() {
    static const std::vector<StoryEscapeName> names = {
        {"n", false},    {"w", false},    {"b", false},      {"nowait", false}, {"pause", true},
        {"speed", true}, {"color", true}, {"size", true},    {"width", true},   {"height", true},
        {"xpos", true},  {"ypos", true},  {"xoffset", true}, {"yoffset", true}, {"v", true},
        {"c", true},     {"np", true},
    };
    return names;
}

bool IsCjkChar(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF) ||  // radicals
           (c >= 0x3000 && c <= 0x30FF) ||  // CJK punctuation, kana
           (c >= 0x3100 && c <= 0x31FF) ||  // bopomofo, kana extensions
           (c >= 0x3400 && c <= 0x4DBF) ||  // ideographs extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||  // ideographs
           (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs
           (c >= 0xFE30 && c <= 0xFE4F) ||  // compatibility forms
           (c >= 0xFF00 && c <= 0xFF60) ||  // full-width forms
           (c >= 0xFF61 && c <= 0xFF9F) ||  // half-width kana
           (c >= 0x20000 && c <= 0x3FFFF);  // ideographs beyond the BMP
}

bool ParseStoryLine(std::string_view line, std::vector<StoryPiece>& pieces, std::string& error) {
    pieces.clear();
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t slash = line.find('\\', pos);
        if (slash != pos) {
            StoryPiece text;
            text.text = std::string(line.substr(pos, slash - pos));
            // A TAB would split the regular form's arguments.
            std::replace(text.text.begin(), text.text.end(), '\t', ' ');
            pieces.push_back(std::move(text));
            if (slash == std::string_view::npos) break;
        }
        std::size_t cur = slash + 1;
        while (cur < line.size() && IsNameLetter(line[cur]))
            ++cur;
        const std::string_view name = line.substr(slash + 1, cur - slash - 1);
        const StoryEscapeName* known = FindEscape(name);
        if (known == nullptr) {
            error = UnknownEscapeError(name, line.substr(cur));
            return false;
        }
        StoryPiece escape;
        escape.escape = true;
        escape.text = std::string(name);
        if (known->takesArgument) {
            if (cur >= line.size() || line[cur] != '(') {
                error = TrFormat("the escape \"\\%s\" takes an argument: \\%s(...)", {name, name});
                return false;
            }
            const std::size_t close = line.find_first_of(")\\", cur + 1);
            if (close == std::string_view::npos || line[close] != ')') {
                error = TrFormat("the escape \"\\%s(\" lacks its \")\"", {name});
                return false;
            }
            escape.argument = std::string(line.substr(cur + 1, close - cur - 1));
            escape.hasArgument = true;
            cur = close + 1;
        }
        if (cur < line.size() && line[cur] == ';') ++cur;
        pieces.push_back(std::move(escape));
        pos = cur;
    }
    return true;
}

void JoinStoryLine(std::vector<StoryPiece>& block, std::vector<StoryPiece> line) {
    if (!block.empty() && !line.empty() && !block.back().escape && !line.front().escape &&
        JoinsWithSpace(LastChar(block.back().text)) && JoinsWithSpace(FirstChar(line.front().text)))
        block.back().text += ' ';
    for (StoryPiece& piece : line) {
        if (!piece.escape && !block.empty() && !block.back().escape) {
            block.back().text += piece.text;
        } else {
            block.push_back(std::move(piece));
        }
    }
}

std::string StoryTextForInterpreter(const std::vector<StoryPiece>& block) {
    std::string out;
    for (std::size_t i = 0; i < block.size(); ++i) {
        const StoryPiece& piece = block[i];
        if (!piece.escape) {
            out += piece.text;
            continue;
        }
        out += '\\';
        out += piece.text;
        if (piece.hasArgument) {
            out += '(' + piece.argument + ')';
            continue;
        }
        // The interpreter would read on into letters, digits, "(" or any
        // character CP932 writes in one byte: an empty escape, which it
        // drops, ends the name there.
        if (i + 1 < block.size() && !block[i + 1].escape && !block[i + 1].text.empty() &&
            !IsDoubleByteChar(FirstChar(block[i + 1].text)))
            out += "\\()";
    }
    return out;
}

}  // namespace zelk
