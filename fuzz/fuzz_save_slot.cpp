// A save slot of any content loaded into the running demo game: the slot file
// is read as the player reads it, and the document restored through every
// component (game view, graphics driver, interpreter, sound driver) as
// loading a slot from the save screen does, then shown; a slot the player
// refuses (incomplete, another game's, a place outside its scripts) leaves
// the running game as it was. The first input byte
// chooses the slot's form; the rest is:
//   0  a plain slot file (the debug switch INIEncript off)
//   1  a scrambled slot file as stored, its scrambling damaged too
//   2  a document, scrambled as the player writes it before it is read
// The player is the real one, opened once over the packed demo game of this
// build (ZELK_FUZZ_GAME names another game folder) with SDL's dummy video
// and audio drivers; every load replaces the whole scene, so one input does
// not need the ones before it. With ZELK_FUZZ_STATE set, each load writes
// the scripted input's state line to standard error.

#include <SDL.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/input_script.h"
#include "app/launch.h"
#include "app/vell.h"
#include "common/process.h"
#include "drivers/lumo_driver.h"
#include "modes/mode.h"
#include "modes/mode_saveload_preview.h"
#include "modes/save_data.h"
#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

#ifndef ZELK_FUZZ_GAME
#define ZELK_FUZZ_GAME "games/demo"
#endif

// fontconfig keeps a little of its configuration for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

constexpr const char* kSlot = "sd01-01";

struct Player {
    std::string saveDir;
    std::unique_ptr<zelk::clsLaunch> launch;
};

Player& ThePlayer() {
    static Player player;
    return player;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The fuzzer ends the process with exit(): by then the main thread's own
// converters are gone, so the root cannot be taken down in order. Only the
// slot's folder goes, and the status stays the fuzzer's.
void Leave(int status, void* /*unused*/) {
    std::error_code ignored;
    std::filesystem::remove_all(ThePlayer().saveDir, ignored);
    std::fflush(nullptr);
    _exit(status);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Player& player = ThePlayer();
    const char* game = std::getenv("ZELK_FUZZ_GAME");
    std::string folder = std::string(game && *game ? game : ZELK_FUZZ_GAME);
    const char* tmp = std::getenv("TMPDIR");
    std::string saves = std::string(tmp && *tmp ? tmp : "/tmp") + "/zelk-fuzz-save-XXXXXX";
    if (mkdtemp(saves.data()) == nullptr) {
        std::perror("zelk fuzz: no folder for the slot");
        std::exit(1);
    }
    player.saveDir = saves;

    zelk::ProcessValues& process = zelk::Process();
    process.ResetFolders(folder);
    process.SaveDir = saves;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "zelk fuzz: no SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    // Questions take their default answer at once and are not kept.
    zelk::QuestionBox::Instance().ScriptAnswers({});
    player.launch = std::make_unique<zelk::clsLaunch>();
    if (!player.launch->Init()) std::exit(1);
    process.ShutdownRequested = false;
    player.launch->OpenVell();
    zelk::clsVell* vell = zelk::Vell();
    if (vell == nullptr || vell->Lumo() == nullptr) {
        std::fprintf(stderr, "zelk fuzz: the game in %s does not open\n", folder.c_str());
        std::exit(1);
    }
    // No title: every input loads straight into the game mode, as the title's
    // load does.
    player.launch->SysTimerFunc(0);
    vell->ChangeMode(zelk::kModeGame, 7);
    zelk::EventPump::Instance().ProcessPendingEvents();
    on_exit(Leave, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    zelk::clsVell* vell = zelk::Vell();
    zelk::clsSaveData& sd = *vell->SD();
    const int form = data[0] % 3;
    zelk::Process().Debug.INIEncript = form != 0;
    const std::string path = sd.SlotINIPath(kSlot);
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    // The player's scrambling without its synced, atomic write: the file
    // only has to be there once.
    if (form == 2) bytes = zelk::ScrambleText(bytes);
    if (!WriteBytes(path, bytes)) return 0;

    // What the save screen shows of the slot, then the load itself.
    zelk::INIFile shown;
    if (sd.ReadSlotDocument(kSlot, shown)) zelk::SlotSummaryText(shown);
    if (sd.Load(kSlot)) {
        if (vell->VellMode() != zelk::kModeGame) vell->ChangeMode(zelk::kModeGame, 7);
        vell->SDRestoreData(true);
        vell->Lumo()->DrawActivate(1, 0);
        std::string scenario;
        long number = 0;
        for (long k = 0; k < sd.HistoryCount(); ++k)
            sd.GetHistory(k, scenario, number);
        if (std::getenv("ZELK_FUZZ_STATE"))
            std::fprintf(stderr, "%s\n", zelk::InputScript::StateLine().c_str());
    }
    zelk::EventPump::Instance().ProcessPendingEvents();
    zelk::QuestionBox::Instance().ClearAsked();
    return 0;
}
