// clsVell: the player root. One instance, opened by the launcher and released
// by its system timer. It owns every driver and document of a running game
// and is the one place where the parts of the program reach their siblings.
//
// Drivers join the root as they are built; one that is absent is a null
// accessor, and the root skips what it would ask of it.
#pragma once

#include <any>
#include <memory>
#include <string>

namespace zelk {

class INIFile;
class clsEventRect;

class clsVell {
public:
    clsVell();
    ~clsVell();
    clsVell(const clsVell&) = delete;
    clsVell& operator=(const clsVell&) = delete;

    bool Init();

    // [SECTION] Owned documents
    INIFile* SystemInfo() const { return mSystemInfo.get(); }
    INIFile* GamemodeInfo() const { return mGamemodeInfo.get(); }
    INIFile* OmakemodeInfo() const { return mOmakemodeInfo.get(); }
    long VellMode() const { return mVellMode; }

    // [SECTION] Modes, skip and the one-shot auto click
    void ChangeMode(long eMode, long eSub, std::any vParam = {});
    bool IsSkipMode() const { return mIsSkipMode; }
    void IsSkipMode(bool value);
    void MakeAutoClickTimer(long lTime, long eEvent, const clsEventRect* er);
    long CurrentAutoClickTimer() const;
    void AutoClick();

    long ThumbWidth() const { return mThumbWidth; }
    long ThumbHeight() const { return mThumbHeight; }

    // [SECTION] Events of owned objects
    void OnChangeSetting(const std::string& sKey);
    void OnRuntimeError(long eErrCode, const std::string& sMsg, long lAddr);

private:
    bool LoadSystemFiles();
    void ReadScreenGeometry();
    bool ReadThumbSize();

    std::unique_ptr<INIFile> mSystemInfo;
    std::unique_ptr<INIFile> mGamemodeInfo;
    std::unique_ptr<INIFile> mOmakemodeInfo;
    long mVellMode = 0;
    bool mIsSkipMode = false;
    long mAutoClickEvent = 0;
    const clsEventRect* mAutoClickRect = nullptr;
    long mThumbWidth = 0;
    long mThumbHeight = 0;
};

// The root while one is open, else null.
clsVell* Vell();

}  // namespace zelk
