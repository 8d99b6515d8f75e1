// PlayerRoot: the player root as the game view and the modes see it. The
// root lives above both; it implements this interface so that the view's
// menus and input, and the modes' screens, reach their siblings without
// naming the root's own class.
#pragma once

#include <any>
#include <cstdio>
#include <string>

namespace zelk {

class Configuration;
class INIFile;
class clsEventRect;
class clsGameView;
class clsInterpreter;
class clsLumoDriver;
class clsSaveData;
class clsWavoDriver;
class ReaderAids;
class SharedData;

class PlayerRoot {
public:
    virtual ~PlayerRoot() = default;

    // [SECTION] Owned objects (null while absent)
    virtual Configuration* Cfg() const = 0;
    virtual clsGameView* GameView() const = 0;
    virtual clsInterpreter* Intprt() const = 0;
    virtual clsLumoDriver* Lumo() const = 0;
    virtual clsWavoDriver* Wavo() const = 0;
    virtual clsSaveData* SD() const = 0;
    virtual zelk::SharedData* SharedData() const = 0;
    virtual INIFile* SystemInfo() const = 0;
    virtual INIFile* GamemodeInfo() const = 0;
    virtual INIFile* OmakemodeInfo() const = 0;

    // [SECTION] Modes
    virtual long VellMode() const = 0;
    virtual void ChangeMode(long eMode, long eSub, std::any vParam = {}) = 0;
    // Hands a screen command of the view to the current mode.
    virtual void ModeScreenCmd(long eVellMode, long eEvent, clsEventRect* er) = 0;
    virtual void ModeScreenModeChanged() = 0;
    // The game mode's log mode ("message!log"); nothing in other modes.
    virtual void ModeLogStart() = 0;

    // F5, the author's key: in debug mode the root reads the current
    // scenario afresh and shows the page again; otherwise nothing.
    virtual void ReloadScenario() {}

    // The interpreter's wait mode (0 without an interpreter).
    virtual long IntprtWaitMode() const;

    // [SECTION] Skip, auto click, save data, movies
    virtual bool IsSkipMode() const = 0;
    virtual void IsSkipMode(bool value) = 0;
    virtual void MakeAutoClickTimer(long lTime, long eEvent, long erIndex = -1) = 0;
    virtual long CurrentAutoClickTimer() const = 0;
    virtual void SDMakeData() = 0;
    // The status sections alone, without the slot's thumbnail: what going
    // back a page keeps in memory.
    virtual void SDMakeStatus() { SDMakeData(); }
    virtual void SDRestoreData(bool bSndRestore) = 0;
    virtual void QuickSave(bool bMsg) = 0;
    virtual void QuickLoad(bool bMsg) = 0;
    virtual bool PlayMovie(const std::string& file, long eMovieCancel = 0) = 0;
    virtual long ThumbWidth() const = 0;
    virtual long ThumbHeight() const = 0;

    // [SECTION] What the reader may have read out or copied
    virtual ReaderAids* Aids() const { return nullptr; }
    // The keys or the gamepad moved the selection to the rectangle of this
    // index: its caption is said.
    virtual void SelectionMovedByKeys(long /*erIndex*/) {}

    // [SECTION] The launcher's
    virtual long Msg(const std::string& prompt, long buttons = 0) = 0;
    // A failure that stops what the reader asked for: the terminal hears it
    // in plain English, the reader gets the program's own message.
    void Fault(const std::string& english, const std::string& prompt) {
        std::fprintf(stderr, "zelk: %s\n", english.c_str());
        Msg(prompt);
    }
    virtual void Log(const std::string& line) = 0;
    virtual void RestartTitle() = 0;
    virtual void CloseVell() = 0;
};

}  // namespace zelk
