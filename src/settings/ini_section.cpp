#include "settings/ini_section.h"

#include "common/text.h"
#include "settings/key_trace.h"

namespace zelk {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t LeadingBlanks(const std::string& text) {
    std::size_t n = 0;
    while (n < text.size() && IsBlank(text[n]))
        ++n;
    return n;
}

std::size_t TrailingBlanks(const std::string& text) {
    std::size_t n = 0;
    while (n < text.size() && IsBlank(text[text.size() - 1 - n]))
        ++n;
    return n;
}

const char* StateName(INISection::LineState state) {
    switch (state) {
        case INISection::LineState::TextOnly:
            return "TextOnly";
        case INISection::LineState::ParsedOnly:
            return "ParsedOnly";
        case INISection::LineState::Both:
            return "Both";
    }
    return "";
}

}  // namespace

INISection::INISection() : mLines(1) {}

// [SECTION] Header

bool INISection::NameFullText(const std::string& line) {
    mNamePrefix.clear();
    mNameContent.clear();
    mNameSuffix.clear();
    int state = 0;
    std::size_t open = 0;
    std::size_t close = 0;
    bool done = false;
    for (std::size_t i = 0; i < line.size() && !done; ++i) {
        const char c = line[i];
        if (state == 0) {
            if (IsBlank(c)) continue;
            if (c != '[') return false;
            open = i;
            state = 1;
        } else if (state == 1) {
            if (c == ';' || c == '[') return false;
            if (c == ']') {
                close = i;
                state = 2;
            }
        } else {
            if (IsBlank(c)) continue;
            if (c != ';') return false;
            done = true;  // a comment may follow the header
        }
    }
    if (state != 2) return false;
    mNamePrefix = line.substr(0, open + 1);
    mNameContent = line.substr(open + 1, close - open - 1);
    mNameSuffix = line.substr(close);
    const std::size_t lead = LeadingBlanks(mNameContent);
    mNamePrefix += mNameContent.substr(0, lead);
    mNameContent.erase(0, lead);
    const std::size_t trail = TrailingBlanks(mNameContent);
    mNameSuffix.insert(0, mNameContent.substr(mNameContent.size() - trail));
    mNameContent.erase(mNameContent.size() - trail);
    return true;
}

// [SECTION] Body

std::string INISection::Text() const {
    std::string text;
    for (std::size_t i = 0; i < mLines.size(); ++i) {
        if (i > 0) text += "\r\n";
        Line& line = mLines[i];
        if (line.state == LineState::ParsedOnly) Rebuild(line);
        text += line.text;
    }
    return text;
}

void INISection::Text(const std::string& text) {
    mLines.clear();
    DropIndex();
    if (text.empty()) {
        mLines.emplace_back();
        return;
    }
    for (std::string& piece : SplitText(text, "\r\n")) {
        Line line;
        line.text = std::move(piece);
        line.state = LineState::TextOnly;
        mLines.push_back(std::move(line));
    }
}

// [SECTION] Line parts

void INISection::Parse(Line& line) {
    line.indent.clear();
    line.key.clear();
    line.equal.clear();
    line.value.clear();
    line.comment.clear();
    line.state = LineState::Both;
    if (line.text.empty()) return;

    std::string rest = line.text;
    const std::size_t semicolon = rest.find(';');
    if (semicolon != std::string::npos) {
        line.comment = rest.substr(semicolon);
        rest.erase(semicolon);
        if (rest.empty()) return;
    }
    const std::size_t equal = rest.find('=');
    if (equal == std::string::npos) {
        line.comment = rest + line.comment;
        return;
    }
    line.key = rest.substr(0, equal);
    line.equal = "=";
    line.value = rest.substr(equal + 1);

    const std::size_t keyLead = LeadingBlanks(line.key);
    line.indent = line.key.substr(0, keyLead);
    line.key.erase(0, keyLead);
    const std::size_t keyTrail = TrailingBlanks(line.key);
    line.equal.insert(0, line.key.substr(line.key.size() - keyTrail));
    line.key.erase(line.key.size() - keyTrail);
    const std::size_t valueLead = LeadingBlanks(line.value);
    line.equal += line.value.substr(0, valueLead);
    line.value.erase(0, valueLead);
    const std::size_t valueTrail = TrailingBlanks(line.value);
    line.comment.insert(0, line.value.substr(line.value.size() - valueTrail));
    line.value.erase(line.value.size() - valueTrail);
}

void INISection::Rebuild(Line& line) {
    if (!line.key.empty() && line.equal.find('=') == std::string::npos) line.equal = "=";
    line.text = line.indent + line.key + line.equal + line.value + line.comment;
    line.state = LineState::Both;
}

INISection::Line& INISection::Parsed(int index) const {
    Line& line = mLines[static_cast<std::size_t>(index)];
    if (line.state == LineState::TextOnly) Parse(line);
    return line;
}

INISection::Line& INISection::LineForWrite(int index) {
    const auto at = static_cast<std::size_t>(index == -1 ? Count() : index);
    if (at >= mLines.size()) mLines.resize(at + 1);
    return mLines[at];
}

// [SECTION] Keys

const std::unordered_map<std::string, int>& INISection::Index() const {
    if (!mIndex) {
        mIndex.emplace();
        for (int i = 0; i < Count(); ++i) {
            const Line& line = Parsed(i);
            if (!line.key.empty()) mIndex->try_emplace(ToLowerAscii(line.key), i);
        }
    }
    return *mIndex;
}

