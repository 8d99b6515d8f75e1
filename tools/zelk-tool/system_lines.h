// A settings file read line by line, as the player's settings reader takes
// its lines, but keeping each key's line number, so that the check can name
// the place of what it finds; and the parts of a film spec.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk::tool {

struct SectionRule;

struct Entry {
    std::string key;
    std::string value;
    int line = 0;
};

struct ReadSection {
    std::string name;
    int line = 0;  // of its header; 0 for the lines before the first header
    std::vector<Entry> entries;
    const SectionRule* rule = nullptr;

    // The first entry of the key (any case), as the player finds it.
    const Entry* Find(std::string_view key) const;
    std::string Value(std::string_view key) const;
};

// The sections of a settings text, the lines before its first header first
// (as a section of line 0).
std::vector<ReadSection> ReadSections(const std::string& text);

// A film spec's parts: PICTURE,X,Y,WIDTH,HEIGHT[,EXTRA].
struct Film {
    std::string picture;
    long x = 0, y = 0, width = 0, height = 0;
};
Film ReadFilm(const std::string& value);

}  // namespace zelk::tool
