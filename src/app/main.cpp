// The entry procedure: fixes the folders, refuses a second instance on the
// same game, starts the launcher and runs the event loop until it is done.
#include <SDL.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "app/command_line.h"
#include "app/game_folder.h"
#include "app/input_script.h"
#include "app/launch.h"
#include "app/user_folder.h"
#include "app/vell.h"
#include "common/file_io.h"
#include "common/process.h"
#include "platform/event_pump.h"
#include "platform/single_instance.h"
#include "platform/translate.h"
#include "platform/window_picture.h"
#include "settings/game_language.h"
#include "settings/ini_file.h"
#include "view/game_view.h"
#include "zelk_version.h"

#ifndef ZELK_INSTALLED_DEMO
#define ZELK_INSTALLED_DEMO "../share/zelk/games/demo"
#endif
#ifndef ZELK_DEMO_GAME_DIR
#define ZELK_DEMO_GAME_DIR "games/demo"
#endif

namespace {

std::string Resolved(std::string folder) {
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved)) folder = resolved;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// The game folder: the one named, else the packed demo game found from the
// program's own place, else the one of the build.
std::string GameFolder(const std::string& named) {
    if (!named.empty()) return Resolved(zelk::GameFolderOf(named));
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        const std::string exe(self, static_cast<size_t>(length));
        const std::string folder = exe.substr(0, exe.find_last_of('/'));
        // The build's packed game beside bin/, or the installed one under share/.
        for (const char* relative : {"/../games/demo", "/" ZELK_INSTALLED_DEMO}) {
            const std::string beside = folder + relative;
            if (access((beside + "/scenario.quor").c_str(), R_OK) == 0) return Resolved(beside);
        }
    }
    return Resolved(ZELK_DEMO_GAME_DIR);
}

// Once the launcher has fixed the folders: says on the terminal when the
// folder is no game (the launcher then says so in the program's own words
// and stops), and chooses the folder for the reader's files, which is known
// only once the game's SystemInfo names the game. Two copies of one game
// share that folder: false when another player has it, which then goes on
// alone. `encoding` and `language` are the game's.
bool PrepareGameFolders(zelk::SingleInstanceLock& instance, zelk::TextEncoding& encoding,
                        std::string& language) {
    zelk::ProcessValues& process = zelk::Process();
    if (zelk::FindGameSource(process) == zelk::GameSource::kNone) {
        std::fprintf(stderr, "zelk: %s\n",
                     zelk::TrFormat("%s is not a game folder: it has no archives (*.quor) and no "
                                    "SystemInfo.ini",
                                    {process.AppDir})
                         .c_str());
        return true;
    }
    std::string error;
    const std::unique_ptr<zelk::INIFile> info = zelk::ReadGameSystemInfo(error);
    // The root says so when it opens; no folder is named after a title that
    // could not be read as its game's.
    if (!info) return true;
    encoding = info->Encoding();
    const zelk::GameLanguage declared = zelk::ReadGameLanguage(*info);
    if (!declared.problem.empty()) {
        std::fprintf(stderr, "zelk: %s\n",
                     zelk::TrFormat("SystemInfo.ini: [Game] Language=%s is not a language tag and "
                                    "is ignored: write one such as ja, en, fr, zh-Hans or pt-BR "
                                    "(letters, digits and hyphens, first a 2- or 3-letter "
                                    "language)",
                                    {declared.rejected})
                         .c_str());
    }
    language = declared.tag;
    const zelk::UserFolder folder =
        zelk::ChooseUserFolder(process.AppDir, info->KeySection("Game").KeyValue("Title"));
    if (!folder.note.empty()) std::fprintf(stderr, "%s\n", folder.note.c_str());
    process.SaveDir = folder.path;
    if (!zelk::MakeFolders(process.SaveDir)) {
        std::fprintf(
            stderr, "zelk: %s\n",
            zelk::TrFormat("cannot make the folder for saves: %s", {process.SaveDir}).c_str());
    }
    if (!instance.Acquire(process.SaveDir)) {
        std::fprintf(
            stderr, "zelk: %s\n",
            zelk::TrFormat("another copy of this game is open and uses the same saves in %s",
                           {process.SaveDir})
                .c_str());
        return false;
    }
    // No other player writes here now: what a killed write left is rubbish.
    zelk::RemoveWriteLeftovers(process.SaveDir);
    return true;
}

