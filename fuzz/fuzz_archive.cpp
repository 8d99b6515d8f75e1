// An archive of any content opened and read as the player reads its
// archives: registered, its file list read and cut into keys, every listed
// entry's size asked and its data read, and every entry drawn as a picture
// and as a mask into small surfaces (the mask lookup of a sprite). The input
// is written to a scratch file first, since archives are read from files.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/arc/trel.h"

namespace {

// The scratch file of this process, made once.
const std::string& ScratchPath() {
    static const std::string path = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fuzz-archive-XXXXXX.quor").string();
        const int fd = mkstemps(pattern.data(), 5);
        if (fd < 0) std::abort();
        close(fd);
        return pattern;
    }();
    return path;
}

std::vector<std::string> ListKeys(const std::string& list) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    for (std::size_t end; (end = list.find("\r\n", start)) != std::string::npos; start = end + 2)
        keys.push_back(list.substr(start, end - start));
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        const bool written = std::fwrite(data, 1, size, file) == size;
        if (std::fclose(file) != 0 || !written) std::abort();
    }
    using namespace zelk;
    InitializeTrel(1);
    std::string why;
    if (Trel_SetArchiveName(path.c_str(), 0, &why) != 0) {
        TerminateTrel();
        return 0;
    }
    std::string list;
    if (const std::int32_t listSize = Trel_GetDataSize(0); listSize >= 0) {
        list.resize(static_cast<std::size_t>(listSize));
        if (Trel_GetMemory(0, list.data(), listSize) != 0) list.clear();
    }
    const std::size_t listed = ListKeys(list).size();
    // Entries past the list are read too: the list may lie about them.
    for (std::int32_t id = 0; id < static_cast<std::int32_t>(listed) + 2 && id < 64; ++id) {
        const std::int32_t entrySize = Trel_GetDataSize(id);
        if (entrySize >= 0) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entrySize));
            Trel_GetMemory(id, bytes.data(), entrySize);
            // A prefix, and one byte more than there is.
            Trel_GetMemory(id, bytes.data(), entrySize / 2);
            Trel_GetMemory(id, bytes.data(), entrySize + 1);
        }
        std::int32_t width = 0, height = 0;
        if (Trel_GetGraphicSize(id, width, height) == 0 &&
            (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)) {
            std::abort();  // a decoded picture is always within the limits
        }
        std::vector<std::uint8_t> colour(static_cast<std::size_t>(ColorStride(16)) * 16);
        std::vector<std::uint8_t> mask(16 * 16);
        Trel_LoadGraphic(id, {colour.data(), 16, 16, ColorStride(16), 3}, -3, 5);
        Trel_LoadGraphic_Direct(id, {colour.data(), 16, 16, ColorStride(16), 3});
        Trel_LoadMask(id, {mask.data(), 16, 16, 16, 1}, 7, -2);
        Trel_LoadMask_Direct(id, {mask.data(), 16, 16, 16, 1});
    }
    TerminateTrel();
    return 0;
}
