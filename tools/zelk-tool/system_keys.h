// The sections and keys of a game's settings files that the player reads,
// in one table, so that `zelk-tool check` can name a key the player would
// never read (most often a misspelt one) and a key it needs but is not
// there. When a reader of the player learns a new key, it belongs here too.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelk::tool {

// What a key's value is, as far as the check can judge it.
enum class ValueKind {
    kText,        // anything
    kNumber,      // a number
    kSwitch,      // True or anything else
    kFilm,        // PICTURE,X,Y,WIDTH,HEIGHT[,EXTRA]; the picture may be left out
    kPicture,     // a picture name
    kSound,       // a sound name
    kLabel,       // SCENARIO.LABEL (checked with the scenarios)
    kCursorFile,  // a picture file of the game folder, extension included
    kKeyList,     // a comma list of key names of the same section, each a film
};

struct KeyRule {
    KeyRule(std::string key, ValueKind kind = ValueKind::kText, bool required = false, int rows = 0)
        : key(std::move(key)), kind(kind), required(required), rows(rows) {}
    KeyRule(const char* key) : KeyRule(std::string(key)) {}

    std::string key;  // "#" stands for one or more digits
    ValueKind kind = ValueKind::kText;
    bool required = false;
    // The rows of cells a film's picture holds (normal, pointed at, ...),
    // each as high as the entry's height; 0 when the picture is one cell.
    int rows = 0;
};

enum class SectionKind {
    kKeys,      // the keys of `keys` and no others
    kFreeKeys,  // any key: names of the game's own (variables, panels)
    kLines,     // not keys at all: lines of text
};

struct SectionRule {
    SectionRule(std::string_view name, SectionKind kind = SectionKind::kKeys, bool required = false,
                std::vector<KeyRule> keys = {}, std::string_view freeKeyPattern = {},
                int listedRows = 0)
        : name(name),
          kind(kind),
          required(required),
          keys(std::move(keys)),
          freeKeyPattern(freeKeyPattern),
          listedRows(listedRows) {}

    std::string_view name;  // "#" stands for one or more digits
    SectionKind kind = SectionKind::kKeys;
    bool required = false;
    std::vector<KeyRule> keys;
    // kFreeKeys sections whose keys still have a shape ("panel#_#").
    std::string_view freeKeyPattern;
    // For kKeyList keys: the film rows of the keys the list names.
    int listedRows = 0;
};

struct FileRule {
    std::string_view name;  // without ".ini"
    bool required = false;  // the player refuses to start without it
    std::vector<SectionRule> sections;
};

// The five system files and the debug file, in the order they are checked.
const std::vector<FileRule>& SystemFileRules();

// Whether the table knows the key of that section of that file (an empty
// key asks for the section alone). Free sections know every key, and a
// section with a list of buttons every key, since the list names them.
bool KnowsKey(std::string_view file, std::string_view section, std::string_view key);

// "#" in the pattern matches one or more digits; letters compare without
// regard to case.
bool MatchesPattern(std::string_view pattern, std::string_view text);

// The candidate nearest to `written` when it is near enough to be a slip of
// the keyboard (letters swapped, one missing or wrong); patterns take the
// digits of `written`. Nothing when no candidate is near.
std::optional<std::string> NearestName(std::string_view written,
                                       const std::vector<std::string_view>& candidates);

}  // namespace zelk::tool
