// The instruction table of a game: for every command word, the defaults of
// its arguments, read from [Instruction] of "SystemInfo". It decides which
// words exist, how many arguments each takes and which may be left out.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk {

class InstructionTable {
public:
    // One line a word: the word, then one default a field, TAB-separated.
    // Only a default's first character counts.
    void Load(std::string_view sectionText);

    // Splits a regular-form line and fills in the defaults: args[0] is the
    // lower-cased word, args[1..] one entry per default. False with the
    // error text for an unknown word, too many arguments or a missing
    // required one; args[0] is set even then.
    bool Prepare(std::string_view line, std::vector<std::string>& args, std::string& error) const;

    bool Contains(std::string_view word) const;
    std::size_t Size() const { return mDefaults.size(); }

    // A default that must be replaced by a given argument.
    static constexpr std::string_view kRequired = "*";
    // A default that stands for "not given"; commands supply their own.
    static constexpr std::string_view kAbsent = "%";

private:
    // Lower-cased word -> defaults of arguments 1, 2, ...
    std::unordered_map<std::string, std::vector<std::string>> mDefaults;
};

}  // namespace zelk
