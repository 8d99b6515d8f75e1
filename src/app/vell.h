// clsVell: the player root. One instance, opened by the launcher and released
// by its system timer. It owns every driver and document of a running game
// and is the one place where the parts of the program reach their siblings.
//
// Drivers that have not joined the program yet are absent: their accessors
// return null and the root skips what it would ask of them.
#pragma once

#include <memory>
#include <string>

namespace zelk {

class INIFile;
class Configuration;
class SharedData;
class clsSaveData;
class clsQuorDriver;
class clsInterpreter;
class clsLumoDriver;
class clsWavoDriver;
class clsGameView;
class clsEventRect;
class ModeObjectBase;

class clsVell {
public:
    clsVell();
    ~clsVell();
    clsVell(const clsVell&) = delete;
    clsVell& operator=(const clsVell&) = delete;

    bool Init();

    // [SECTION] Owned objects
    Configuration* Cfg() const { return mCfg.get(); }
    clsGameView* GameView() const { return mGameView.get(); }
    clsInterpreter* Intprt() const { return mIntprt.get(); }
    clsQuorDriver* Quor() const { return mQuor.get(); }
    clsLumoDriver* Lumo() const { return mLumo.get(); }
    clsWavoDriver* Wavo() const { return mWavo.get(); }
    clsSaveData* SD() const { return mSD.get(); }
    zelk::SharedData* SharedData() const { return mSharedData.get(); }
    INIFile* SystemInfo() const { return mSystemInfo.get(); }
    INIFile* GamemodeInfo() const { return mGamemodeInfo.get(); }
    INIFile* OmakemodeInfo() const { return mOmakemodeInfo.get(); }
    ModeObjectBase* ModeObject() const { return mModeObject.get(); }
    long VellMode() const { return mVellMode; }

    // [SECTION] Modes, skip and the one-shot auto click
    void ChangeMode(long eMode, long eSub);
    bool IsSkipMode() const { return mIsSkipMode; }
    void IsSkipMode(bool value);
    void MakeAutoClickTimer(long lTime, long eEvent, const clsEventRect* er);
    long CurrentAutoClickTimer() const;
    void AutoClick();

    // [SECTION] Save data
    void SDMakeData();
    void SDRestoreData(bool bSndRestore);
    void QuickSave(bool bMsg);
    void QuickLoad(bool bMsg);

    long ThumbWidth() const { return mThumbWidth; }
    long ThumbHeight() const { return mThumbHeight; }

    // [SECTION] Events of owned objects
    void OnChangeSetting(const std::string& sKey);
    void OnRuntimeError(long eErrCode, const std::string& sMsg, long lAddr);

private:
    std::unique_ptr<Configuration> mCfg;
    std::unique_ptr<clsGameView> mGameView;
    std::unique_ptr<clsInterpreter> mIntprt;
    std::unique_ptr<clsQuorDriver> mQuor;
    std::unique_ptr<clsLumoDriver> mLumo;
    std::unique_ptr<clsWavoDriver> mWavo;
    std::unique_ptr<clsSaveData> mSD;
    std::unique_ptr<zelk::SharedData> mSharedData;
    std::unique_ptr<INIFile> mSystemInfo;
    std::unique_ptr<INIFile> mGamemodeInfo;
    std::unique_ptr<INIFile> mOmakemodeInfo;
    std::unique_ptr<ModeObjectBase> mModeObject;
    long mVellMode = 0;
    bool mIsSkipMode = false;
    long mAutoClickEvent = 0;
    long mThumbWidth = 0;
    long mThumbHeight = 0;
};

// The root while one is open, else null.
clsVell* Vell();

}  // namespace zelk
