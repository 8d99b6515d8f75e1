// The loose files a game names without their extension, and the extensions
// the drivers try, in their order. One list for the drivers and the
// author's tool, so that the tool finds exactly what the player would.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelk {

// Pictures of image/: the first of these that exists is loaded.
inline constexpr std::array<std::string_view, 3> kPictureExtensions = {".bmp", ".jpg", ".png"};

// Sounds of sound/ (music, effects, voices): the first of these that exists
// is played.
inline constexpr std::array<std::string_view, 5> kSoundExtensions = {".ogg", ".opus", ".flac",
                                                                     ".mp3", ".wav"};

// The file `name` + an extension inside `folder`, trying the extensions in
// order; the name may hold "\" or "/" and every part matches in any case
// (ResolvePath). Nothing when no such file exists.
std::optional<std::string> FindLooseFile(std::string_view folder, std::string_view name,
                                         std::span<const std::string_view> extensions);

}  // namespace zelk
