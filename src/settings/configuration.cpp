#include "settings/configuration.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "common/numbers.h"
#include "common/process.h"
#include "common/text.h"
#include "settings/font_list.h"
#include "settings/game_language.h"
#include "settings/ini_io.h"

namespace zelk {

namespace {

constexpr const char* kUserSection = "Config";

// The player's own settings, which no game's defaults name: going back a
// page, the page text on the clipboard, self-voicing, the language of the
// player's own texts ("auto": the desktop's).
constexpr const char* kPlayerDefaults[][2] = {
    {"RollbackPages", "100"},
    {"TextToClipboard", "False"},
    {"SelfVoicing", "False"},
    {"Language", "auto"},
};

// A reader's settings are a few kilobytes; a file far larger is no settings
// file (and reading it would slow every start).
constexpr std::size_t kMostConfigBytes = 1 << 20;

// The numbers the program can use: a value outside would, say, type a
// character every 15 seconds or wait forever in auto mode. (A start mode
// outside its three has a meaning of its own: a window.)
struct Range {
    const char* key;
    long least;
    long most;
};
constexpr Range kRanges[] = {
    {"TextSpeed", 0, 4},    {"AutoModeWait", 0, 30000},  {"BGMVolume", 0, 255},
    {"SEVolume", 0, 255},   {"CVVolume", 0, 255},        {"WndAlpha", 0, 255},
    {"NovelAlpha", 0, 255}, {"RollbackPages", 0, 10000}, {"LastSaveLoadPage", 0, 10000},
};

const Range* RangeOf(const std::string& key) {
    for (const Range& range : kRanges) {
        if (key == range.key) return &range;
    }
    return nullptr;
}

long HeldToRange(const Range* range, long value) {
    return range ? std::clamp(value, range->least, range->most) : value;
}

}  // namespace

Configuration::Configuration(Reporter reporter) : mReporter(std::move(reporter)) {}

Configuration::~Configuration() {
    // Only a file that Init read or created is written back: before that the
    // document is empty and would wipe the reader's settings.
    if (mUserFileOpen) {
        const bool written = WriteIniFile(mUserFile, UserPath());
        const int error = errno;
        mWriteNotice.Note(UserPath(), written, error);
    }
    mReporter.Log("Config-Terminate");
}

std::string Configuration::UserPath() const {
    return Process().SaveDir + "/config.ini";
}

bool Configuration::Init(const INIFile& systemInfo) {
    // Without its defaults every setting the program reads would be refused
    // with a message of its own; the game cannot be played so.
    if (systemInfo.FindSection("Config") == nullptr) return false;
    // The system file is only read; a copy keeps the lookups from creating
    // sections in it.
    INIFile system = systemInfo;
    mDefaults = system.KeySection("Config");
    for (const auto& [key, value] : kPlayerDefaults) {
        if (!mDefaults.KeyExists(key)) mDefaults.KeyValue(key, value);
    }
    mHasDefaults = true;

    // The reader's file is in the game's encoding (while it is plain).
    mUserFile.Encoding(systemInfo.Encoding());
    if (!ReadIniFile(mUserFile, UserPath(), kMostConfigBytes)) {
        KeepUnreadableFile(UserPath());
        mUserFile.KeySection(kUserSection).Text(mDefaults.Text());
        const bool written = WriteIniFile(mUserFile, UserPath());
        const int error = errno;
        mWriteNotice.Note(UserPath(), written, error);
    }
    mUserFileOpen = true;
    HoldUserValuesToRange();

    mInvalidFonts = system.KeySection("Game").KeyValue("InvalidFont");
    mAnyFontSpacing = system.Encoding().IsUtf8();
    mFontLanguage = ReadGameLanguage(system).tag;
    mFonts.clear();
    mFontsListed = false;

    LoadCharacters(system.KeySection("CharConfig"));
    mChangeEventEnabled = true;
    return true;
}

bool Configuration::Save(bool askedByReader) {
    if (!mUserFileOpen) return false;
    const bool written = WriteIniFile(mUserFile, UserPath());
    const int error = errno;
    if (!written && askedByReader)
        mWriteNotice.Tell(UserPath(), error,
                          "変更した設定はこのまま使われますが、保存されていません。");
    return mWriteNotice.Note(UserPath(), written, error);
}

// A value out of range is written back held to it, so that the file says
// what the program does.
void Configuration::HoldUserValuesToRange() {
    if (std::as_const(mUserFile).FindSection(kUserSection) == nullptr) return;
    INISection& user = mUserFile.KeySection(kUserSection);
    for (const Range& range : kRanges) {
        if (!user.KeyExists(range.key)) continue;
        const long value = ReadLong(user.KeyValue(range.key));
        const long held = HeldToRange(&range, value);
        if (held != value) user.KeyValue(range.key, std::to_string(held));
    }
}

// [SECTION] Values

std::string Configuration::StringVal(const std::string& key) const {
    if (!mDefaults.KeyExists(key)) {
        mReporter.Message("不正な設定項目 '" + key + "' を読み込もうとしました。");
        return std::string();
    }
    if (!mDefaultMode) {
        const INISection* user = mUserFile.FindSection(kUserSection);
        if (user != nullptr && user->KeyExists(key)) return user->KeyValue(key);
    }
    return mDefaults.KeyValue(key);
}

void Configuration::StringVal(const std::string& key, const std::string& value) {
    if (!mHasDefaults) {
        mReporter.Log("設定保存先が作成されていません。");
        return;
    }
    if (!mDefaults.KeyExists(key)) {
        mReporter.Message("不正な設定項目 '" + key + "' に書き込もうとしました。");
        return;
    }
    INISection& user = mUserFile.KeySection(kUserSection);
    if (user.KeyValue(key) == value) return;
    user.KeyValue(key, value);
    if (mChangeEventEnabled && ChangeSetting) ChangeSetting(key);
}

bool Configuration::BoolVal(const std::string& key) const {
    return ReadBool(StringVal(key));
}

void Configuration::BoolVal(const std::string& key, bool value) {
    StringVal(key, value ? "True" : "False");
}

long Configuration::LongVal(const std::string& key) const {
    return HeldToRange(RangeOf(key), ReadLong(StringVal(key)));
}

void Configuration::LongVal(const std::string& key, long value) {
    StringVal(key, std::to_string(value));
}

void Configuration::RaiseChangeEvent(const std::string& sKeyCSV) {
    if (!ChangeSetting) return;
    for (const std::string& key : SplitText(sKeyCSV, ","))
        ChangeSetting(key);
}

// [SECTION] Backup for the dialog's cancel

void Configuration::Backup() {
    mBackup = mUserFile.KeySection(kUserSection);
}

void Configuration::Restore(const std::string& sKeyCSV) {
    std::vector<std::string> keys;
    if (sKeyCSV.empty()) {
        for (int i = 0; i < mBackup.Count(); ++i) {
            std::string key = mBackup.LineKey(i);
            if (!key.empty()) keys.push_back(std::move(key));
        }
    } else {
        keys = SplitText(sKeyCSV, ",");
    }
    for (const std::string& key : keys)
        StringVal(key, mBackup.KeyValue(key));
}

// [SECTION] Faces

void Configuration::ListFonts() const {
    if (mFontsListed) return;
    mFontsListed = true;
    for (const std::string& family :
         mAnyFontSpacing ? FamiliesForLanguage(mFontLanguage) : JapaneseFixedPitchFamilies())
        if (mInvalidFonts.find(family) == std::string::npos) mFonts.push_back(family);
}

void Configuration::AddEffectiveFont(const std::string& name) {
    ListFonts();
    if (mInvalidFonts.find(name) != std::string::npos) return;
    mFonts.push_back(name);
}

long Configuration::FontCount() const {
    ListFonts();
    return static_cast<long>(mFonts.size());
}

std::string Configuration::FontName(long index) const {
    if (index < 0 || index >= FontCount()) return std::string();
    return mFonts[static_cast<std::size_t>(index)];
}

long Configuration::GetFontIndex(const std::string& name) const {
    ListFonts();
    for (std::size_t i = 0; i < mFonts.size(); ++i) {
        if (mFonts[i] == name) return static_cast<long>(i);
    }
    return -1;
}

// [SECTION] Characters

void Configuration::LoadCharacters(const INISection& charConfig) {
    mCharacters.clear();
    const long count = ReadLong(charConfig.KeyValue("ListCount"));
    for (long index = 0; index < count; ++index) {
        const std::vector<std::string> items =
            SplitText(charConfig.KeyValue("Item:" + std::to_string(index)), ",");
        if (items.size() != 3) continue;
        for (const std::string& cid : SplitText(items[1], "/")) {
            const std::string trimmed = TrimChars(cid, " \t");
            mCharacters.try_emplace(ToLowerAscii(trimmed), index);
        }
    }
    mMaleCID = ToLowerAscii(charConfig.KeyValue("MaleCID"));
}

long Configuration::GetIndexByCID(const std::string& cid) const {
    const auto found = mCharacters.find(ToLowerAscii(cid));
    return found == mCharacters.end() ? -1 : found->second;
}

long Configuration::CharColor(long index) const {
    if (index == -1) return 0xFFFFFF;
    const std::string value = CharValue(index);
    const std::size_t comma = value.find(',');
    return ReadLong(comma == std::string::npos ? value : value.substr(comma + 1));
}

bool Configuration::CharVoiceEnabled(long index) const {
    if (index == -1) return true;
    const std::string value = CharValue(index);
    return ReadBool(value.substr(0, value.find(',')), true);
}

bool Configuration::CharIsMale(const std::string& cid) const {
    // An empty identifier would be "found" in any text; it names nobody.
    if (cid.empty()) return false;
    return mMaleCID.find(ToLowerAscii(cid)) != std::string::npos;
}

}  // namespace zelk
