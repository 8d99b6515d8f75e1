// Loose files that a game names without their extension: the pictures of
// image/ and the sounds of sound/. The author's tool looks them up here with
// the lists the drivers use, so that it finds exactly what the player would.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// The endings a picture name is looked for with in the loose image/ folder,
// in the order the graphics driver tries them. (Sounds: the sound driver's
// clsWavoDriver::SoundFileKinds.)
std::vector<std::string> PictureFileKinds();

// The file `name` + an ending inside `folder`, trying the endings in order;
// the name may hold "\" or "/" and every part matches in any case
// (ResolvePath). Nothing when no such file exists.
std::optional<std::string> FindLooseFile(std::string_view folder, std::string_view name,
                                         const std::vector<std::string>& endings);

}  // namespace zelk
