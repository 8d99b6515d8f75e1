#include "game_media.h"

#include <filesystem>

#include "app/game_folder.h"
#include "common/paths.h"
#include "common/process.h"
#include "common/text.h"
#include "drivers/media_files.h"
#include "drivers/wavo_driver.h"
#include "platform/picture.h"

namespace zelk::tool {

namespace {

std::string Folders(bool loose, bool archives, const std::string& folder) {
    if (loose && archives) return folder + " or the archives";
    return loose ? folder : "the archives";
}

}  // namespace

bool GameMedia::Open(std::string& error) {
    mPictureKinds = PictureFileKinds();
    mSoundKinds = clsWavoDriver::SoundFileKinds();
    mArchives = FindArchives(Process().ArchiveDir);
    if (mArchives.empty()) return true;
    mQuor = std::make_unique<clsQuorDriver>();
    if (!OpenArchives(*mQuor, mArchives, error)) return false;
    for (std::size_t k = 0; k < mArchives.size(); ++k) {
        std::string list;
        mQuor->LoadTextFile(static_cast<std::int32_t>(k) * kIdsPerArchive, list);
        mLists.push_back(FileListKeys(list));
        for (const std::string& key : mLists.back())
            mKeys.insert(ToLowerAscii(key));
    }
    mQuor->ServeSystemIni();
    return true;
}

std::vector<std::string> GameMedia::DamagedEntries(const std::string& shownFolder) const {
    std::vector<std::string> damaged;
    std::vector<std::uint8_t> bytes;
    for (std::size_t k = 0; k < mLists.size(); ++k) {
        const auto base = static_cast<std::int32_t>(k) * kIdsPerArchive;
        const std::string archive =
            (std::filesystem::path(shownFolder) / std::filesystem::path(mArchives[k]).filename())
                .string();
        // Line 0 is the list itself, read when the archive was opened.
        for (std::size_t line = 1; line < mLists[k].size(); ++line) {
            const std::int32_t id = base + static_cast<std::int32_t>(line);
            const std::string entry =
                archive + ": error: entry " + std::to_string(line) + " \"" + mLists[k][line] + "\"";
            const std::int32_t size = mQuor->GetSize(id);
            bytes.resize(static_cast<std::size_t>(size));
            if ((size == 0 && !mQuor->GetMemory(id, nullptr, 0)) ||
                (size > 0 && !mQuor->GetMemory(id, bytes.data(), size))) {
                damaged.push_back(entry + " is missing or damaged");
                continue;
            }
            if (!HasPictureSignature(bytes)) continue;
            std::int32_t width = 0, height = 0;
            if (!mQuor->GetGraphicSize(id, width, height) || width <= 0 || height <= 0 ||
                width > kMaxPictureSide || height > kMaxPictureSide) {
                damaged.push_back(entry + " is a picture the player cannot read");
            }
        }
    }
    return damaged;
}

bool GameMedia::HasArchiveKey(const std::string& key) const {
    return mKeys.contains(ToLowerAscii(key));
}

bool GameMedia::HasLoose(const std::string& folder, const std::string& name,
                         const std::vector<std::string>& endings) const {
    const std::string key = folder + '\n' + ToLowerAscii(name);
    const auto known = mLoose.find(key);
    if (known != mLoose.end()) return known->second;
    const bool found =
        FindLooseFile(JoinPath(Process().WorkspaceDir, folder), name, endings).has_value();
    mLoose.emplace(key, found);
    return found;
}

bool GameMedia::HasPicture(const std::string& name) const {
    if (Process().Debug.CGFileMode && HasLoose("image", name, mPictureKinds)) return true;
    return HasArchiveKey(name);
}

std::optional<std::pair<int, int>> GameMedia::PictureSize(const std::string& name) const {
    if (Process().Debug.CGFileMode) {
        const std::optional<std::string> path =
            FindLooseFile(JoinPath(Process().WorkspaceDir, "image"), name, mPictureKinds);
        if (path) {
            std::string error;
            const std::optional<Picture> picture = Picture::Load(*path, error);
            if (!picture) return std::nullopt;
            return std::pair(picture->Width(), picture->Height());
        }
    }
    const std::int32_t id = mQuor ? mQuor->FileKeyToID(name) : -1;
    std::int32_t width = 0, height = 0;
    if (id < 1 || !mQuor->GetGraphicSize(id, width, height)) return std::nullopt;
    return std::pair(static_cast<int>(width), static_cast<int>(height));
}

bool GameMedia::HasSound(const std::string& key) const {
    if (Process().Debug.SoundFileMode && HasLoose("sound", key, mSoundKinds)) return true;
    return HasArchiveKey(key);
}

bool GameMedia::HasMovie(const std::string& file) const {
    const std::optional<std::string> path = ResolvePath(Process().MovieDir, file);
    return path && FileExists(*path);
}

std::string GameMedia::PictureFolders() const {
    return Folders(Process().Debug.CGFileMode, HasArchives(), "image/");
}

std::string GameMedia::SoundFolders() const {
    return Folders(Process().Debug.SoundFileMode, HasArchives(), "sound/");
}

bool GameMedia::LooseScenarios() const {
    return Process().Debug.ScenarioFileMode;
}

std::optional<std::string> GameMedia::ScenarioFile(const std::string& name) const {
    const std::optional<std::string> path =
        ResolvePath(JoinPath(Process().WorkspaceDir, "scenario"), name + ".txt");
    if (!path || !FileExists(*path)) return std::nullopt;
    return path;
}

std::optional<std::string> GameMedia::ArchiveText(const std::string& key) const {
    const std::int32_t id = mQuor ? mQuor->FileKeyToID(key) : -1;
    std::string text;
    if (id < 0 || !mQuor->LoadTextFile(id, text)) return std::nullopt;
    return text;
}

}  // namespace zelk::tool
