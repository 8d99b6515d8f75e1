// SharedData: what belongs to the player rather than to one saved game - the
// shared variables, the read marks of every text command ever shown (skip
// mode stops at unread text) and the event pictures seen (the extras mode
// shows them). All of it lives in SaveDir/sd00.ini.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "common/reporter.h"
#include "common/write_failure.h"
#include "settings/ini_file.h"

namespace zelk {

class SharedData {
public:
    explicit SharedData(Reporter reporter = {});
    // Saves the file when Init loaded or created it.
    ~SharedData();
    SharedData(const SharedData&) = delete;
    SharedData& operator=(const SharedData&) = delete;

    // Loads sd00.ini, or creates it with the [shared] variables of the system
    // file; false only when a new file cannot be written. The picture index
    // comes from [cgmode_cmd] of "omake_mode" (none: no picture is recorded).
    bool Init(const INIFile& systemInfo, const INIFile* omakeMode);
    // A failure is told to the reader once until a write succeeds again.
    bool Save();

    INISection& Var() { return mFile.KeySection("Var"); }
    INISection& CGHistory() { return mFile.KeySection("CGHistory"); }

    // [SECTION] Read marks
    // Scenario names compare exactly. Marking the next command of the text
    // run being read costs nothing; a change of scenario saves the file.
    void AddCmdHistory(const std::string& sSnrName, long lCmdIndex);
    bool CmdExists(const std::string& sSnrName, long lCmdIndex) const;
    // One line per scenario: "name:" and its ranges ("5" or "5-9") joined
    // with ",". Writing replaces every mark.
    std::string CmdHistorySection() const;
    void CmdHistorySection(const std::string& text);

    // Records a picture of the index as seen and saves; other names are
    // ignored.
    void AddCGHistory(const std::string& cGName);

    // [SECTION] The return from a scene replay
    // Kept for the session only: a replay left by closing the program
    // starts the extras afresh next time.
    bool IsBackFromReplay() const { return mIsBackFromReplay; }
    void IsBackFromReplay(bool value) { mIsBackFromReplay = value; }
    long ReplayModePageNumber() const { return mReplayModePageNumber; }
    void ReplayModePageNumber(long value) { mReplayModePageNumber = value; }

private:
    struct Range {
        long start;
        long end;
    };
    struct Entry {
        std::string name;
        std::vector<Range> ranges;  // sorted, disjoint, never touching
    };

    std::string Path() const;
    void MarkInEntry(Entry& entry, long n);
    static bool RangeHolds(const Range& range, long n) {
        return range.start <= n && n <= range.end;
    }

    Reporter mReporter;
    WriteFailureNotice mWriteNotice{mReporter};
    INIFile mFile;
    bool mFileOpen = false;
    std::vector<Entry> mEntries;
    std::size_t mCurrentEntry = 0;
    std::size_t mCurrentRange = 0;
    // Lower-cased picture names the extras mode can show.
    std::unordered_set<std::string> mPictureIndex;
    bool mIsBackFromReplay = false;
    long mReplayModePageNumber = 0;
};

}  // namespace zelk
