// clsLumoDriver: the game's one client of the film engine. It builds the
// fixed films (screen, scene buffer, background) and the base film set of
// the text window, characters, choices and buttons from the game-mode
// settings, loads pictures from loose files or the archives, runs the
// scene transitions, prints the story text and keeps the character stack,
// and saves all of it in the save data's "LumoStatus" section.
//
// Everything it needs from above (the view's event rectangles, the skip
// flag, the event pump, the log, the archives, the settings) it is given as
// hooks, so it runs without the root or a window.
//
// Sections by file: lumo_driver.cpp (life cycle, films, actions, WaitEnd),
// lumo_driver_pictures.cpp, lumo_driver_base_films.cpp (base film sets,
// transitions), lumo_driver_text.cpp (text window and choices),
// lumo_driver_scene.cpp (characters, CG, background),
// lumo_driver_status.cpp ("LumoStatus").
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/text_encoding.h"

#include "drivers/lumo_driver_film_record.h"

// The engine's identifiers stay out of this header: its callers above the
// drivers know only film and action numbers.

namespace zelk {

class clsEventRects;
class clsQuorDriver;
class INIFile;
class INISection;
class ScreenHostSurface;
class ScreenSurface;

// A text in the engine's mark language (CP932) with every colour mark made
// black: the copy the shadow film prints.
std::string ShadowText(const std::string& cp932);

struct LumoDriverHooks {
    clsEventRects* EvRects = nullptr;       // the view's collection; null: none made
    const clsQuorDriver* Quor = nullptr;    // archived pictures; null: loose only
    const INIFile* GamemodeInfo = nullptr;  // "game_mode": the base film sets
    std::string ImageDir;                   // loose pictures (CGFileMode)
    bool CGFileMode = false;
    int ScreenWidth = 640;
    int ScreenHeight = 480;
    bool DebugLog = false;  // the character table after each change

    std::function<void(const std::string&)> Log;
    std::function<bool()> IsSkipMode;
    std::function<bool()> AutoClickEnabled;
    // Processes pending window events, first sleeping at most `ms` for one
    // to arrive. Null: waits only on the engine.
    std::function<void(int ms)> PumpEvents;
    // Wakes a sleeping PumpEvents from any thread.
    std::function<void()> WakePump;
    std::function<bool(const std::string&)> ConfigBool;
    // A configuration number, or the fallback when there is none.
    std::function<long(const std::string&, long fallback)> ConfigLong;
    std::function<std::string(const std::string&)> ConfigString;
};

class clsLumoDriver {
public:
    static constexpr int kCharSlots = 20;
    static constexpr int kChoiceSlots = 5;

    // Starts the engine (30 frames a second, immediate mode).
    // A UTF-8 game's engine takes text, marks and face names as UTF-8;
    // `language` (a BCP 47 tag, empty when the game declares none) chooses
    // the fonts and glyph forms its text is drawn with.
    explicit clsLumoDriver(LumoDriverHooks hooks, TextEncoding encoding = TextEncoding(),
                           const std::string& language = std::string());
    // Terminates the engine with its log lines.
    ~clsLumoDriver();
    clsLumoDriver(const clsLumoDriver&) = delete;
    clsLumoDriver& operator=(const clsLumoDriver&) = delete;

    bool Init();
    LumoDriverHooks& Hooks() { return mHooks; }
    // The program's text as the engine takes it: CP932 ("?" for what it
    // lacks), or UTF-8 as it is in a UTF-8 game.
    std::string EngineText(std::string_view text) const { return mEncoding.Encode(text); }
    TextEncoding Encoding() const { return mEncoding; }

    // [SECTION] Core
    // Installs the screen the root film presents into (null: none).
    void ScreenDC(ScreenSurface* surface);
    long ScreenDC() const { return 0; }
    void Refresh();
    // Recomposes the screen film now where anything under it changed.
    void RedrawScreen();
    void EXEQ();
    // Waits for the change to reach the screen while the scene is live; a
    // frozen scene is not redrawn, so there is nothing to wait for.
    void WaitShown();
    // Returns once the screen shows every change made so far, presented and
    // not only composed; at once while the scene is frozen.
    void WaitOnScreen();
    // The same whether or not the scene is frozen.
    void WaitPresented();
    int32_t FIDRoot() const { return mFIDRoot; }
    int32_t FIDBuff() const { return mFIDBuff; }
    int32_t FIDBack() const { return mFIDBack; }
    int32_t FIDWndBk() const { return mWnd.back; }
    int32_t FIDCur() const { return mWnd.cursor; }
    int32_t FIDChar(int index) const;  // std::out_of_range outside 0..19
    int32_t FIDText() const { return mWnd.text; }
    int32_t FIDShadow() const { return mWnd.shadow; }
    int32_t FIDFace() const { return mWnd.face; }
    int32_t FIDFrame() const { return mWnd.frame; }
    int32_t FIDState() const { return mWnd.state; }
    int32_t FIDNameplate() const { return mWnd.nameplate; }
    const std::vector<int32_t>& FIDButtons() const { return mWnd.buttons; }
    int32_t FIDChoiceFrame(int index) const { return mChoices.at(index).frame; }
    int32_t FIDChoiceText(int index) const { return mChoices.at(index).text; }
    long ChoiceRectIndex(int index) const { return mChoices.at(index).rect; }

