#include "drivers/media_files.h"

#include "common/paths.h"

namespace zelk {

std::optional<std::string> FindLooseFile(std::string_view folder, std::string_view name,
                                         std::span<const std::string_view> extensions) {
    if (name.empty()) return std::nullopt;
    for (const std::string_view extension : extensions) {
        std::string wanted(name);
        wanted += extension;
        if (std::optional<std::string> path = ResolvePath(folder, wanted);
            path && FileExists(*path))
            return path;
    }
    return std::nullopt;
}

}  // namespace zelk
