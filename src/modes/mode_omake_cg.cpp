// The CG gallery's command lists: a panel plays its open commands one
// click at a time (a background, a scroll across a picture, a movie), then
// returns to its page.
#include <algorithm>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/text.h"
#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/wavo_driver.h"
#include "modes/mode_omake.h"
#include "platform/translate.h"
#include "settings/ini_file.h"
#include "view/player_root.h"

namespace zelk {

namespace {

constexpr long kCentre = -999999;

long NumberOr(const std::string& item, long fallback) {
    return item.empty() ? fallback : ReadLong(item);
}

}  // namespace

void clsModeOmake::ExecuteCG(clsEventRect* er) {
    if (!Started()) return;
    if (er) {
        mCGIndex = -1;
        mCGPanel = er->lTag;
    }
    if (mMovieRunning) EndMovie();
    if (mCGPanel < 0) return;
    const INISection* commands = Section("cgmode_cmd");
    // Commands not seen yet are passed over, so a list may open on its second.
    for (;;) {
        ++mCGIndex;
        const std::string key = CommandKey(mCurrentPage, mCGPanel, mCGIndex);
        if (!commands || !commands->KeyExists(key)) {
            mCGIndex = -1;
            ShowSubMode(kSubCG, mCurrentPage);
            Activate(1, mFadeTime);
            return;
        }
        if (CommandOpen(mCurrentPage, mCGPanel, mCGIndex)) {
            std::vector<std::string> items = SplitText(commands->KeyValue(key), ",");
            for (std::string& item : items)
                item = TrimChars(item, " \t");
            items.resize(std::max<std::size_t>(items.size(), 8));
            const NamePlace place("omake_mode.ini [cgmode_cmd] " + key);
            RunCGCommand(items);
            return;
        }
    }
}

void clsModeOmake::RunCGCommand(const std::vector<std::string>& items) {
    clsLumoDriver& lumo = *Lumo();
    const std::string command = ToLowerAscii(items[1]);
    if (command == "bg" || command == "scroll") {
        ResetScreen();
        lumo.BGCenter(items[2], NumberOr(items[3], kCentre), NumberOr(items[4], kCentre), 1000,
                      true);
        Activate(1, mFadeTime);
        if (command == "scroll")
            lumo.BGMove(NumberOr(items[5], kCentre), NumberOr(items[6], kCentre),
                        NumberOr(items[7], mFadeTime), true);
    } else if (command == "movie") {
        ResetScreen();
        lumo.BGFill(0, 0);
        Activate(0, 1000);
        if (clsWavoDriver* wavo = Wavo()) {
            mSavedBGMRate = wavo->BGMVolumeRate();
            wavo->BGMVolumeRate(0);
        }
        mMovieRunning = true;
        // The root puts the movie in the view's picture and finds it in the
        // movie folder.
        Root().PlayMovie(items[2]);
    } else {
        Root().Msg(Tr("CGMode Command error"));
    }
}

void clsModeOmake::EndMovie() {
    if (clsWavoDriver* wavo = Wavo()) {
        wavo->BGMVolumeRate(mSavedBGMRate);
        wavo->StopMovie();
    }
    mMovieRunning = false;
}

void clsModeOmake::LeaveCGList() {
    if (mMovieRunning) EndMovie();
    mCGIndex = -1;
    ShowSubMode(mSubMode, mCurrentPage);
    Activate(1, mFadeTime);
}

}  // namespace zelk
