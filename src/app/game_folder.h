// How the player reads a game folder: the developer's debug file with its
// switches and folders, then whether the game is packed (archives) or loose
// (an author's files as they are). The launcher and the author's tool both
// ask here, so that the tool checks a game exactly as the player plays it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/process.h"

namespace zelk {

class INIFile;
class clsQuorDriver;

enum class GameSource {
    kPacked,  // archives in the archive folder
    kLoose,   // no archives, but SystemInfo.ini in the ini folder
    kNone,    // neither: no game at all
};

struct GameFolderSetup {
    bool debugFile = false;  // a debug file was read: debug mode
    GameSource source = GameSource::kNone;
    // The folder has no archives, so its loose files are played although
    // no debug file asked for them.
    bool looseForced = false;
};

// Fixes the process's folders and file switches for the game in `appDir`:
// every folder is `appDir` (the save folder is kept), then the debug file
// (read into `debugFile` when there is one) moves folders and sets switches,
// then a folder without archives plays its loose scenarios, pictures and
// sounds.
GameFolderSetup SetUpGameFolder(const std::string& appDir, INIFile& debugFile);

// The archives, else SystemInfo.ini, found in the folders set up above.
GameSource FindGameSource(const ProcessValues& process);

// Registers the archives, in order, with the driver and reads their file
// lists, as the player does. False, with a message naming the archive, when
// one cannot be read.
bool OpenArchives(clsQuorDriver& quor, const std::vector<std::string>& archives,
                  std::string& error);

// The game's "SystemInfo" as the player finds it once the folders are set
// up: loose in the ini folder, else inside the archives, which are opened
// for the call only; its Encoding is the game's. Nothing, with a message in
// `error`, when neither has it, or when it cannot be read as its game's
// (an unknown Encoding, a file saved in the other encoding: file:line).
std::unique_ptr<INIFile> ReadGameSystemInfo(std::string& error);

}  // namespace zelk
