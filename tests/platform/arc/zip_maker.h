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
