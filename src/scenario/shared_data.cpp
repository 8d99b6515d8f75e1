#include "scenario/shared_data.h"

#include <sys/stat.h>

#include <cerrno>

#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "platform/translate.h"
#include "settings/ini_io.h"

namespace zelk {

namespace {

// A variable the game declares after the reader's first start (an update of
// the game, or its author adding one while writing it) joins with its first
// value; without it every use of the variable would fail. The reader's own
// values stay as they are.
void AddDeclaredVariables(const INIFile& systemInfo, INISection& var) {
    const INISection* shared = systemInfo.FindSection("shared");
    if (shared == nullptr) return;
    for (int i = 0; i < shared->Count(); ++i) {
        const std::string key = shared->LineKey(i);
        if (!key.empty() && !var.KeyExists(key)) var.KeyValue(key, shared->LineValue(i));
    }
}

}  // namespace

SharedData::SharedData(Reporter reporter) : mReporter(std::move(reporter)) {}

SharedData::~SharedData() {
    if (mFileOpen) Save();
}

std::string SharedData::Path() const {
    return Process().SaveDir + "/sd00.ini";
}

bool SharedData::Init(const INIFile& systemInfo, const INIFile* omakeMode) {
    mFile.Encoding(systemInfo.Encoding());
    if (!ReadIniFile(mFile, Path())) {
        ::mkdir(Process().SaveDir.c_str(), 0755);
        KeepUnreadableFile(Path());
        mFile.Clear();
        const INISection* shared = systemInfo.FindSection("shared");
        Var().Text(shared != nullptr ? shared->Text() : std::string());
        // The start fails and says so: no message of its own.
        if (!WriteIniFile(mFile, Path())) return false;
    } else {
        AddDeclaredVariables(systemInfo, Var());
    }
    mFileOpen = true;
    CmdHistorySection(mFile.KeySection("AlreadyRead").Text());

    mPictureIndex.clear();
    const INISection* commands =
        omakeMode != nullptr ? omakeMode->FindSection("cgmode_cmd") : nullptr;
    if (commands != nullptr) {
        for (int i = 0; i < commands->Count(); ++i) {
            if (ToLowerAscii(commands->LineKey(i)).rfind("cmd", 0) != 0) continue;
            const std::string value = commands->LineValue(i);
            const std::string name = TrimChars(value.substr(0, value.find(',')), " \t");
            if (!name.empty()) mPictureIndex.insert(ToLowerAscii(name));
        }
    }
    return true;
}

bool SharedData::Save() {
    if (!mFileOpen) return false;
    mFile.KeySection("AlreadyRead").Text(CmdHistorySection());
    const bool written = WriteIniFile(mFile, Path());
    const int error = errno;
    return mWriteNotice.Note(Path(), written, error);
}

// [SECTION] Read marks

void SharedData::AddCmdHistory(const std::string& sSnrName, long lCmdIndex) {
    const long n = lCmdIndex;
    if (mEntries.empty()) {
        mEntries.push_back({sSnrName, {{n, n}}});
        mCurrentEntry = 0;
        mCurrentRange = 0;
        return;
    }
    if (mEntries[mCurrentEntry].name != sSnrName) {
        Save();
        std::size_t found = 0;
        while (found < mEntries.size() && mEntries[found].name != sSnrName)
            ++found;
        mCurrentEntry = found;
        if (found == mEntries.size()) {
            mEntries.push_back({sSnrName, {{n, n}}});
            mCurrentRange = 0;
            return;
        }
    } else {
        std::vector<Range>& ranges = mEntries[mCurrentEntry].ranges;
        if (mCurrentRange < ranges.size()) {
            Range& current = ranges[mCurrentRange];
            if (RangeHolds(current, n)) return;
            const bool last = mCurrentRange + 1 == ranges.size();
            if (n == current.end + 1 && (last || ranges[mCurrentRange + 1].start > n + 1)) {
                current.end = n;
                return;
            }
        }
    }
    MarkInEntry(mEntries[mCurrentEntry], n);
}

void SharedData::MarkInEntry(Entry& entry, long n) {
    std::vector<Range>& ranges = entry.ranges;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        Range& range = ranges[i];
        mCurrentRange = i;
        if (range.start - 1 > n) {
            ranges.insert(ranges.begin() + static_cast<std::ptrdiff_t>(i), Range{n, n});
            return;
        }
        if (range.start == n + 1) {
            range.start = n;
            return;
        }
        if (RangeHolds(range, n)) return;
        if (range.end + 1 == n) {
            range.end = n;
            if (i + 1 < ranges.size() && ranges[i + 1].start == n + 1) {
                range.end = ranges[i + 1].end;
                ranges.erase(ranges.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            }
            return;
        }
    }
    ranges.push_back({n, n});
    mCurrentRange = ranges.size() - 1;
}

bool SharedData::CmdExists(const std::string& sSnrName, long lCmdIndex) const {
    if (mEntries.empty()) return false;
    // The current entry first, then the ones after it, then the ones before.
    const Entry* entry = nullptr;
    for (std::size_t k = 0; k < mEntries.size() && entry == nullptr; ++k) {
        const std::size_t i = (mCurrentEntry + k) % mEntries.size();
        if (mEntries[i].name == sSnrName) entry = &mEntries[i];
    }
    if (entry == nullptr) return false;
    const bool current = entry == &mEntries[mCurrentEntry];
    if (current && mCurrentRange < entry->ranges.size() &&
        RangeHolds(entry->ranges[mCurrentRange], lCmdIndex))
        return true;
    for (const Range& range : entry->ranges) {
        if (RangeHolds(range, lCmdIndex)) return true;
    }
    return false;
}

std::string SharedData::CmdHistorySection() const {
    std::string text;
    for (const Entry& entry : mEntries) {
        if (&entry != &mEntries.front()) text += "\r\n";
        text += entry.name + ":";
        for (std::size_t i = 0; i < entry.ranges.size(); ++i) {
            const Range& range = entry.ranges[i];
            if (i > 0) text += ",";
            text += std::to_string(range.start);
            // Appended piece by piece: a temporary built as "-" + number is
            // prepended into, which GCC 12 at -O3 misreads as an overlapping copy.
            if (range.end != range.start) {
                text += '-';
                text += std::to_string(range.end);
            }
        }
    }
    return text;
}

void SharedData::CmdHistorySection(const std::string& text) {
    mEntries.clear();
    mCurrentEntry = 0;
    mCurrentRange = 0;
    const std::string trimmed = TrimChars(text, " \t\r\n");
    if (trimmed.empty()) return;
    bool corrupt = false;
    for (const std::string& line : SplitText(trimmed, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            corrupt = true;
            mEntries.push_back({"ERROR_SCENARIO", {{0, 0}}});
            continue;
        }
        Entry entry{line.substr(0, colon), {}};
        for (const std::string& item : SplitText(line.substr(colon + 1), ",")) {
            const std::size_t dash = item.find('-');
            const long start = ReadLong(item.substr(0, dash));
            const long end = dash == std::string::npos ? start : ReadLong(item.substr(dash + 1));
            entry.ranges.push_back({start, end});
        }
        mEntries.push_back(std::move(entry));
    }
    // One message for the whole text: a damaged file must not bury the
    // reader under one box per line.
    if (corrupt) mReporter.Message(Tr("システムデータに予期しないエラーが発生しました。"));
}

// [SECTION] Pictures

void SharedData::AddCGHistory(const std::string& cGName) {
    if (!mPictureIndex.contains(ToLowerAscii(cGName))) return;
    CGHistory().KeyValue(cGName, "1");
    Save();
}

}  // namespace zelk
