#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "source.h"

namespace wavo {

class FileSource final : public Source {
public:
    bool Open(const std::string& fileName);

    void Close() override;
    int64_t Read(void* destination, int64_t length) override;
    bool Seek(int64_t position) override;
    int64_t Size() const override { return mFile ? mSize : -1; }
    double LengthMs() const override { return 0; }
    int64_t Tell() const override { return mPosition; }
    const WaveFormat* Format() const override { return nullptr; }
    bool IsOpen() const override { return mFile != nullptr; }
    bool AtEnd() const override { return mAtEnd; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> mFile;
    int64_t mSize = 0;
    int64_t mPosition = 0;
    bool mAtEnd = false;
};

}  // namespace wavo
