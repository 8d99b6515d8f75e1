#include "drivers/media_files.h"

#include "common/paths.h"

namespace zelk {

std::vector<std::string> PictureFileKinds() {
    return {".bmp", ".jpg", ".png", ".webp"};
}

std::optional<std::string> FindLooseFile(std::string_view folder, std::string_view name,
                                         const std::vector<std::string>& endings) {
    if (name.empty()) return std::nullopt;
    for (const std::string& ending : endings) {
        std::string wanted(name);
        wanted += ending;
        if (std::optional<std::string> path = ResolvePath(folder, wanted);
            path && FileExists(*path))
            return path;
    }
    return std::nullopt;
}

}  // namespace zelk
