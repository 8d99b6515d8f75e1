#include "interpreter/instruction_table.h"

#include "common/text.h"
#include "common/utf8.h"
#include "platform/translate.h"

namespace zelk {

namespace {

// Spaces, full-width spaces, TABs, CR and LF.
std::string_view TrimLine(std::string_view line) {
    constexpr std::string_view kIdeographicSpace = "\u3000";
    bool changed = true;
    while (changed && !line.empty()) {
        changed = false;
        for (char c : {' ', '\t', '\r', '\n'}) {
            if (line.front() == c) line.remove_prefix(1), changed = true;
            if (!line.empty() && line.back() == c) line.remove_suffix(1), changed = true;
        }
        if (line.starts_with(kIdeographicSpace)) {
            line.remove_prefix(kIdeographicSpace.size());
            changed = true;
        }
        if (line.ends_with(kIdeographicSpace)) {
            line.remove_suffix(kIdeographicSpace.size());
            changed = true;
        }
    }
    return line;
}

std::string FirstCharacter(std::string_view text) {
    if (text.empty()) return {};
    const std::u32string chars = DecodeUtf8(text);
    std::string out;
    AppendUtf8(out, chars.front());
    return out;
}

}  // namespace

void InstructionTable::Load(std::string_view sectionText) {
    mDefaults.clear();
    for (const std::string& raw : SplitText(sectionText, "\r\n")) {
        const std::string_view line = TrimLine(raw);
        if (line.empty() || line.starts_with("//")) continue;
        std::vector<std::string> fields = SplitText(line, "\t");
        std::vector<std::string> defaults;
        defaults.reserve(fields.size() - 1);
        for (std::size_t i = 1; i < fields.size(); ++i)
            defaults.push_back(FirstCharacter(fields[i]));
        mDefaults[ToLowerAscii(fields[0])] = std::move(defaults);
    }
}

bool InstructionTable::Contains(std::string_view word) const {
    return mDefaults.contains(ToLowerAscii(word));
}

bool InstructionTable::Prepare(std::string_view line, std::vector<std::string>& args,
                               std::string& error) const {
    std::vector<std::string> given = SplitText(line, "\t");
    const std::string word = ToLowerAscii(given[0]);
    args.assign(1, word);

    const auto found = mDefaults.find(word);
    if (found == mDefaults.end()) {
        error = TrFormat("未定義命令'%s'を実行しようとしました。", {word});
        return false;
    }
    const std::vector<std::string>& defaults = found->second;
    if (given.size() - 1 > defaults.size()) {
        error = TrFormat("%s命令の引数は%s個までです。", {word, std::to_string(defaults.size())});
        return false;
    }
    args.insert(args.end(), defaults.begin(), defaults.end());
    for (std::size_t i = 1; i < given.size(); ++i) {
        if (!given[i].empty() && !EqualsNoCase(given[i], "null")) args[i] = std::move(given[i]);
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == kRequired) {
            error = TrFormat("%s命令の第%s引数は省略できません。", {word, std::to_string(i)});
            return false;
        }
    }
    return true;
}

}  // namespace zelk
