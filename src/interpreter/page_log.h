// A text log kept in memory as pages of lines. The launcher's debug log and
// the interpreter's error and trace reports go here; in debug mode it is
// appended to a file. An unfinished last line waits in a line buffer until
// its line end arrives, so pieces written separately end up on one line.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "common/text_encoding.h"

namespace zelk {

class PageLog {
public:
    PageLog();
    // Saves to Path when AutoSave is on.
    ~PageLog();
    PageLog(const PageLog&) = delete;
    PageLog& operator=(const PageLog&) = delete;

    // [SECTION] Writing
    // Writes a message split at CR LF. The tag travels with every piece to
    // LineWrote. Without a line end the last piece waits in the line buffer
    // (while it is enabled).
    void PutMsg(const std::string& message, const std::string& tag = std::string(),
                bool addLineEnd = true);
    // Moves the line buffer's content to the page without a line end.
    void FlashLineBuff(const std::string& tag = std::string());

    // [SECTION] Content
    // All pages followed by the line buffer. Writing replaces everything.
    std::string Log() const;
    void Log(const std::string& text);
    int AllLineCount() const { return (PageCount() - 1) * mPageSize + mPosition - 1; }
    // -1 is the last page; a page out of range gives an empty text.
    std::string PageText(int page) const;
    int PageCount() const { return static_cast<int>(mPages.size()); }
    // Lines begun on the last page, the one being written included.
    int Position() const { return mPosition; }
    // Lines per page; 0 is one page without limit. Setting re-pages the text.
    int PageSize() const { return mPageSize; }
    void PageSize(int size);

    // [SECTION] Saving
    // Mode 0 appends to the file and empties the log; mode 1 replaces the
    // file and empties the log; mode 2 replaces the file and keeps the log.
    // An empty path means Path. A failure leaves the log as it was.
    bool Save(const std::string& path = std::string());
    int SaveMode() const { return mSaveMode; }
    void SaveMode(int mode);
    const std::string& Path() const { return mPath; }
    void Path(const std::string& path) { mPath = path; }
    // The file's encoding: the game's (CP932 until the game is known).
    void Encoding(TextEncoding encoding) { mEncoding = encoding; }
    bool AutoSave() const { return mAutoSave; }
    void AutoSave(bool on) { mAutoSave = on; }

    // [SECTION] Settings and stopwatch
    const std::string& Name() const { return mName; }
    void Name(const std::string& name) { mName = name; }
    bool LineBuffEnabled() const { return mLineBuffEnabled; }
    void LineBuffEnabled(bool on) { mLineBuffEnabled = on; }
    void StopWatch();
    // The time of the last StopWatch call as "yyyy/mm/dd hh:nn:ss".
    const std::string& StopWatchDate() const { return mStopWatchDate; }
    // Whole seconds since the last StopWatch call.
    int StopWatchPassage() const;

    // [SECTION] Events
    std::function<void()> AllTextLet;  // after Log was written
    std::function<void()> AllClear;    // after Log was written with an empty text
    // Before each piece reaches a page; the listener may change the text.
    std::function<void(std::string& text, const std::string& tag)> LineWrote;
    std::function<void()> BeforePageTurn;
    std::function<void()> PageTurned;

private:
    void Append(std::string text, const std::string& tag);

    std::string mName;
    std::vector<std::string> mPages;
    int mPageSize = 100;
    int mPosition = 1;
    std::string mLineBuffer;
    bool mLineBuffEnabled = true;
    std::string mPath;
    bool mAutoSave = false;
    int mSaveMode = 0;
    TextEncoding mEncoding;
    std::string mStopWatchDate;
    std::chrono::steady_clock::time_point mStopWatchStart;
};

}  // namespace zelk
