#include "drivers/media_files.h"

#include <sys/stat.h>

#include "common/paths.h"

namespace zelk {
namespace {

// Only a regular file: a device or a pipe in a game's folder would never end.
bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::vector<std::string> PictureFileKinds() {
    return {".bmp", ".jpg", ".png", ".webp"};
}

std::optional<std::string> FindLooseFile(std::string_view folder, std::string_view name,
                                         const std::vector<std::string>& endings) {
    // Checked once here: refused, the name is told once, not per ending.
    if (name.empty() || !AcceptName(name)) return std::nullopt;
    for (const std::string& ending : endings) {
        std::string wanted(name);
        wanted += ending;
        if (std::optional<std::string> path = ResolvePath(folder, wanted);
            path && IsRegularFile(*path))
            return path;
    }
    return std::nullopt;
}

}  // namespace zelk
