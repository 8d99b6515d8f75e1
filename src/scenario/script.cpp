#include "scenario/script.h"

#include "common/text.h"

namespace zelk {

void Script::Init(std::string name, bool reserved) {
    mName = std::move(name);
    mReserved = reserved;
}

bool Script::Parse(std::string_view text, std::string& error) {
    mLines.clear();
    mLabels.clear();
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
        // Only a line with exactly one ":" carries a label.
        if (colon == std::string::npos || line.find(':', colon + 1) != std::string::npos) continue;
        std::string label = line.substr(0, colon);
        if (!mLabels.emplace(ToLowerAscii(label), static_cast<int>(i)).second) {
            error = "ラベル'" + label + "'が重複しています。";
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

}  // namespace zelk
