// Where the reader's own files of a game (saves, "config.ini", "sd00.ini")
// live: $ZELK_SAVE_DIR when set; else a "savedata" folder already beside the
// game (a portable copy keeps its saves with it); else
// $XDG_DATA_HOME/zelk/<game key> (~/.local/share by default), so that a game
// installed read-only can be played.
//
// The key names the game, not the folder it happens to lie in: two games in
// folders of the same name must never read each other's saves, and a game
// moved elsewhere must find its own.
#pragma once

#include <string>

namespace zelk {

// The game's [Game] Title made safe for a file name, a "-" and eight hex
// digits of a hash of the title, which keeps apart titles that differ only
// in what the safe name replaced. A version change keeps the key: readers
// keep their saves over an update. An untitled game is keyed by its folder's
// path instead, so untitled games never meet.
std::string GameKey(const std::string& title, const std::string& appDir);

struct UserFolder {
    std::string path;
    // One line for the terminal when older saves were moved or left alone;
    // empty otherwise.
    std::string note;
};

// The folder for the game in `appDir` titled `title`. Saves an older build
// kept under the game folder's name are moved to the game's key once; when
// both folders exist neither is touched, and when the move fails the old
// folder stays in use: saves are never lost.
UserFolder ChooseUserFolder(const std::string& appDir, const std::string& title);

// Makes the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace zelk
