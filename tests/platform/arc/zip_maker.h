// Test helpers: ZIP files written straight through libzip, independent of
// the archive writer under test, and scratch folders.
#pragma once

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelk::testing {

struct ZipItem {
    std::string name;
    std::string bytes;
    bool deflate = true;
};

inline void MakeZip(const std::string& path, const std::vector<ZipItem>& items) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) throw std::runtime_error("cannot create " + path);
    for (const ZipItem& item : items) {
        zip_source_t* source = zip_source_buffer(archive, item.bytes.data(), item.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, item.name.c_str(), source, 0);
        if (index < 0) throw std::runtime_error(zip_strerror(archive));
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 item.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    if (zip_close(archive) != 0) throw std::runtime_error(zip_strerror(archive));
}

// Rewrites the sizes that entry `index` of the ZIP in `bytes` states, in
// its central directory record and its local header alike, so that the
// archive stays consistent and only the sizes lie. Nothing is changed where
// `size` or `packed` is left at -1.
inline void StateSizes(std::string& bytes, std::size_t index, std::int64_t size,
                       std::int64_t packed = -1) {
    const auto put = [&](std::size_t at, std::int64_t value) {
        if (value < 0) return;
        for (int k = 0; k < 4; ++k)
            bytes[at + k] = static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * k) & 0xFF);
    };
    std::size_t central = bytes.find("PK\x01\x02");
    for (std::size_t k = 0; k < index && central != std::string::npos; ++k)
        central = bytes.find("PK\x01\x02", central + 4);
    if (central == std::string::npos) throw std::runtime_error("no such entry");
    std::size_t local = 0;
    for (int k = 3; k >= 0; --k)
        local = local << 8 | static_cast<std::uint8_t>(bytes[central + 42 + k]);
    put(central + 20, packed);
    put(central + 24, size);
    put(local + 18, packed);
    put(local + 22, size);
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string TestPicture(const std::string& name) {
    return ReadWholeFile(std::string(ZELK_TEST_DATA) + "/pictures/" + name);
}

// A fresh folder under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zelk-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        mPath = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (mPath / name).string(); }
    const std::filesystem::path& Path() const { return mPath; }

private:
    std::filesystem::path mPath;
};

}  // namespace zelk::testing