    int32_t MakeFilm(int32_t kind, int32_t left, int32_t top, int32_t width, int32_t height);
    int32_t AddActByParam(std::initializer_list<int32_t> words);
    int32_t AddActByAry(std::span<const int32_t> ASIAry);
    // Waits for the action to stop; false when the wait was cancelled.
    bool WaitEnd(int32_t act);
    void WaitCancel() { mWaitCanceled = true; }
    bool WaitCancelEnabled() const { return mWaitCancelEnabled; }
    void WaitCancelEnabled(bool value) { mWaitCancelEnabled = value; }
    bool WaitCanceled() const { return mWaitCanceled; }

    // [SECTION] Pictures
    bool LoadBmp(int32_t FilmID, const std::string& sPic, const std::string& sAlpha, bool bFitSize);
    bool LoadPng(int32_t FilmID, const std::string& sPNGFile, bool bAlpha, bool bFitSize);
    bool LoadBuffMask(const std::string& sMask);
    bool LoadByFullPath(int32_t FilmID, const std::string& sPath);
    void LoadLogicalPic(int32_t FilmID, long lFlag, long lColor);
    // Places the film and gives it the record's picture and size: a record
    // without a picture makes a blank film of W x H; W and H left at 0
    // beside a picture are read back from it into the record. The film ends
    // opaque. False when the picture did not load.
    bool ApplyFilmSpec(int32_t FilmID, FilmSpecRecord& spec);

    // [SECTION] Base film sets and transitions
    long BaseFilmSet() const { return mBaseFilmSet; }
    void BaseFilmSet(long eNew);
    bool DrawActivity() const { return mDrawActivity; }
    bool DrawDeactivate(long eMethod, long time);
    bool DrawActivate(long eMethod, long time);

    // [SECTION] Text window
    bool TextStart(const std::string& sText, bool bWait);
    void TextPageTurn();
    const std::string& CurrentText() const { return mCurrentText; }
    void TextSpeedSetting(long lSpeed);
    long TextSpeed() const { return mTextDelay; }
    void TextFontSetting(const std::string& FontName, long Color);
    bool TextVisible() const { return mTextVisible; }
    void TextVisible(bool bVisible);
    void FilmAvoid(int32_t FilmID, bool bVisible);
    bool CursorVisible() const { return mCursorVisible; }
    void CursorVisible(bool bNew);
    void WindowModeFlip(long lFlipPos);
    void UpdateWindowMode();
    void WindowNameFlip(long n);
    long WindowNameFlip() const { return mNameFlip; }
    void ButtonFlip(long lBtnIndex);
    bool ChangeWindowType(long lTypeNumber);
    long WindowType() const { return mWindowType; }
    // The configuration's window opacities, applied in their own mode.
    void WndAlpha(long lAlpha);
    void NovelAlpha(long lAlpha);
    // The configuration's "TextShadow" switch: only the shadow's opacity.
    void TextShadow(bool bOn);

    // [SECTION] Choices
    bool AddChoiceItem(const std::string& sText, const std::string& OnClick);
    long ChoiceCount() const { return mChoiceCount; }
    void ChoiceArrange();
    bool ChoiceVisible() const { return mChoiceVisible; }
    void ChoiceVisible(bool bNew);
    void ChoiceClear();
    void ChoiceFlip(long index, long FlipLevel);

    // [SECTION] Scene: characters, CG, background
    long FindChar(const std::string& sCID, bool bInvisible) const;
    std::string GetCharLocation(const std::string& sCID) const;
    long GetCharXPos(const std::string& sCID) const;
    int32_t GetCharFilmID(const std::string& sCID) const;
    bool CGChange(const std::string& sFile, long xPos, long yPos, long width, long height,
                  long time);
    bool CGHide(const std::string& sCID, long time);
    bool CGHideAll(long time);
    bool CGFlip(const std::string& sCID, long cellX, long cellY);
    bool CGAlpha(const std::string& sCID, long lAlpha, long time, bool bSync);
    bool CGMove(const std::string& sCID, long xPos, long yPos, bool bAbsolute, long time,
                bool bSync);
    bool CGTempVisible(const std::string& sCID) const;
    void CGTempVisible(const std::string& sCID, bool bNew);
    bool CGActClear(const std::string& sCID);
    bool CGActAdd(const std::string& sCID, const std::vector<std::string>& words);
    bool CGActStart(const std::string& sCID);
    bool CGActEnd(const std::string& sCID);
    bool CGActComplete(const std::string& sCID);
    bool FaceChange(const std::string& sFaceFile);
    bool BGFill(long lColor, long time);
    bool BGCenter(const std::string& sNewFile, long xPos, long yPos, long time, bool bAbsolute);
    bool BGMove(long xPos, long yPos, long time, bool bAbsolute);
    const std::string& BGName() const { return mBGName; }
    long CharBlendColor() const { return mCharBlendColor; }
    void CharBlendColor(long value) { mCharBlendColor = value; }
    void LogChCondition();
    // The character ID of a picture name: "st_<cid>_..." gives <cid>, else "?".
    static std::string CIDOf(const std::string& sFile);

