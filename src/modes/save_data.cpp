#include "modes/save_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "common/codepage.h"
#include "common/file_io.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "platform/translate.h"
#include "settings/ini_io.h"

namespace zelk {

namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 24-bit Windows bitmap: file and info headers, rows bottom-up, each padded
// to a multiple of 4 bytes.
std::string EncodeBmp24(const SavePreviewImage& image) {
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t dataSize = rowSize * static_cast<std::uint32_t>(image.height);
    std::string out;
    out.reserve(54 + dataSize);
    out += "BM";
    PutLe(out, 54 + dataSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(image.width), 4);
    PutLe(out, static_cast<std::uint32_t>(image.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);  // no compression
    PutLe(out, dataSize, 4);
    PutLe(out, 2835, 4);  // 72 dots per inch
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        const auto* row = image.pixels.data() + static_cast<std::size_t>(y) * image.stride;
        out.append(reinterpret_cast<const char*>(row), static_cast<std::size_t>(image.width) * 3);
        out.append(rowSize - static_cast<std::uint32_t>(image.width) * 3, '\0');
    }
    return out;
}

// Makes the renames inside the folder durable.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// A slot names the game it belongs to in its first section and ends with a
// section of its own: a slot cut anywhere keeps the one and loses the other.
constexpr const char* kStampSection = "Game";
constexpr const char* kStampKey = "Title";
constexpr const char* kEndSection = "End";

// What the player writes into every slot and reads back from it.
constexpr const char* kStatusSections[] = {"LumoStatus",   "WavoStatus", "GameViewStatus",
                                           "IntprtStatus", "VellStatus", "History"};
constexpr const char* kVellKeys[] = {"TextTempVisible", "DateString", "TimeString"};

// The document without the sections of that name.
INIFile Without(const INIFile& document, const std::string& name) {
    std::string text;
    for (const auto& section : document.Sections()) {
        if (EqualsNoCase(section->Name(), name)) continue;
        for (const std::string& part : {section->NameFullText(), section->Text()}) {
            if (part.empty()) continue;
            if (!text.empty()) text += "\r\n";
            text += part;
        }
    }
    INIFile result;
    result.Text(text);
    return result;
}

// A CP932 game's plain slot keeps only what CP932 can hold of a title.
bool SameTitle(const std::string& stated, const std::string& title) {
    return stated == title || stated == Cp932ToUtf8Lossy(Utf8ToCp932Lossy(title));
}

std::string TwoDigits(long number) {
    const std::string digits = std::to_string(std::labs(number));
    // Built front to back: prepending into a temporary is what GCC 12 at -O3
    // misreads as an overlapping copy.
    std::string text;
    if (number < 0) text += '-';
    if (digits.size() < 2) text += '0';
    return text + digits;
}

}  // namespace

clsSaveData::clsSaveData(Reporter reporter) : mReporter(std::move(reporter)) {}

void clsSaveData::Clear() {
    mDocument.Clear();
    mRuns.clear();
    mHistoryCount = 0;
}

// [SECTION] Slots

std::string clsSaveData::FormatSlotName(long page, long slot) {
    return "sd" + TwoDigits(page) + "-" + TwoDigits(slot);
}

std::string clsSaveData::SlotPath(const std::string& name, const char* extension) const {
    return Process().SaveDir + "/" + name + extension;
}

std::string clsSaveData::FormatINIPath(long page, long slot) const {
    return SlotPath(FormatSlotName(page, slot), ".ini");
}

std::string clsSaveData::FormatBMPPath(long page, long slot) const {
    return SlotPath(FormatSlotName(page, slot), ".bmp");
}

bool clsSaveData::IsLoadable(const std::string& name) const {
    return IsRegularFile(SlotPath(name, ".ini"));
}

bool clsSaveData::IsPreviewExists(const std::string& name) const {
    return IsRegularFile(SlotPath(name, ".bmp"));
}

