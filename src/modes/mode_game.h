// clsModeGame: the reading screen. It starts a scenario (or a scene replay
// from the extras), turns the reader's clicks into interpreter steps, routes
// the text-window buttons, choices and scenario buttons, hides the window on
// the right button, applies the movie cancel rules and hosts the log mode.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "modes/mode.h"
#include "modes/page_rollback.h"

namespace zelk {

class clsGameLog;
class clsLumoDriver;
class clsGameView;

// Menu items the reader may use while a game is read, and in a replay.
inline constexpr const char* kGameMenus =
    "file!saveload,file!qsave,file!qload,file!title,message!skip,message!auto,message!log";
inline constexpr const char* kReplayMenus = "file!title,message!skip,message!auto,message!log";

// SubStatus of the game mode.
enum : long { kGameReading = 9, kGameMovie = 10, kGameLog = 11 };

class clsModeGame final : public clsModeBase, public GameModeMembers {
public:
    explicit clsModeGame(PlayerRoot& root);
    ~clsModeGame() override;

    bool ModeStart(long eSub, const std::any& vParam) override;
    bool ModeEnd() override;
    GameModeMembers* GameMembers() override { return this; }

    // [SECTION] Members others call on the game mode
    bool TextFilmsVisible() const override { return mTextFilmsVisible; }
    void TextFilmsVisible(bool b) override;
    bool IsReplayMode() const override { return mIsReplayMode; }
    void LogModeStart() override;
    void SetMoviePlayMode(long eMovieCancel) override;
    // Only while the reader reads: the log and a movie keep the page they
    // cover.
    void ReloadPage() override;
    long MovieCancel() const { return mMovieCancel; }
    std::string Caption(const clsEventRect& er) const override;

    // [SECTION] Going back
    long PagesBack() const override;
    void ForgetPages() override;
    // Returns to the page `steps` back (1 the last page read): the game as
    // it was then, its text shown at once. False when going back is not
    // possible now.
    bool GoBack(std::size_t steps);
    // The same for the newest recorded page that shows the history entry.
    bool GoBackToEntry(long historyEntry);
    bool HasPageOfEntry(long historyEntry) const;
    const PageRollback& Rollback() const { return mRollback; }
    // The reading menus as they stand: the game's or the replay's, and
    // going back while a page can be returned to.
    std::string ReadingMenus() const;

    // [SECTION] Log mode
    void LogModeEnd();
    void PlayCVAry(long lLogItem);
    long LogTextIndex() const;
    void LogTextIndex(long a);
    clsGameLog& Log() { return *mLog; }

    // Whether Ctrl and Tab are both held (movie rule 0); tests replace it.
    std::function<bool()> CtrlTabHeld;

protected:
    void OnScreenCmd(long eEvent, clsEventRect* er) override;

private:
    bool StartScenario(const std::string& label);
    void OnWindowButton(long eEvent, clsEventRect& er);
    void OnChoice(long eEvent, clsEventRect& er);
    void OnGameButton(long eEvent, clsEventRect& er);
    void OnNoRect(long eEvent);
    void ReadOn();
    void StopMovie();
    void PlayEffect(const char* key);
    void UnhighlightGameButtons();
    void RecordPage();
    void LeavePage();
    void UpdateBackMenu();
    bool WaitsForReader() const;
    clsGameView* View() const;

    std::unique_ptr<clsGameLog> mLog;
    bool mTextFilmsVisible = true;
    bool mIsReplayMode = false;
    long mMovieCancel = 0;
    // The auto click's interval while the window is hidden; 0 when none.
    long mPausedAutoClick = 0;
    PageRollback mRollback;
    // Whether the story waits on a page the reader sees: not before the
    // first step, nor behind a movie.
    bool mOnPage = false;
};

}  // namespace zelk
