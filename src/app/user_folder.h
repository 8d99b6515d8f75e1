// Where the reader's own files of a game (saves, "config.ini", "sd00.ini")
// live: $ZELK_SAVE_DIR when set; else a "savedata" folder already beside the
// game (a portable copy keeps its saves with it); else
// $XDG_DATA_HOME/zelk/<game folder's name> (~/.local/share by default), so
// that a game installed read-only can be played.
#pragma once

#include <string>

namespace zelk {

std::string UserSaveFolder(const std::string& appDir);

// Makes the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace zelk