bool clsSaveData::Save(const std::string& name) {
    mLastWriteFailure.clear();
    ::mkdir(Process().SaveDir.c_str(), 0755);
    mDocument.KeySection("History").Text(HistorySection());
    const std::string ini = SlotPath(name, ".ini");
    const std::string bmp = SlotPath(name, ".bmp");
    const std::string iniPart = SlotPath("." + name, ".ini.part");
    const std::string bmpPart = SlotPath("." + name, ".bmp.part");

    INIFile stamped;
    stamped.Encoding(mEncoding);
    mDocument.Encoding(mEncoding);
    if (mGame) {
        // A loaded slot's own stamp and end give way to the new ones. The
        // title was read from the game's settings: it holds nothing that
        // would not read back as itself.
        const std::string body = Without(Without(mDocument, kStampSection), kEndSection).Text();
        stamped.Text(std::string("[") + kStampSection + "]\r\n" + kStampKey + "=" + *mGame +
                     "\r\n" + body + "\r\n[" + kEndSection + "]");
    }
    const auto fail = [&](int error) {
        mLastWriteFailure = WriteFailureNotice::Describe(ini, error);
        ::unlink(iniPart.c_str());
        ::unlink(bmpPart.c_str());
        return false;
    };

    if (!WriteIniFile(mGame ? stamped : mDocument, iniPart)) return fail(errno);
    // A thumbnail that cannot be written does not fail the save; the reader
    // hears of it all the same.
    const std::optional<std::string> picture = EncodePreview();
    bool withPicture = false;
    if (picture) {
        withPicture = WriteFileAtomic(bmpPart, *picture);
        mWriteNotice.Note(bmp, withPicture, errno);
    }
    // The old picture goes before the new document comes: an interruption
    // between the renames leaves a slot without a picture, never a save
    // shown with another save's picture.
    ::unlink(bmp.c_str());
    if (::rename(iniPart.c_str(), ini.c_str()) != 0) return fail(errno);
    if (withPicture && ::rename(bmpPart.c_str(), bmp.c_str()) != 0) {
        mWriteNotice.Note(bmp, false, errno);
        ::unlink(bmpPart.c_str());
    }
    SyncFolder(Process().SaveDir);
    return true;
}

std::optional<std::string> clsSaveData::EncodePreview() const {
    const SavePreviewImage& image = mPreview;
    const bool valid = image.width > 0 && image.height > 0 && image.stride >= image.width * 3 &&
                       image.pixels.size() >= static_cast<std::size_t>(image.stride) *
                                                      static_cast<std::size_t>(image.height - 1) +
                                                  static_cast<std::size_t>(image.width) * 3;
    if (!valid) return std::nullopt;
    return EncodeBmp24(image);
}

bool clsSaveData::ReadSlotDocument(const std::string& name, INIFile& document) const {
    document.Encoding(mEncoding);
    if (!ReadIniFile(document, SlotPath(name, ".ini"))) {
        document.Clear();
        return false;
    }
    const auto& sections = document.Sections();
    const bool named = std::any_of(sections.begin(), sections.end(),
                                   [](const auto& section) { return !section->Name().empty(); });
    if (!named) document.Clear();
    return named;
}

std::string clsSaveData::SlotFault(const INIFile& document) const {
    if (mGame) {
        // Slots of older builds have no stamp: they are judged by their sections alone.
        if (const INISection* stamp = document.FindSection(kStampSection)) {
            const auto& sections = document.Sections();
            if (!stamp->KeyExists(kStampKey) || !EqualsNoCase(sections.back()->Name(), kEndSection))
                return Tr("it is cut short");
            const std::string stated = stamp->KeyValue(kStampKey);
            if (!SameTitle(stated, *mGame))
                return TrFormat("it is a save of another game (\"%s\")", {stated});
        }
        for (const char* name : kStatusSections) {
            if (!document.FindSection(name))
                return TrFormat("it is incomplete: it has no [%s] section", {name});
        }
        const INISection& vell = *document.FindSection("VellStatus");
        for (const char* key : kVellKeys) {
            if (!vell.KeyExists(key))
                return TrFormat("it is incomplete: its [VellStatus] has no %s", {key});
        }
    }
    const INISection* status = document.FindSection("IntprtStatus");
    if (mStatusCheck && status) return mStatusCheck(*status);
    return std::string();
}

