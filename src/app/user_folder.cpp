#include "app/user_folder.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/translate.h"

namespace zelk {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string FolderName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? "game" : name;
}

// FNV-1a: the same digits on every build and machine, unlike std::hash.
std::string ShortHash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", hash);
    return digits;
}

// Characters no file system or file manager should meet in a name; the
// rest, Japanese included, stays as the author wrote it.
bool IsUnsafe(unsigned char c) {
    return c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
}

std::string SafeName(std::string_view title) {
    constexpr std::size_t kMaxBytes = 64;
    std::string name;
    for (const char c : title)
        name += IsUnsafe(static_cast<unsigned char>(c)) ? '_' : c;
    // Never a hidden name, never one ending in a blank or a dot.
    while (!name.empty() && (name.front() == '.' || name.front() == ' '))
        name.erase(0, 1);
    if (name.size() > kMaxBytes) {
        std::size_t cut = kMaxBytes;
        // Cut before a UTF-8 continuation byte's lead, not inside a character.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    return name;
}

std::string DataHome() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return data;
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.local/share";
    }
    return {};
}

}  // namespace

std::string GameKey(const std::string& title, const std::string& appDir) {
    const std::string name = SafeName(title);
    if (!name.empty()) return name + "-" + ShortHash(title);
    char resolved[PATH_MAX];
    const std::string path = ::realpath(appDir.c_str(), resolved) ? resolved : appDir;
    return "untitled-" + ShortHash(path);
}

UserFolder ChooseUserFolder(const std::string& appDir, const std::string& title) {
    if (const char* chosen = std::getenv("ZELK_SAVE_DIR"); chosen && *chosen) return {chosen, {}};
    const std::string beside = appDir + "/savedata";
    if (IsFolder(beside)) return {beside, {}};
    const std::string home = DataHome();
    if (home.empty()) return {beside, {}};

    const std::string base = home + "/zelk/";
    const std::string folder = base + GameKey(title, appDir);
    const std::string old = base + FolderName(appDir);
    if (old == folder || !IsFolder(old)) return {folder, {}};
    if (Exists(folder)) {
        return {folder, "zelk: " + TrFormat("saves of an older version stay in %s; this game "
                                            "keeps its saves in %s",
                                            {old, folder})};
    }
    // One rename inside one folder: the saves are either all at the old
    // place or all at the new one, whatever happens meanwhile.
    if (::rename(old.c_str(), folder.c_str()) != 0) {
        return {old, "zelk: " + TrFormat("cannot move the saves from %s to %s (%s); they stay "
                                         "where they are",
                                         {old, folder, std::strerror(errno)})};
    }
    return {folder, "zelk: " + TrFormat("moved this game's saves from %s to %s", {old, folder})};
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
