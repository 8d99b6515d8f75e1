// clsLaunch: the launcher, the one object that lives for the whole process.
// It fixes the folders, refuses a second instance, reads the debug file,
// opens the root and routes every message box of the program. Starting the
// title and closing the root are posted to the one-shot system timer, so the
// caller always returns before they run.
#pragma once

#include <memory>
#include <string>

#include "common/message_box.h"
#include "common/text_encoding.h"

namespace zelk {

class INIFile;
class INISection;
class PageLog;
class clsVell;
class frmCtrl;

class clsLaunch {
public:
    clsLaunch();
    ~clsLaunch();
    clsLaunch(const clsLaunch&) = delete;
    clsLaunch& operator=(const clsLaunch&) = delete;

    bool Init();
    // `encoding` and `language` (a BCP 47 tag, empty when undeclared) are
    // the game's, which its SystemInfo.ini names: the film engine is started
    // for them.
    void OpenVell(TextEncoding encoding = TextEncoding(),
                  const std::string& language = std::string());
    void CloseVell();
    void RestartTitle() { SysTimerFunc(1); }
    void ExitApp();

    long Msg(const std::string& Prompt, long Buttons = kMsgOK, const std::string& Title = "");

    frmCtrl* View() const { return mView.get(); }
    PageLog& Log() const { return *mLog; }
    const INISection& DebugSec() const;
    const std::string& Title() const { return mTitle; }
    bool IsDebugMode() const;

    long SysTimerFunc() const { return mSysTimerFunc; }
    void SysTimerFunc(long value);

    // The open root, or null before OpenVell and after the close.
    clsVell* Root() const { return mVell.get(); }

    // Runs when tmrSystem fires.
    void OnSystemTimer();
    // True once ExitApp has run: the process may end.
    bool Finished() const { return mFinished; }
    // The root could not open: the game never started (its message was shown).
    bool StartFailed() const { return mStartFailed; }

private:
    void PlaceAndShowView();
    void StoreViewPlacementAndHide();

    std::unique_ptr<frmCtrl> mView;
    std::unique_ptr<PageLog> mLog;
    std::unique_ptr<INIFile> mDebugFile;
    std::unique_ptr<INISection> mEmptyDebugSec;
    std::unique_ptr<clsVell> mVell;
    std::string mTitle;
    long mSysTimerFunc = 0;
    bool mSysTimerDeferred = false;  // its tick waits for the main loop
    bool mExiting = false;
    bool mFinished = false;
    bool mStartFailed = false;
};

// The launcher while the process runs (null in tests that build parts alone).
clsLaunch* Launch();

}  // namespace zelk