zelk::clsGameView* GameView() {
    zelk::clsVell* vell = zelk::Vell();
    return vell ? vell->GameView() : nullptr;
}

}  // namespace

// fontconfig keeps a little of its configuration, and Xlib its locale and
// input-method data, for the life of the process; the leak checker of
// sanitized builds is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libX11.so\n";
}

namespace {

int RunPlayer(int argc, char** argv) {
    // The desktop's language until the game's settings are read.
    zelk::UseLanguageSetting();
    const zelk::CommandLine line = zelk::ParseCommandLine({argv + 1, argv + argc});
    if (!line.error.empty()) {
        std::fprintf(stderr, "zelk: %s\n%s", line.error.c_str(), zelk::UsageText().c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(zelk::UsageText().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("zelk %s\n", zelk::kVersion);
        return 0;
    }
    zelk::ProcessValues& process = zelk::Process();
    process.ResetFolders(GameFolder(line.gameFolder));
    process.StartScreenMode = line.screenMode;

    // The first player goes on undisturbed; the second one ends at once, and
    // says why, so that a start that seems to do nothing is not a mystery.
    zelk::SingleInstanceLock instance;
    if (!instance.Acquire(process.AppDir)) {
        std::fprintf(stderr, "zelk: %s\n",
                     zelk::TrFormat("%s is already open", {process.AppDir}).c_str());
        return 0;
    }

    // The window's close box is a question to the game, not the end of SDL.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "zelk: %s\n",
                     zelk::TrFormat("cannot open the display: %s", {SDL_GetError()}).c_str());
        return 1;
    }
    // Gamepads are welcome, never required.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    bool started = true;
    {
        zelk::EventPump& pump = zelk::EventPump::Instance();
        std::unique_ptr<zelk::InputScript> script;
        if (const char* input = std::getenv("ZELK_INPUT"); input && *input) {
            script = std::make_unique<zelk::InputScript>(input);
            pump.SetInputHandler([&script] { script->Poll(); });
        }
        auto launch = std::make_unique<zelk::clsLaunch>();
        // Every event goes to the game view once it exists; before that a
        // quit request (a signal) closes the launcher.
        pump.SetEventHandler([&launch](const SDL_Event& event) {
            if (zelk::clsGameView* view = GameView()) {
                view->HandleEvent(event);
            } else if (event.type == SDL_QUIT) {
                launch->CloseVell();
            }
        });
        pump.SetIdleHandler([] {
            if (zelk::clsGameView* view = GameView()) view->Paint();
        });
        const bool initialized = launch->Init();
        zelk::TextEncoding encoding;
        std::string language;
        if (initialized && PrepareGameFolders(instance, encoding, language)) {
            process.ShutdownRequested = false;
            launch->OpenVell(encoding, language);
        } else if (initialized) {
            launch->Msg(zelk::Tr("このゲームは別のフォルダからすでに起動しています。"));
            launch->ExitApp();
        } else {
            launch->Msg(zelk::Tr("シナリオランチャの初期化に失敗しました。"));
            launch->ExitApp();
            started = false;
        }
        while (!launch->Finished())
            pump.WaitAndProcess();
        // A game that could not start is no success to a calling script.
        if (launch->StartFailed()) started = false;
        pump.SetInputHandler({});
        pump.SetIdleHandler({});
        pump.SetEventHandler({});
    }
    SDL_Quit();
    return started ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever a game's data did that no part foresaw ends the player with a
    // word on the terminal, never an abort without one.
    try {
        return RunPlayer(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "zelk: %s\n", zelk::Tr("out of memory"));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zelk: %s\n", error.what());
    }
    return 1;
}
