// The player both save-slot targets load their inputs into: the real one,
// opened once over the packed demo game of this build (ZELK_FUZZ_GAME names
// another game folder) with SDL's dummy video and audio drivers, in the game
// mode, as the title's load leaves it. The first input byte chooses the
// slot's form; the rest is:
//   0  a plain slot file (the debug switch INIEncript off)
//   1  a scrambled slot file as stored, its scrambling damaged too
//   2  a document, scrambled as the player writes it before it is read
#pragma once

#include <SDL.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "drivers/lumo_driver.h"
#include "lumo.h"
#include "modes/mode.h"
#include "modes/save_data.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "settings/ini_io.h"

#ifndef ZELK_FUZZ_GAME
#define ZELK_FUZZ_GAME "games/demo"
#endif

// fontconfig keeps a little of its configuration for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace zelk::fuzz {

inline constexpr const char* kSlot = "sd01-01";

struct Player {
    std::string saveDir;
    std::unique_ptr<clsLaunch> launch;
};

inline Player& ThePlayer() {
    static Player player;
    return player;
}

// The fuzzer ends the process with exit(): by then the main thread's own
// converters are gone, so the root cannot be taken down in order. Only the
// slot's folder goes, and the status stays the fuzzer's.
inline void Leave(int status, void* /*unused*/) {
    std::error_code ignored;
    std::filesystem::remove_all(ThePlayer().saveDir, ignored);
    std::fflush(nullptr);
    _exit(status);
}

inline void OpenPlayer() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Player& player = ThePlayer();
    const char* game = std::getenv("ZELK_FUZZ_GAME");
    std::string folder = std::string(game && *game ? game : ZELK_FUZZ_GAME);
    // Every input is written as a file: in memory when the machine has a
    // memory file system, since a disk's truncations would take most of the
    // time.
    const char* tmp = std::getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    if (access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    std::string saves = base + "/zelk-fuzz-save-XXXXXX";
    if (mkdtemp(saves.data()) == nullptr) {
        std::perror("zelk fuzz: no folder for the slot");
        std::exit(1);
    }
    player.saveDir = saves;

    ProcessValues& process = Process();
    process.ResetFolders(folder);
    process.SaveDir = saves;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "zelk fuzz: no SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    // Questions take their default answer at once and are not kept.
    QuestionBox::Instance().ScriptAnswers({});
    player.launch = std::make_unique<clsLaunch>();
    if (!player.launch->Init()) std::exit(1);
    process.ShutdownRequested = false;
    player.launch->OpenVell();
    clsVell* vell = Vell();
    if (vell == nullptr || vell->Lumo() == nullptr) {
        std::fprintf(stderr, "zelk fuzz: the game in %s does not open\n", folder.c_str());
        std::exit(1);
    }
    // A restore waits for the engine's frames several times; at the game's
    // own rate those waits, not the work, would set the pace of the fuzzing.
    const int32_t rate = 1000;
    SetLumoSetting(LS_FRAME_RATE, &rate);
    // No title: every input loads straight into the game mode, as the title's
    // load does.
    player.launch->SysTimerFunc(0);
    vell->ChangeMode(kModeGame, 7);
    EventPump::Instance().ProcessPendingEvents();
    on_exit(Leave, nullptr);
}

// Writes the input as the slot file in the form its first byte names; false
// for an empty input or a failed write.
inline bool WriteSlot(const uint8_t* data, size_t size) {
    if (size == 0) return false;
    const int form = data[0] % 3;
    Process().Debug.INIEncript = form != 0;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    // The player's scrambling without its synced, atomic write: the file
    // only has to be there once.
    if (form == 2) bytes = ScrambleText(bytes);
    const std::string path = Vell()->SD()->SlotINIPath(kSlot);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace zelk::fuzz
