// clsVell: the player root. One instance, opened by the launcher and released
// by its system timer. It owns every driver and document of a running game
// and is the one place where the parts of the program reach their siblings.
//
// Drivers join the root as they are built; one that is absent is a null
// accessor, and the root skips what it would ask of it.
#pragma once

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/text_encoding.h"
#include "view/player_root.h"

namespace zelk {

class INIFile;
class Configuration;
class clsInterpreter;
class clsLumoDriver;
class clsQuorDriver;
class clsWavoDriver;
class ScreenSurface;
class clsSaveData;
class SharedData;
class InterpreterHost;
class clsGameView;
class clsModeBase;
class GameModeMembers;
class ReaderAids;
class RefusedNames;

class clsVell : public PlayerRoot {
public:
    explicit clsVell(TextEncoding encoding = TextEncoding(),
                     const std::string& language = std::string());
    ~clsVell() override;
    clsVell(const clsVell&) = delete;
    clsVell& operator=(const clsVell&) = delete;

    bool Init();

    // [SECTION] Owned objects
    Configuration* Cfg() const override { return mCfg.get(); }
    clsGameView* GameView() const override { return mGameView.get(); }
    clsInterpreter* Intprt() const override { return mIntprt.get(); }
    clsQuorDriver* Quor() const { return mQuor.get(); }
    clsLumoDriver* Lumo() const override { return mLumo.get(); }
    clsWavoDriver* Wavo() const override { return mWavo.get(); }
    clsSaveData* SD() const override { return mSD.get(); }
    zelk::SharedData* SharedData() const override { return mSharedData.get(); }
    INIFile* SystemInfo() const override { return mSystemInfo.get(); }
    INIFile* GamemodeInfo() const override { return mGamemodeInfo.get(); }
    INIFile* OmakemodeInfo() const override { return mOmakemodeInfo.get(); }
    clsModeBase* ModeObject() const { return mModeObject.get(); }
    long VellMode() const override { return mVellMode; }

    // [SECTION] Modes, skip and the one-shot auto click
    // The old mode is ended at once but released only once the event loop
    // is back at its top: a switch may be asked for from inside its handler.
    void ChangeMode(long eMode, long eSub, std::any vParam = {}) override;
    // Grows by one at every switch.
    long ModeSerial() const { return mModeSerial; }
    void ModeScreenCmd(long eVellMode, long eEvent, clsEventRect* er) override;
    void ModeScreenModeChanged() override;
    void ModeLogStart() override;
    bool IsSkipMode() const override { return mIsSkipMode; }
    void IsSkipMode(bool value) override;
    // The rectangle is named by its index in the view's collection (-1:
    // none) and looked up when the click fires: it may be gone by then.
    void MakeAutoClickTimer(long lTime, long eEvent, long erIndex = -1) override;
    long CurrentAutoClickTimer() const override;
    void AutoClick();

    // [SECTION] Movies
    // The game view names the surface movies are drawn into and how their
    // completion click reaches it (posted, from an engine thread).
    void MovieTarget(ScreenSurface* surface, std::function<void()> postClick);
    // The game's name is looked up in the movie folder; one that leaves it
    // is refused (paths.h), and nothing else is played.
    bool PlayMovie(const std::string& file, long eMovieCancel = 0) override;

    // [SECTION] Save data
    void SDMakeData() override;
    void SDMakeStatus() override;
    void SDRestoreData(bool bSndRestore) override;
    void QuickSave(bool bMsg) override;
    void QuickLoad(bool bMsg) override;

    // [SECTION] Authors
    // Runs once the event loop is back at its top, so never under a step:
    // the page then waits for its click, in the game mode only.
    void ReloadScenario() override;

    // [SECTION] Reader's aids
    ReaderAids* Aids() const override { return mAids.get(); }
    void SelectionMovedByKeys(long erIndex) override;

    long ThumbWidth() const override { return mThumbWidth; }
    long ThumbHeight() const override { return mThumbHeight; }

    // [SECTION] The launcher's, for the parts below the root
    long Msg(const std::string& prompt, long buttons = 0) override;
    void Log(const std::string& line) override;
    void RestartTitle() override;
    void CloseVell() override;

    // [SECTION] Events of owned objects
    void OnChangeSetting(const std::string& sKey);
    void OnRuntimeError(long eErrCode, const std::string& sMsg, long lAddr);

private:
    bool LoadArchives();
    bool LoadSystemFiles();
    void ReadScreenGeometry();
    bool ReadThumbSize();
    bool InitLumo();
    void InitWavo();
    void ApplyVolume(const std::string& sKey);
    // The game mode's own members; null in any other mode.
    GameModeMembers* GameMode() const;

    // Declared in the order of construction; released explicitly in the
    // order of the teardown.
    std::unique_ptr<Configuration> mCfg;
    std::unique_ptr<clsGameView> mGameView;
    std::unique_ptr<InterpreterHost> mIntprtHost;
    std::unique_ptr<clsInterpreter> mIntprt;
    std::unique_ptr<clsQuorDriver> mQuor;
    std::unique_ptr<clsLumoDriver> mLumo;
    std::unique_ptr<clsWavoDriver> mWavo;
    ScreenSurface* mMovieSurface = nullptr;
    std::function<void()> mMoviePostClick;
    std::unique_ptr<clsSaveData> mSD;
    std::unique_ptr<zelk::SharedData> mSharedData;
    std::unique_ptr<INIFile> mSystemInfo;
    std::unique_ptr<INIFile> mGamemodeInfo;
    std::unique_ptr<INIFile> mOmakemodeInfo;
    std::unique_ptr<ReaderAids> mAids;
    std::unique_ptr<RefusedNames> mRefusedNames;
    std::unique_ptr<clsModeBase> mModeObject;
    std::vector<std::unique_ptr<clsModeBase>> mEndedModes;
    std::shared_ptr<int> mAlive = std::make_shared<int>(0);
    long mVellMode = 0;
    long mModeSerial = 0;
    bool mIsSkipMode = false;
    long mAutoClickEvent = 0;
    long mAutoClickRect = -1;
    long mThumbWidth = 0;
    long mThumbHeight = 0;
};

// The root while one is open, else null.
clsVell* Vell();

}  // namespace zelk
