// The parts of the player that scenario commands drive, one small interface
// each: the graphics driver's scene and its text window, the sound driver,
// the game view's rectangles, and the story around the interpreter (root,
// mode, configuration, save and shared data). Each member is named and
// typed as the member of the part it forwards to, so the program's host is
// a list of one-line forwards and a test fakes only the part it looks at.
#pragma once

#include <string>
#include <vector>

namespace zelk {

// [SECTION] Graphics driver: scene layers and transitions
class GraphicsHost {
public:
    virtual ~GraphicsHost() = default;
    virtual bool DrawDeactivate(long eMethod, long time) = 0;
    virtual bool DrawActivate(long eMethod, long time) = 0;
    virtual bool LoadBuffMask(const std::string& sMask) = 0;

    virtual bool BGCenter(const std::string& sNewFile, long xPos, long yPos, long time,
                          bool bAbsolute) = 0;
    virtual bool BGFill(long lColor, long time) = 0;
    virtual bool BGMove(long xPos, long yPos, long time, bool bAbsolute) = 0;
    virtual std::string BGName() = 0;
    virtual bool FaceChange(const std::string& sFaceFile) = 0;
    virtual long CharBlendColor() = 0;
    virtual void CharBlendColor(long color) = 0;

    virtual bool CGChange(const std::string& sFile, long xPos, long yPos, long width, long height,
                          long time) = 0;
    virtual bool CGHide(const std::string& sCID, long time) = 0;
    virtual bool CGHideAll(long time) = 0;
    virtual bool CGMove(const std::string& sCID, long xPos, long yPos, bool bAbsolute, long time,
                        bool bSync) = 0;
    // lAlpha runs 0 to 256 (opaque).
    virtual bool CGAlpha(const std::string& sCID, long lAlpha, long time, bool bSync) = 0;
    virtual bool CGFlip(const std::string& sCID, long cellX, long cellY) = 0;
    virtual bool CGActClear(const std::string& sCID) = 0;
    virtual bool CGActAdd(const std::string& sCID, const std::vector<long>& words) = 0;
    virtual bool CGActStart(const std::string& sCID) = 0;
    virtual bool CGActEnd(const std::string& sCID) = 0;
    virtual bool CGActComplete(const std::string& sCID) = 0;
    // 320 for a character not on screen.
    virtual long GetCharXPos(const std::string& sCID) = 0;
    // -1 for a character not on screen.
    virtual long GetCharFilmID(const std::string& sCID) = 0;
};

// [SECTION] Graphics driver: text window and choices
class TextWindowHost {
public:
    virtual ~TextWindowHost() = default;
    // 2 window, 3 novel.
    virtual long BaseFilmSet() = 0;
    virtual void BaseFilmSet(long eNew) = 0;
    // With bWait, returns when the page is typed or the typing was cut short.
    virtual bool TextStart(const std::string& sText, bool bWait) = 0;
    virtual void TextPageTurn() = 0;
    virtual std::string CurrentText() = 0;
    virtual void TextSpeedSetting(long lSpeed) = 0;
    virtual void WindowNameFlip(long n) = 0;
    virtual bool ChangeWindowType(long lTypeNumber) = 0;
    virtual void WaitCancelEnabled(bool enabled) = 0;
    virtual bool AddChoiceItem(const std::string& sText, const std::string& OnClick) = 0;
    virtual long ChoiceCount() = 0;
    virtual void ChoiceArrange() = 0;
    virtual void ChoiceVisible(bool bNew) = 0;
    // Whether the film engine reads the text as UTF-8, where story letters
    // must be escaped from its marks.
    virtual bool EngineReadsUtf8() { return false; }
};

// [SECTION] Sound driver
class SoundHost {
public:
    virtual ~SoundHost() = default;
    virtual bool PlayBGM(const std::string& file, bool sync, bool loop) = 0;
    virtual bool StopBGM(bool sync) = 0;
    virtual bool PlaySE(const std::string& file, bool sync) = 0;
    virtual bool StopSE() = 0;
    // count 0 plays until StopSELoop.
    virtual bool PlaySELoop(const std::string& file, long count, bool sync) = 0;
    virtual bool StopSELoop() = 0;
    virtual bool PlayCV(const std::string& file, bool sync, long pan) = 0;
    virtual bool StopCV() = 0;
    virtual bool IsPlayingCV() = 0;
    virtual void BGMVolumeRate(long rate) = 0;
    // Length in milliseconds of the sound object last started.
    virtual long SOLength() = 0;
    virtual void SOLength(long milliseconds) = 0;
};

// An event rectangle as a command adds it to the game view's collection.
struct EventRectSpec {
    long lTag = 0;
    std::string STag;
    // Sense bits: 1 left click, 4 pointer.
    long RectType = 0;
    long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // When not -1, the rectangle is fitted to this film instead.
    long FilmID = -1;
    std::string TargetCID;
    std::string ClickScript;
    std::string PointScript;
};

// [SECTION] Game view
class ViewHost {
public:
    virtual ~ViewHost() = default;
    virtual void SiteName(const std::string& name) = 0;
    virtual void SelectionClear() = 0;
    // Adds to EvRects; returns the new rectangle's Index.
    virtual long AddEventRect(const EventRectSpec& rect) = 0;
    virtual void RemoveByTag(const std::string& STag) = 0;
    virtual void EnabledByTag(const std::string& STag, bool bNew) = 0;
};

// [SECTION] Root, mode, configuration, save and shared data
class StoryHost {
public:
    virtual ~StoryHost() = default;
    virtual void ChangeMode(long eMode, long eSub, const std::string& vParam) = 0;
    virtual bool PlayMovie(const std::string& file, long eMovieCancel) = 0;
    // The launcher's.
    virtual void RestartTitle() = 0;
    // The current mode's; true when it has no text window of its own.
    virtual bool TextFilmsVisible() = 0;
    // Blocks for the time while window events keep being processed.
    virtual void WaitTimed(long milliseconds) = 0;

    virtual long LongVal(const std::string& key) = 0;
    virtual long GetIndexByCID(const std::string& cid) = 0;
    virtual long CharColor(long index) = 0;
    virtual bool CharVoiceEnabled(long index) = 0;
    virtual bool CharIsMale(const std::string& cid) = 0;

    virtual bool AddHistory(const std::string& scenario, long number) = 0;
    virtual void AddCGHistory(const std::string& cGName) = 0;

    // What the reader now has before them, as plain text for the reader's
    // tools (clipboard, speech): a page once it is shown, to be spoken
    // after its voice of `voiceMs` milliseconds, or the items of a choice
    // that opens, one a line.
    virtual void PageShown(const std::string& /*text*/, long /*voiceMs*/) {}
    virtual void ChoicesShown(const std::string& /*items*/) {}
};

}  // namespace zelk
