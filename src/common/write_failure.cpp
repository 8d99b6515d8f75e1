#include "common/write_failure.h"

#include <cstdio>
#include <cstring>

namespace zelk {

std::string WriteFailureNotice::Describe(const std::string& path, int error) {
    return path + ": " + (error != 0 ? std::strerror(error) : "unknown error");
}

bool WriteFailureNotice::Note(const std::string& path, bool written, int error) {
    if (written) {
        mTold.erase(path);
    } else if (!mTold.contains(path)) {
        Tell(path, error);
    }
    return written;
}

void WriteFailureNotice::Tell(const std::string& path, int error, const std::string& note) {
    mTold.insert(path);
    std::fprintf(stderr, "zelk: cannot write %s\n", Describe(path, error).c_str());
    mReporter.Message("ファイルを保存できませんでした。以前のファイルはそのまま残っています。\r\n" +
                      Describe(path, error) + (note.empty() ? "" : "\r\n" + note));
}

}  // namespace zelk
