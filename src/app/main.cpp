// The entry procedure: fixes the folders, refuses a second instance on the
// same game, starts the launcher and runs the event loop until it is done.
#include <SDL.h>
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/launch.h"
#include "common/process.h"
#include "platform/event_pump.h"
#include "platform/single_instance.h"

#ifndef ZELK_DEMO_GAME_DIR
#define ZELK_DEMO_GAME_DIR "games/demo"
#endif

namespace {

// The game folder: the first argument, else the bundled demo game.
std::string GameFolder(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : ZELK_DEMO_GAME_DIR;
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved)) folder = resolved;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    zelk::ProcessValues& process = zelk::Process();
    process.ResetFolders(GameFolder(argc, argv));
    mkdir(process.SaveDir.c_str(), 0755);  // an existing folder is fine

    zelk::SingleInstanceLock instance;
    if (!instance.Acquire(process.AppDir)) return 0;

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "zelk: cannot open the display: %s\n", SDL_GetError());
        return 1;
    }
    {
        auto launch = std::make_unique<zelk::clsLaunch>();
        // A quit request (a signal, the window manager) closes the game the
        // way the menu does; the game view takes over the events once shown.
        zelk::EventPump::Instance().SetEventHandler([&launch](const SDL_Event& event) {
            if (event.type == SDL_QUIT) launch->CloseVell();
        });
        if (launch->Init()) {
            process.ShutdownRequested = false;
            launch->OpenVell();
        } else {
            launch->Msg("シナリオランチャの初期化に失敗しました。");
            launch->ExitApp();
        }
        while (!launch->Finished())
            zelk::EventPump::Instance().WaitAndProcess();
    }
    SDL_Quit();
    return 0;
}
