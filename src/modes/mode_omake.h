// clsModeOmake: the extras screens reached from the title, mode 5. Three
// sub-screens share one frame of mode, return and page buttons: the CG
// gallery (each panel plays a short list of backgrounds, scrolls and
// movies), the scene replay (each panel starts the game on a scene label)
// and the music room (each panel plays a piece once; single, all or random
// order). A panel opens once the reader has seen what it stands for: the
// shared CG history for pictures, a shared variable for scenes. Everything
// comes from the system file "omake_mode".
//
// Files: mode_omake.cpp (start, end, screen commands, replay),
// mode_omake_screen.cpp (screens, pages, buttons, open tests),
// mode_omake_cg.cpp (the CG command lists and movies),
// mode_omake_sound.cpp (the music room).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "modes/mode.h"

namespace zelk {

class INIFile;
class INISection;
class clsEventRect;
class clsEventRects;
class clsLumoDriver;
class clsWavoDriver;

class clsModeOmake : public clsModeBase {
public:
    // Sub-screens.
    static constexpr long kSubCG = 0;
    static constexpr long kSubReplay = 1;
    static constexpr long kSubMusic = 2;
    // Music room play modes.
    static constexpr long kPlaySingle = 0;
    static constexpr long kPlayAll = 1;
    static constexpr long kPlayRandom = 2;
    // The media observer's polling period.
    static constexpr long kObserverPeriod = 500;

    struct MusicEntry {
        std::string key;  // the panel key
        std::string value;
        std::string picture;
        std::string musicKey;
        std::int32_t index = 0;
        std::int32_t page = 0;   // 0-based
        std::int32_t panel = 0;  // 0-based
    };

    // Draws an entry in [0, count); count is at least 1.
    using RandomSource = std::function<long(long count)>;

    explicit clsModeOmake(PlayerRoot& root);
    ~clsModeOmake() override;

    bool ModeStart(long eSub, const std::any& vParam) override;
    bool ModeEnd() override;

    // [SECTION] Actions
    void ExecuteCG(clsEventRect* er);
    void ExecuteScene(const clsEventRect& er);
    void ExecuteSound(long n);
    void ExecuteSoundAuto();
    void SetSndPanel();

    // [SECTION] Key names and the completion figure
    static std::string PanelKey(long page, long panel);
    static std::string CommandKey(long page, long panel, long command);
    long CGPercent() const;
    // Uniform over every entry, however many there are.
    static long DrawEntry(std::mt19937& generator, long count);
    void Random(RandomSource source) { mRandom = std::move(source); }

    // [SECTION] What the screen shows
    long SubMode() const { return mSubMode; }
    long CurrentPage() const { return mCurrentPage; }
    long PageCount() const { return mPageCount; }
    long PanelCount() const { return mPanelCount; }
    long CGPanel() const { return mCGPanel; }
    long CGCommandIndex() const { return mCGIndex; }
    bool MovieRunning() const { return mMovieRunning; }
    long PlayMode() const { return mPlayMode; }
    long PlayingEntry() const { return mPlayingEntry; }
    long LastEntry() const { return mLastEntry; }
    const std::vector<MusicEntry>& MusicEntries() const { return mEntries; }
    // Rectangle indices in the view's collection (-1: none).
    long PanelRect(long panel) const;
    long PageRect(long page) const;
    long ModeRect(long mode) const { return mModeButtons[static_cast<std::size_t>(mode)]; }
    long ReturnRect() const { return mReturnButton; }
    long CommandRect(long i) const { return mCommandButtons[static_cast<std::size_t>(i)]; }
    long PlayModeRect(long i) const { return mPlayModeButtons[static_cast<std::size_t>(i)]; }
    long ObserverRect() const { return mObserverRect; }
    std::int32_t PercentFilm() const { return mPercentFilm; }
    const std::string& PercentPicture() const { return mPercentPicture; }
    std::int32_t TextFilm() const { return mTextFilm; }
    bool Started() const { return mSettings != nullptr; }

protected:
    void OnScreenCmd(long eEvent, clsEventRect* er) override;

private:
    // [SECTION] Screens (mode_omake_screen.cpp)
    void ResetScreen();
    void ShowSubMode(long mode, long page);
    void ShowOmakePage(long mode, long page, bool activate);
    void ShowCGPanel(long page, long k, clsEventRect& rect);
    void ShowReplayPanel(long page, long k, clsEventRect& rect);
    void ShowMusicPanel(long page, long k, clsEventRect& rect);
    void LoadPanelPicture(long panel, const std::string& picture);
    void ReadMusicEntries();
    bool CommandOpen(long page, long panel, long command) const;
    bool CGPanelOpen(long page, long panel) const;
    bool ReplayPanelOpen(const std::string& variable) const;
    bool CGSeen(const std::string& name) const;
    void SelectButton(long rectIndex);
    void EnableButton(long rectIndex, bool enabled, long alpha, long cell);
    void ResetEnabledCells();

    // [SECTION] CG lists (mode_omake_cg.cpp)
    void RunCGCommand(const std::vector<std::string>& items);
    void EndMovie();
    void LeaveCGList();

    // [SECTION] Music (mode_omake_sound.cpp)
    void OnMusicCommand(long command);
    void OnPlayMode(long mode);
    long EntryOfPanel(long page, long panel) const;

    // [SECTION] Helpers (mode_omake.cpp)
    void OnPointed(clsEventRect& er);
    void OnPanelPointed(clsEventRect& er);
    void OnObserver();
    void ArmObserver();
    void PlaySound(const std::string& key);
    void Activate(long method, long time);
    const INISection* Section(const std::string& name) const;
    std::string Value(const std::string& section, const std::string& key) const;
    clsLumoDriver* Lumo() const;
    clsWavoDriver* Wavo() const;
    clsEventRects* Rects() const;
    clsEventRect* Rect(long index) const;

    std::unique_ptr<INIFile> mOwnSettings;  // when the root holds none
    const INIFile* mSettings = nullptr;
    std::string mPointSE, mClickSE;
    long mFadeTime = 0;
    long mSubMode = kSubCG;
    long mCurrentPage = 0;
    long mPageCount = 0;
    long mPanelCount = 0;
    long mCGPanel = -1;
    long mCGIndex = -1;
    bool mMovieRunning = false;
    long mSavedBGMRate = 100;
    long mPlayMode = kPlaySingle;
    long mPlayingEntry = -1;
    long mLastEntry = 0;
    std::vector<MusicEntry> mEntries;
    bool mReplayText = false;
    RandomSource mRandom;

    std::array<long, 3> mModeButtons{-1, -1, -1};
    long mReturnButton = -1;
    std::vector<long> mPageButtons;
    std::vector<long> mPanelButtons;
    std::vector<long> mPanelHeights;
    std::array<long, 4> mCommandButtons{-1, -1, -1, -1};
    std::array<long, 3> mPlayModeButtons{-1, -1, -1};
    long mObserverRect = -1;
    std::int32_t mPercentFilm = -1;
    std::string mPercentPicture;
    std::int32_t mTextFilm = -1;
};

}  // namespace zelk