    // [SECTION] Save data
    void SaveStatus(INISection& status) const;
    void LoadStatus(const INISection& status);

private:
    struct CharSlot {
        int32_t film = -1;
        std::string file;
        std::string cid;
        long width = 0, height = 0;
        long x = 0, y = 0;
        long cellX = 0, cellY = 0;
        bool trimmed = false;
        bool visible = false;
        bool tempVisible = false;
        long alpha = 0;
        long blend = 0;
        int32_t action = -1;
        std::vector<int32_t> program;
    };
    struct WindowFilms {
        int32_t text = -1, shadow = -1, frame = -1, back = -1, state = -1, nameplate = -1,
                face = -1, cursor = -1;
        std::vector<int32_t> buttons;
    };
    struct ChoiceSlot {
        int32_t frame = -1, text = -1;
        std::string text_;
        long rect = -1;  // index in the view's collection
    };

    // [SECTION] Helpers
    void Log(const std::string& line) const;
    void Set1(int32_t film, int32_t property, int32_t value);
    void Set2(int32_t film, int32_t property, int32_t a, int32_t b);
    int32_t Get1(int32_t film, int32_t property) const;
    void Method(int32_t film, int32_t method, int32_t argument = 0);
    void Attach(int32_t film, int32_t parent);
    void Detach(int32_t film);
    void ActSet(int32_t act, int32_t property, int32_t value);
    void ActMethod(int32_t act, int32_t method, int32_t argument = 0);
    void InstallRedraw(int32_t film, int32_t set);  // 0 uninstalls
    void AutoRedraw(bool on);
    void OnEngineEvent();

    const INISection* ModeSection(const std::string& name) const;
    FilmSpecRecord ReadSpec(const INISection* section, const std::string& key) const;
    long ReadNumber(const INISection* section, const std::string& key) const;
    void BuildWindowMode(const INISection* section);
    void BuildNovelMode(const INISection* section);
    void BuildTextFilms();
    void BuildCursorAndText(const INISection* section);
    void BuildWindowBack(const INISection* section, int32_t above, const std::string& alphaKey);

    std::string FindLoose(const std::string& name, const std::vector<std::string>& exts) const;
    bool DrawPicture(int32_t film, const class Picture& picture, bool bFitSize);
    // After a picture failed to load: the film shows nothing rather than
    // what it showed before (it may be reused for another slot or face).
    void ClearPicture(int32_t film);
    bool FitOrReadSize(int32_t film, int32_t& width, int32_t& height, bool bFitSize);

    CharSlot* SlotOf(const std::string& sCID);
    const CharSlot* SlotOf(const std::string& sCID) const;
    void BringToFront(int i);
    void SendBack(int i);
    void HideSlot(int i);
    // CGHide of slot i: the hide, its transition and its log lines.
    void CGHideSlot(int i, long time);
    bool RunTempAction(int32_t film, std::initializer_list<int32_t> program);
    void RunSlotProgram(CharSlot& slot, std::initializer_list<int32_t> program);
    bool Basic() const { return mBaseFilmSet < 2; }

    LumoDriverHooks mHooks;
    bool mEngineStarted = false;
    TextEncoding mEncoding;
    std::unique_ptr<ScreenHostSurface> mScreen;

    int32_t mFIDRoot = -1, mFIDBuff = -1, mFIDBack = -1;
    int32_t mActFadeOut = -1, mActRule = -1, mActWhiteOut = -1, mActCrossFade = -1, mActCursor = -1,
            mActText = -1, mActShadow = -1;

    long mBaseFilmSet = 0;
    bool mDrawActivity = false;
    bool mWaitCancelEnabled = false;
    bool mWaitCanceled = false;

    // Engine notifications wake WaitEnd.
    std::mutex mEventMutex;
    std::condition_variable mEventCv;
    unsigned long mEventCount = 0;

    WindowFilms mWnd;
    std::array<CharSlot, kCharSlots> mChars;
    std::array<ChoiceSlot, kChoiceSlots> mChoices;
    long mChoiceCount = 0;
    bool mChoiceVisible = false;

    std::string mCurrentText;
    long mTextDelay = 40;
    bool mTextVisible = false;
    bool mCursorVisible = false;
    long mWindowType = 0;
    long mNameFlip = 0;

    std::string mBGName;
    long mBGFillColor = 0;
    long mBGX = 0, mBGY = 0;
    long mCharBlendColor = 0;
    std::string mFaceName;
};

}  // namespace zelk