int INISection::KeyIndex(const std::string& key) const {
    if (!mTraceFile.empty()) TraceKeyRead(mTraceFile, mNameContent, key);
    const auto& index = Index();
    const auto found = index.find(ToLowerAscii(key));
    return found == index.end() ? -1 : found->second;
}

std::string INISection::KeyValue(const std::string& key) const {
    const int index = KeyIndex(key);
    return index < 0 ? std::string() : Parsed(index).value;
}

void INISection::KeyValue(const std::string& key, const std::string& value) {
    const int index = KeyIndex(key);
    if (index < 0) {
        Line line;
        line.key = key;
        line.value = value;
        line.state = LineState::ParsedOnly;
        mLines.push_back(std::move(line));
        if (mIndex && !key.empty()) mIndex->try_emplace(ToLowerAscii(key), Count() - 1);
        return;
    }
    Line& line = Parsed(index);
    if (line.key != key) {
        line.key = key;
        DropIndex();
    }
    line.value = value;
    line.state = LineState::ParsedOnly;
}

void INISection::UpdateIndex() {
    DropIndex();
    Index();
}

void INISection::ParseAllLines() {
    for (int i = 0; i < Count(); ++i)
        Parsed(i);
}

// [SECTION] Lines by index

std::string INISection::LineText(int index) const {
    if (!LineExists(index)) return std::string();
    Line& line = mLines[static_cast<std::size_t>(index)];
    if (line.state == LineState::ParsedOnly) Rebuild(line);
    return line.text;
}

void INISection::LineText(int index, const std::string& text) {
    if (index < -1) return;
    Line& line = LineForWrite(index);
    line = Line{};
    line.text = text;
    line.state = LineState::TextOnly;
    DropIndex();
}

std::string INISection::LineKey(int index) const {
    return LineExists(index) ? Parsed(index).key : std::string();
}

void INISection::LineKey(int index, const std::string& key) {
    if (index < -1) return;
    Line& line = LineForWrite(index);
    if (line.state == LineState::TextOnly) Parse(line);
    line.key = key;
    line.state = LineState::ParsedOnly;
    DropIndex();
}

std::string INISection::LineValue(int index) const {
    return LineExists(index) ? Parsed(index).value : std::string();
}

void INISection::LineValue(int index, const std::string& value) {
    if (index < -1) return;
    Line& line = LineForWrite(index);
    if (line.state == LineState::TextOnly) Parse(line);
    line.value = value;
    line.state = LineState::ParsedOnly;
}

void INISection::LineRemove(int index) {
    if (!LineExists(index)) return;
    if (Count() == 1) {
        mLines.assign(1, Line{});
    } else {
        mLines.erase(mLines.begin() + index);
    }
    DropIndex();
}

INISection::LineState INISection::LineCondition(int index) const {
    return LineExists(index) ? mLines[static_cast<std::size_t>(index)].state : LineState::Both;
}

// [SECTION] Maintenance and diagnostics

void INISection::Optimize() {
    if (!mNameContent.empty()) {
        mNamePrefix = "[";
        mNameSuffix = "]";
    }
    std::vector<Line> kept;
    for (int i = 0; i < Count(); ++i) {
        const Line& line = Parsed(i);
        if (line.equal.empty()) continue;
        Line rewritten;
        rewritten.text = line.key + "=" + line.value;
        rewritten.state = LineState::TextOnly;
        kept.push_back(std::move(rewritten));
    }
    if (kept.empty()) kept.emplace_back();
    mLines = std::move(kept);
    DropIndex();
}

std::string INISection::DebugCondition() const {
    // The line a key lookup finds for each key, whether or not a lookup has
    // built the index yet; found on copies, so that the states shown are the
    // lines' own.
    std::vector<std::string> keys;
    std::unordered_map<std::string, int> first;
    for (int i = 0; i < Count(); ++i) {
        Line copy = mLines[static_cast<std::size_t>(i)];
        if (copy.state == LineState::TextOnly) Parse(copy);
        keys.push_back(ToLowerAscii(copy.key));
        if (!copy.key.empty()) first.try_emplace(keys.back(), i);
    }
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const Line& line = mLines[static_cast<std::size_t>(i)];
        const std::string& key = keys[static_cast<std::size_t>(i)];
        const auto found = first.find(key);
        const bool indexed = !key.empty() && found != first.end() && found->second == i;
        if (i > 0) out += "\r\n";
        out += indexed ? "* " : "";
        out += "index=" + std::to_string(i) + "  text='" + line.text + "'\r\n";
        out += std::string("condition=") + StateName(line.state) + "\r\n";
        out += " indent ='" + line.indent + "'\r\n";
        out += " key    ='" + line.key + "'\r\n";
        out += " equal  ='" + line.equal + "'\r\n";
        out += " value  ='" + line.value + "'\r\n";
        out += " comment='" + line.comment + "'";
    }
    return out;
}

std::string INISection::DebugNameAry() const {
    return "---- secname= \"" + mNameContent + "\"----\r\n" + "NamePrefix=\"" + mNamePrefix +
           "\"\r\n" + "NameContent=\"" + mNameContent + "\"\r\n" + "NameSuffix=\"" +
           ReplaceText(mNameSuffix, "\r\n", "[CrLf]") + "\"\r\n" + "----------------";
}

}  // namespace zelk
