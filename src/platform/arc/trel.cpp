#include "platform/arc/trel.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/arc/zip_reader.h"

namespace zelk {

namespace {

constexpr std::int32_t kOk = 0;
constexpr std::int32_t kFailed = -1;

// The registered archives: the one process-wide table of the library.
struct Registry {
    std::mutex lock;
    bool initialized = false;
    std::map<std::int32_t, std::unique_ptr<ZipReader>> archives;  // by base id

    // A picture is asked for its size and then drawn, so the last decoded
    // one is kept to be decoded only once.
    std::int32_t cachedId = -1;
    std::optional<Picture> cachedPicture;

    void Forget() {
        archives.clear();
        cachedId = -1;
        cachedPicture.reset();
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

struct Entry {
    const ZipReader* archive = nullptr;
    std::uint64_t index = 0;
};

std::optional<Entry> FindEntry(const Registry& registry, std::int32_t id) {
    if (!registry.initialized || id < 0) return std::nullopt;
    auto owner = registry.archives.upper_bound(id);
    if (owner == registry.archives.begin()) return std::nullopt;
    --owner;
    const auto index = static_cast<std::uint64_t>(id - owner->first);
    if (index >= owner->second->EntryCount()) return std::nullopt;
    return Entry{owner->second.get(), index};
}

const Picture* FindPicture(Registry& registry, std::int32_t id) {
    if (registry.cachedPicture && registry.cachedId == id) return &*registry.cachedPicture;
    const std::optional<Entry> entry = FindEntry(registry, id);
    if (!entry) return nullptr;
    std::string error;
    const std::optional<std::vector<std::uint8_t>> bytes =
        entry->archive->ReadAll(entry->index, error);
    if (!bytes) return nullptr;
    registry.cachedPicture = Picture::Decode(*bytes, error);
    registry.cachedId = registry.cachedPicture ? id : -1;
    return registry.cachedPicture ? &*registry.cachedPicture : nullptr;
}

// Runs `work` under the registry's lock. Nothing escapes to the caller: a
// failed allocation for a huge entry is a failure like any other.
template <typename Work>
std::int32_t Locked(Work work) {
    Registry& registry = TheRegistry();
    try {
        std::lock_guard guard(registry.lock);
        return work(registry);
    } catch (...) {
        return kFailed;
    }
}

std::int32_t Draw(std::int32_t id, const PixelTarget& target, std::int32_t x, std::int32_t y,
                  bool mask) {
    return Locked([&](Registry& registry) {
        const Picture* picture = FindPicture(registry, id);
        if (picture == nullptr) return kFailed;
        const bool drawn =
            mask ? picture->DrawMask(target, x, y) : picture->DrawColor(target, x, y);
        return drawn ? kOk : kFailed;
    });
}

}  // namespace

std::int32_t InitializeTrel(std::int32_t archiveCount) {
    return Locked([&](Registry& registry) {
        if (archiveCount < 0) return kFailed;
        registry.Forget();
        registry.initialized = true;
        return kOk;
    });
}

std::int32_t TerminateTrel() {
    return Locked([](Registry& registry) {
        registry.Forget();
        registry.initialized = false;
        return kOk;
    });
}

std::int32_t Trel_SetArchiveName(const char* path, std::int32_t baseId, std::string* why) {
    return Locked([&](Registry& registry) {
        if (!registry.initialized || path == nullptr || baseId < 0) return kFailed;
        std::string error;
        bool lying = false;
        std::unique_ptr<ZipReader> archive = ZipReader::Open(path, error, &lying);
        if (!archive) {
            if (why && lying) *why = error;
            return kFailed;
        }
        registry.archives[baseId] = std::move(archive);
        // Ids may now name other entries than the cached picture's.
        registry.cachedId = -1;
        registry.cachedPicture.reset();
        return kOk;
    });
}

std::int32_t Trel_OK() {
    return Locked([](Registry& registry) { return registry.initialized ? 1 : 0; });
}

std::int32_t Trel_GetDataSize(std::int32_t id) {
    return Locked([&](Registry& registry) {
        const std::optional<Entry> entry = FindEntry(registry, id);
        if (!entry) return kFailed;
        const std::optional<std::uint64_t> size = entry->archive->EntrySize(entry->index);
        if (!size || *size > static_cast<std::uint64_t>(INT32_MAX)) return kFailed;
        return static_cast<std::int32_t>(*size);
    });
}

std::int32_t Trel_GetMemory(std::int32_t id, void* destination, std::int32_t size) {
    return Locked([&](Registry& registry) {
        const std::optional<Entry> entry = FindEntry(registry, id);
        if (!entry || size < 0 || (destination == nullptr && size > 0)) return kFailed;
        std::string error;
        const std::span bytes(static_cast<std::uint8_t*>(destination),
                              static_cast<std::size_t>(size));
        return entry->archive->Read(entry->index, bytes, error) ? kOk : kFailed;
    });
}

std::int32_t Trel_GetGraphicSize(std::int32_t id, std::int32_t& width, std::int32_t& height) {
    return Locked([&](Registry& registry) {
        const Picture* picture = FindPicture(registry, id);
        if (picture == nullptr) return kFailed;
        width = picture->Width();
        height = picture->Height();
        return kOk;
    });
}

std::int32_t Trel_LoadGraphic(std::int32_t id, const PixelTarget& surface, std::int32_t x,
                              std::int32_t y) {
    return Draw(id, surface, x, y, false);
}

std::int32_t Trel_LoadGraphic_Direct(std::int32_t id, const PixelTarget& surface) {
    return Draw(id, surface, 0, 0, false);
}

std::int32_t Trel_LoadMask(std::int32_t id, const PixelTarget& map, std::int32_t x,
                           std::int32_t y) {
    return Draw(id, map, x, y, true);
}

std::int32_t Trel_LoadMask_Direct(std::int32_t id, const PixelTarget& map) {
    return Draw(id, map, 0, 0, true);
}

}  // namespace zelk
