#include "system_lines.h"

#include <optional>

#include "common/numbers.h"
#include "common/text.h"

namespace zelk::tool {

namespace {

// A "[name]" line as the settings reader takes it: blanks before, a name
// without ";" or "[", then only blanks or a comment.
std::optional<std::string> HeaderName(std::string_view line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || line[i] != '[') return std::nullopt;
    const std::size_t close = line.find(']', i);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view name = line.substr(i + 1, close - i - 1);
    if (name.find_first_of(";[") != std::string_view::npos) return std::nullopt;
    const std::size_t after = line.find_first_not_of(" \t", close + 1);
    if (after != std::string_view::npos && line[after] != ';') return std::nullopt;
    std::string trimmed = TrimChars(std::string(name), " \t");
    if (trimmed.empty()) return std::nullopt;
    return trimmed;
}

}  // namespace

const Entry* ReadSection::Find(std::string_view key) const {
    for (const Entry& entry : entries) {
        if (EqualsNoCase(entry.key, key)) return &entry;
    }
    return nullptr;
}

std::string ReadSection::Value(std::string_view key) const {
    const Entry* entry = Find(key);
    return entry ? entry->value : std::string();
}

std::vector<ReadSection> ReadSections(const std::string& text) {
    std::vector<ReadSection> sections(1);
    const std::vector<std::string> lines = SplitText(text, "\n");
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::string line = lines[k];
        if (line.ends_with('\r')) line.pop_back();
        const int number = static_cast<int>(k) + 1;
        if (std::optional<std::string> name = HeaderName(line)) {
            sections.push_back({std::move(*name), number, {}, nullptr});
            continue;
        }
        if (const std::size_t comment = line.find(';'); comment != std::string::npos)
            line.resize(comment);
        const std::size_t equal = line.find('=');
        if (equal == std::string::npos) continue;
        const std::string key = TrimChars(line.substr(0, equal), " \t");
        if (key.empty()) continue;
        sections.back().entries.push_back({key, TrimChars(line.substr(equal + 1), " \t"), number});
    }
    return sections;
}

Film ReadFilm(const std::string& value) {
    const std::vector<std::string> parts = SplitText(value, ",");
    Film film;
    const auto number = [&](std::size_t n) -> long {
        return n < parts.size() ? ReadLong(TrimChars(parts[n], " \t")) : 0;
    };
    film.picture = parts.empty() ? std::string() : TrimChars(parts[0], " \t");
    film.x = number(1);
    film.y = number(2);
    film.width = number(3);
    film.height = number(4);
    return film;
}

}  // namespace zelk::tool
