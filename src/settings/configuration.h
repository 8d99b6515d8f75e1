// Configuration: the reader's settings. The valid keys and their defaults
// are the [Config] section of the system file "SystemInfo"; the reader's own
// values live in SaveDir/config.ini, section [Config]. Reads fall back to the
// defaults; writes go to the reader's file and are announced by
// ChangeSetting, which the root turns into driver settings. It also lists the
// faces the reader may choose and the per-character settings.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/reporter.h"
#include "common/write_failure.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"

namespace zelk {

class Configuration {
public:
    explicit Configuration(Reporter reporter = {});
    // Writes the reader's file (when Init read or created it) and logs
    // "Config-Terminate".
    ~Configuration();
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;

    // Takes the defaults, the excluded faces and the character data from the
    // system file; reads (or creates) the reader's file; lists the faces.
    // A reader's file that cannot be read, is no regular file or is far too
    // large for settings is kept aside (KeepUnreadableFile) and the defaults
    // are used. Numbers out of their range are held to it.
    bool Init(const INIFile& systemInfo);
    // Writes the reader's file. A failure is told to the reader (standard
    // error and the window) once until a write succeeds again; every time
    // when `askedByReader` (the dialog's OK). The values stay in memory
    // either way.
    bool Save(bool askedByReader = false);

    // [SECTION] Values
    // Keys absent from the defaults are refused with a message: a read gives
    // "", a write stores nothing.
    std::string StringVal(const std::string& key) const;
    void StringVal(const std::string& key, const std::string& value);
    bool BoolVal(const std::string& key) const;
    void BoolVal(const std::string& key, bool value);
    // Numbers with a valid range (text speed, volumes, alphas, pages) are
    // held to it.
    long LongVal(const std::string& key) const;
    void LongVal(const std::string& key, long value);
    // For check boxes: 1 or 0; writing 1 is true, anything else false.
    long BoolValChk(const std::string& key) const { return BoolVal(key) ? 1 : 0; }
    void BoolValChk(const std::string& key, long value) { BoolVal(key, value == 1); }

    // While on, every read gives the default (the dialog shows the defaults).
    bool DefaultMode() const { return mDefaultMode; }
    void DefaultMode(bool on) { mDefaultMode = on; }
    bool ChangeEventEnabled() const { return mChangeEventEnabled; }
    void ChangeEventEnabled(bool on) { mChangeEventEnabled = on; }

    // Raises ChangeSetting once per comma-separated key, in order, whether or
    // not change events are enabled.
    void RaiseChangeEvent(const std::string& sKeyCSV);

    // [SECTION] Backup for the dialog's cancel
    void Backup();
    // Writes the backed-up values of the listed keys (all keyed lines of the
    // backup when the list is empty) back through StringVal.
    void Restore(const std::string& sKeyCSV = std::string());

    // [SECTION] Faces
    void AddEffectiveFont(const std::string& name);
    std::string FontName(long index) const;
    long FontCount() const;
    // The language the offered faces cover: "ja" for a Japanese game, the
    // declared tag (perhaps none) for a UTF-8 one.
    std::string FontLanguage() const { return mAnyFontSpacing ? mFontLanguage : "ja"; }
    long GetFontIndex(const std::string& name) const;

    // [SECTION] Characters
    long GetIndexByCID(const std::string& cid) const;
    std::string CharValue(long index) const { return StringVal("Char:" + std::to_string(index)); }
    void CharValue(long index, const std::string& value) {
        StringVal("Char:" + std::to_string(index), value);
    }
    long CharColor(long index) const;
    bool CharVoiceEnabled(long index) const;
    bool CharIsMale(const std::string& cid) const;

    // [SECTION] Events
    std::function<void(const std::string& sKey)> ChangeSetting;

private:
    std::string UserPath() const;
    void LoadCharacters(const INISection& charConfig);
    void HoldUserValuesToRange();
    void ListFonts() const;

    Reporter mReporter;
    WriteFailureNotice mWriteNotice{mReporter};
    bool mHasDefaults = false;
    INISection mDefaults;
    INIFile mUserFile;
    bool mUserFileOpen = false;
    INISection mBackup;
    bool mChangeEventEnabled = false;
    bool mDefaultMode = false;
    // Listed when first asked for (the settings dialog): asking the font
    // configuration for them costs the start-up a good share of its time.
    mutable std::vector<std::string> mFonts;
    mutable bool mFontsListed = false;
    std::string mInvalidFonts;
    // Whose fonts are offered: a UTF-8 game's are any that cover its
    // language, a Japanese game's its fixed-pitch ones.
    bool mAnyFontSpacing = false;
    std::string mFontLanguage;
    // Lower-cased character identifier -> character index.
    std::unordered_map<std::string, long> mCharacters;
    std::string mMaleCID;
};

}  // namespace zelk
