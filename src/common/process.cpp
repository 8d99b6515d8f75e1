#include "common/process.h"

namespace zelk {

void ProcessValues::ResetFolders(const std::string& appDir) {
    AppDir = appDir;
    SaveDir = appDir + "/savedata";
    WorkspaceDir = appDir;
    ArchiveDir = appDir;
    ResourceDir = appDir;
    IniDir = appDir;
    MovieDir = appDir;
    Debug = DebugSwitches{};
}

ProcessValues& Process() {
    static ProcessValues values;
    return values;
}

}  // namespace zelk
