#include "settings/game_language.h"

#include "settings/ini_file.h"

namespace zelk {

namespace {

// The longest well-formed tag in common use is well below this; a longer
// value is a mistake, not a language.
constexpr std::size_t kLongestTag = 35;

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// A value as a message quotes it: a long one cut at a character's start.
std::string Shortened(const std::string& value) {
    if (value.size() <= kLongestTag + 5) return value;
    std::size_t cut = 20;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
        --cut;
    return value.substr(0, cut) + "...";
}

}  // namespace

bool IsLanguageTag(std::string_view tag) {
    if (tag.empty() || tag.size() > kLongestTag) return false;
    std::size_t start = 0;
    bool first = true;
    while (start <= tag.size()) {
        std::size_t end = tag.find('-', start);
        if (end == std::string_view::npos) end = tag.size();
        const std::string_view subtag = tag.substr(start, end - start);
        if (subtag.empty() || subtag.size() > 8) return false;
        for (const char c : subtag) {
            if (!IsAsciiLetter(c) && !(IsAsciiDigit(c) && !first)) return false;
        }
        if (first && (subtag.size() < 2 || subtag.size() > 3)) return false;
        first = false;
        start = end + 1;
    }
    return true;
}

std::string LanguageOfTag(std::string_view tag) {
    std::string language;
    for (const char c : tag) {
        if (c == '-' || c == '_') break;
        if (!IsAsciiLetter(c)) return {};
        language += static_cast<char>(c | 0x20);
    }
    return language.size() == 2 || language.size() == 3 ? language : std::string();
}

GameLanguage ReadGameLanguage(const INIFile& systemInfo) {
    GameLanguage language;
    const INISection* game = systemInfo.FindSection("Game");
    if (game == nullptr || !game->KeyExists("Language")) {
        if (!systemInfo.Encoding().IsUtf8()) language.tag = "ja";
        return language;
    }
    const std::string value(TrimSpaces(game->KeyValue("Language")));
    // An empty value says nothing, as an absent key.
    if (value.empty()) {
        if (!systemInfo.Encoding().IsUtf8()) language.tag = "ja";
        return language;
    }
    language.written = true;
    if (IsLanguageTag(value)) {
        language.tag = value;
        return language;
    }
    if (!systemInfo.Encoding().IsUtf8()) language.tag = "ja";
    language.rejected = Shortened(value);
    language.problem =
        "[Game] Language=" + language.rejected +
        " is not a language tag and is ignored: write one such as ja, en, fr, zh-Hans or pt-BR "
        "(letters, digits and hyphens, first a 2- or 3-letter language)";
    return language;
}

}  // namespace zelk
