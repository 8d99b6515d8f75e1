#include "drivers/quor_driver.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "common/codepage.h"
#include "common/text.h"
#include "platform/arc/trel.h"
#include "settings/ini_io.h"

namespace zelk {

namespace {

// The entry's text as the library delivers it; nothing for an unknown,
// unreadable or over-large entry, or when memory runs out.
std::optional<std::string> ReadEntry(std::int32_t id) {
    const std::int32_t size = Trel_GetDataSize(id);
    if (size < 0 || size > kMaxTextEntrySize) return std::nullopt;
    try {
        std::string bytes(static_cast<std::size_t>(size), '\0');
        if (Trel_GetMemory(id, bytes.data(), size) != 0) return std::nullopt;
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

clsQuorDriver::clsQuorDriver(LogFunction log) : mLog(std::move(log)) {}

clsQuorDriver::~clsQuorDriver() {
    mKeys.clear();
    if (mServesSystemIni) SetSystemIniFallback({});
    TerminateTrel();
    if (mLog) mLog("Quor-Terminate");
}

bool clsQuorDriver::Init(std::int32_t archiveCount) {
    return InitializeTrel(archiveCount) == 0;
}

bool clsQuorDriver::LoadArchive(const std::string& path, std::int32_t baseId, std::string* why) {
    return Trel_SetArchiveName(path.c_str(), baseId, why) == 0 && Trel_OK() == 1;
}

bool clsQuorDriver::LoadArchiveList(std::string_view list, std::int32_t firstId) {
    const std::vector<std::string> keys = FileListKeys(list);
    if (keys.size() > static_cast<std::size_t>(kIdsPerArchive)) return false;
    for (std::size_t line = 0; line < keys.size(); ++line) {
        mKeys.insert_or_assign(ToLowerAscii(keys[line]), firstId + static_cast<std::int32_t>(line));
    }
    return true;
}

std::int32_t clsQuorDriver::FileKeyToID(std::string_view key) const {
    const auto found = mKeys.find(ToLowerAscii(key));
    return found == mKeys.end() ? -1 : found->second;
}

std::int32_t clsQuorDriver::GetSize(std::int32_t id) const {
    return std::max(Trel_GetDataSize(id), 0);
}

bool clsQuorDriver::GetMemory(std::int32_t id, void* address, std::int32_t size) const {
    return Trel_GetMemory(id, address, size) == 0;
}

bool clsQuorDriver::GetGraphicSize(std::int32_t id, std::int32_t& width,
                                   std::int32_t& height) const {
    return Trel_GetGraphicSize(id, width, height) == 0;
}

bool clsQuorDriver::LoadGraphic(std::int32_t id, const PixelTarget& surface, std::int32_t x,
                                std::int32_t y) const {
    return Trel_LoadGraphic(id, surface, x, y) == 0;
}

bool clsQuorDriver::LoadGraphic_Direct(std::int32_t id, const PixelTarget& surface) const {
    return Trel_LoadGraphic_Direct(id, surface) == 0;
}

bool clsQuorDriver::LoadMask(std::int32_t id, const PixelTarget& map, std::int32_t x,
                             std::int32_t y) const {
    return Trel_LoadMask(id, map, x, y) == 0;
}

bool clsQuorDriver::LoadMask_Direct(std::int32_t id, const PixelTarget& map) const {
    return Trel_LoadMask_Direct(id, map) == 0;
}

bool clsQuorDriver::LoadTextFile(std::int32_t id, std::string& content) const {
    const std::optional<std::string> bytes = ReadEntry(id);
    if (!bytes) return false;
    content = bytes->starts_with(kUtf8Bom) ? TextEncoding::Utf8().Decode(*bytes)
                                           : mEncoding.Decode(*bytes);
    return true;
}

void clsQuorDriver::ServeSystemIni() {
    SetSystemIniFallback([this](const std::string& key) -> std::optional<std::string> {
        // Id 0 is the first archive's own file list, never a system file.
        const std::int32_t id = FileKeyToID(key);
        if (id < 1) return std::nullopt;
        return ReadEntry(id);
    });
    mServesSystemIni = true;
}

std::vector<std::string> FileListKeys(std::string_view list) {
    std::vector<std::string> keys = SplitText(list, "\r\n");
    keys.pop_back();  // the text after the last CR LF
    return keys;
}

std::vector<std::string> FindArchives(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const bool quor = name.size() > 5 &&
                          EqualsNoCase(std::string_view(name).substr(name.size() - 5), ".quor");
        std::error_code ignored;
        if (quor && entry->is_regular_file(ignored)) names.push_back(name);
    }
    // Games were put together where folders list in name order without
    // regard to case; that order decides which of two archives sharing a key
    // wins, so it must not depend on how this file system lists them.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string lowerA = ToLowerAscii(a), lowerB = ToLowerAscii(b);
        return lowerA != lowerB ? lowerA < lowerB : a < b;
    });
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names)
        paths.push_back((std::filesystem::path(folder) / name).string());
    return paths;
}

}  // namespace zelk
