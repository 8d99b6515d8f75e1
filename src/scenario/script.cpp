#include "scenario/script.h"

#include "common/text.h"
#include "platform/translate.h"

namespace zelk {

void Script::Init(std::string name, bool reserved) {
    mName = std::move(name);
    mReserved = reserved;
}

bool Script::Parse(std::string_view text, std::string& error, bool utf8Labels) {
    mLines.clear();
    mLabels.clear();
    mParseErrorAddress = -1;
    mLabels.emplace("", 0);

    std::size_t pos = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", pos);
        mLines.emplace_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos) break;
        pos = end + 2;
    }

    for (std::size_t i = 0; i < mLines.size(); ++i) {
        std::string& line = mLines[i];
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        if (utf8Labels) {
            // A UTF-8 game's text may hold ":" anywhere: only a ":" before
            // the first TAB, blank or quote ends a label.
            if (line.find_first_of("\t \"") < colon) continue;
        } else if (line.find(':', colon + 1) != std::string::npos) {
            // Only a line with exactly one ":" carries a label.
            continue;
        }
        std::string label = line.substr(0, colon);
        if (!mLabels.emplace(ToLowerAscii(label), static_cast<int>(i)).second) {
            error = TrFormat("ラベル'%s'が重複しています。", {label});
            mParseErrorAddress = static_cast<int>(i);
            return false;
        }
        line.erase(0, colon + 1);
    }
    return true;
}

int Script::LabelAddress(std::string_view label) const {
    const auto found = mLabels.find(ToLowerAscii(label));
    return found == mLabels.end() ? -1 : found->second;
}

const std::string& Script::Element(int index) const {
    static const std::string kNone;
    if (index < 0 || index >= Count()) return kNone;
    return mLines[static_cast<std::size_t>(index)];
}

// [SECTION] Finding one's way in the script

std::string_view Script::Word(int address) const {
    const std::string_view line = Element(address);
    return line.substr(0, line.find('\t'));
}

std::string Script::LabelBefore(int address) const {
    std::string best;
    int bestAddress = -1;
    for (const auto& [label, at] : mLabels) {
        if (at > address || at < bestAddress) continue;
        // The empty label shares address 0 with a named one: the name is
        // what an edited script keeps.
        if (at == bestAddress && label.empty()) continue;
        best = label;
        bestAddress = at;
    }
    return best;
}

int Script::NextLabelAddress(int address) const {
    int next = Count();
    for (const auto& [label, at] : mLabels) {
        if (at > address && at < next) next = at;
    }
    return next;
}

// [SECTION] Where the script came from

void Script::Source(std::string fileName, std::vector<int> lines, int lastLine) {
    mSourceFile = std::move(fileName);
    mSourceLines = std::move(lines);
    mLastSourceLine = lastLine;
}

int Script::SourceLine(int address) const {
    if (mSourceFile.empty() || address < 0) return 0;
    if (address < static_cast<int>(mSourceLines.size()))
        return mSourceLines[static_cast<std::size_t>(address)];
    return mLastSourceLine;
}

std::string Script::Place(int address) const {
    const int line = SourceLine(address);
    if (line > 0) return mSourceFile + ":" + std::to_string(line);
    return TrFormat("%s 第%s要素", {mName, std::to_string(address + 1)});
}

}  // namespace zelk
