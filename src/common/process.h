// The values that live for the whole process and that every part of the
// program may read: the folders fixed at start-up, the developer switches of
// the debug file, the screen geometry and the few flags that tell a resumed
// step what happened while it waited. They belong to the user-interface
// thread; the engines never see them.
#pragma once

#include <string>

namespace zelk {

struct DebugSwitches {
    bool ScenarioFileMode = false;
    bool CGFileMode = false;
    bool SoundFileMode = false;
    bool DrawActivity = false;
    bool NovelMode = false;
    bool AllCG = false;
    bool SubClassMode = true;
    bool INIEncript = true;
    bool TitleSkip = false;
    std::string EntryPoint;
};

struct ProcessValues {
    // Folders, without a trailing separator. Names inside game data use "\";
    // paths.h resolves them against these folders.
    std::string AppDir;
    std::string SaveDir;
    std::string WorkspaceDir;
    std::string ArchiveDir;
    std::string ResourceDir;
    std::string IniDir;
    std::string MovieDir;

    DebugSwitches Debug;
    bool IsDebugMode = false;

    // True from a close request until the process ends.
    bool ShutdownRequested = false;
    // Set when a load replaced the game state under a waiting step.
    bool StatusRestored = false;

    int ScreenSizeX = 640;
    int ScreenSizeY = 480;
    int ScriptScaleX = 640;
    int ScriptScaleY = 480;
    bool FullScreenAvailable = false;
    // The reader's --window (1) or --fullscreen (0) for this start; -1 leaves
    // the choice to the settings.
    long StartScreenMode = -1;

    // Every folder equals the application folder; the debug switches take
    // their defaults.
    void ResetFolders(const std::string& appDir);
};

// The one instance.
ProcessValues& Process();

}  // namespace zelk