bool clsSaveData::Load(const std::string& name) {
    // Read into a new document so that a slot that is not loadable leaves
    // the running game's variables and history untouched.
    INIFile loaded;
    if (!ReadSlotDocument(name, loaded)) {
        mLoadError = Tr("it is missing, unreadable or damaged");
        return false;
    }
    mLoadError = SlotFault(loaded);
    if (!mLoadError.empty()) return false;
    mDocument = std::move(loaded);
    mDocument.Encoding(mEncoding);
    HistorySection(mDocument.KeySection("History").Text());
    return true;
}

void clsSaveData::AddMissingVars(const INISection& defaults) {
    INISection& vars = Var();
    for (int i = 0; i < defaults.Count(); ++i) {
        const std::string key = defaults.LineKey(i);
        if (key.empty() || vars.KeyExists(key)) continue;
        // The line as a new game copies it, comment and all.
        vars.LineText(-1, defaults.LineText(i));
    }
}

// [SECTION] In memory

clsSaveData::Image clsSaveData::MakeImage() const {
    // The slot's own history section is stale between saves (Save writes
    // it); leaving it out keeps a hundred images small.
    INIFile document = mDocument;
    document.KeySection("History").Text(std::string());
    return Image{document.Text(), mHistoryCount};
}

bool clsSaveData::RestoreImage(const Image& image) {
    if (image.historyCount < 0 || image.historyCount > mHistoryCount) return false;
    mDocument.Text(image.document);
    CutHistory(image.historyCount);
    return true;
}

void clsSaveData::CutHistory(long count) {
    while (!mRuns.empty() && mRuns.back().first >= count)
        mRuns.pop_back();
    if (!mRuns.empty()) {
        Run& last = mRuns.back();
        last.numbers.resize(static_cast<std::size_t>(count - last.first));
    }
    mHistoryCount = count;
}

// [SECTION] Text history

bool clsSaveData::AddHistory(const std::string& scenario, long number) {
    if (mRuns.empty() || mRuns.back().scenario != scenario)
        mRuns.push_back(Run{scenario, {}, mHistoryCount});
    mRuns.back().numbers.push_back(number);
    ++mHistoryCount;
    return true;
}

bool clsSaveData::GetHistory(long index, std::string& scenario, long& number) const {
    if (mRuns.empty() || index < 0) return false;
    // The last run whose first index is at or before the index.
    const auto after = std::upper_bound(mRuns.begin(), mRuns.end(), index,
                                        [](long i, const Run& run) { return i < run.first; });
    if (after == mRuns.begin()) {
        mReporter.Message(Tr("ありえない"));
        return false;
    }
    const Run& run = *(after - 1);
    const auto offset = static_cast<std::size_t>(index - run.first);
    if (offset >= run.numbers.size()) {
        mReporter.Message(Tr("全体個数を超えている"));
        return false;
    }
    scenario = run.scenario;
    number = run.numbers[offset];
    return true;
}

std::string clsSaveData::HistorySection() const {
    std::string text;
    for (const Run& run : mRuns) {
        if (&run != &mRuns.front()) text += "\r\n";
        text += run.scenario + ":";
        for (std::size_t i = 0; i < run.numbers.size(); ++i) {
            if (i > 0) text += ",";
            text += std::to_string(run.numbers[i]);
        }
    }
    return text;
}

void clsSaveData::HistorySection(const std::string& text) {
    mRuns.clear();
    mHistoryCount = 0;
    const std::string trimmed = TrimChars(text, " \t\r\n");
    if (trimmed.empty()) return;
    std::vector<Run> runs;
    long count = 0;
    for (const std::string& line : SplitText(trimmed, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            mReporter.Message(Tr("セーブデータが破損しています。"));
            return;
        }
        Run run{line.substr(0, colon), {}, count};
        for (const std::string& item : SplitText(line.substr(colon + 1), ","))
            run.numbers.push_back(ReadLong(item));
        count += static_cast<long>(run.numbers.size());
        runs.push_back(std::move(run));
    }
    mRuns = std::move(runs);
    mHistoryCount = count;
}

}  // namespace zelk
