#include "app/user_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace zelk {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FolderName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? "game" : name;
}

}  // namespace

std::string UserSaveFolder(const std::string& appDir) {
    if (const char* chosen = std::getenv("ZELK_SAVE_DIR"); chosen && *chosen) return chosen;
    const std::string beside = appDir + "/savedata";
    if (IsFolder(beside)) return beside;
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        return beside;
    }
    return base + "/zelk/" + FolderName(appDir);
}

bool MakeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return IsFolder(path);
}

}  // namespace zelk
