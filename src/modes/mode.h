// clsModeBase: one screen of the player (title, game, save/load, ending,
// extras). The root runs at most one; it hands the mode the view's screen
// commands and asks the game mode for its few optional members. The base
// class itself is the mode of any unknown identifier: it accepts
// everything and does nothing.
#pragma once

#include <any>
#include <string>

namespace zelk {

class PlayerRoot;
class clsEventRect;

// Mode identifiers (the root's VellMode).
enum : long {
    kModeNone = 0,
    kModeTitle = 1,
    kModeGame = 2,
    kModeSaveLoad = 3,
    kModeEnding = 4,
    kModeOmake = 5,
};

// What only the game mode offers; other modes have none of it.
class GameModeMembers {
public:
    virtual ~GameModeMembers() = default;
    virtual bool TextFilmsVisible() const = 0;
    virtual void TextFilmsVisible(bool value) = 0;
    virtual bool IsReplayMode() const = 0;
    virtual void LogModeStart() = 0;
    virtual void SetMoviePlayMode(long eMovieCancel) = 0;
    // The author's reload (F5 in debug mode): the scenario read afresh, the
    // page shown again from its start.
    virtual void ReloadPage() = 0;
    // How many pages the reader can go back now: 0 when going back is off
    // or not possible.
    virtual long PagesBack() const { return 0; }
    // A game loaded over the one read: its pages are out of reach.
    virtual void ForgetPages() {}
};

class clsModeBase {
public:
    clsModeBase(PlayerRoot& root, long id) : mRoot(root), mId(id) {}
    virtual ~clsModeBase() = default;
    clsModeBase(const clsModeBase&) = delete;
    clsModeBase& operator=(const clsModeBase&) = delete;

    virtual bool ModeStart(long /*eSub*/, const std::any& /*vParam*/) { return true; }
    virtual bool ModeEnd() { return true; }

    long SubStatus() const { return mSubStatus; }
    void SubStatus(long value) { mSubStatus = value; }
    long Id() const { return mId; }

    // The view's screen command. A command raised for another mode (before
    // a switch, delivered after it) is dropped here.
    void ScreenCmd(long eVellMode, long eEvent, clsEventRect* er);
    virtual void ScreenModeChanged() {}

    // Null unless this is the game mode.
    virtual GameModeMembers* GameMembers() { return nullptr; }
    // What a reader who cannot see the screen hears when the mode opens;
    // empty for none.
    virtual std::string ScreenName() const;
    // What the selected rectangle says aloud when the keys move to it:
    // its command's name, a slot's number; empty for a rectangle without.
    virtual std::string Caption(const clsEventRect& er) const;

protected:
    virtual void OnScreenCmd(long /*eEvent*/, clsEventRect* /*er*/) {}
    PlayerRoot& Root() const { return mRoot; }

private:
    PlayerRoot& mRoot;
    long mId;
    long mSubStatus = 0;
};

}  // namespace zelk
