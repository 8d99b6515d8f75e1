// Tells the reader that one of their files (settings, shared data, a save,
// a thumbnail) could not be written: one line on standard error naming the
// file and the reason, and a message in the window. Each file is told once
// until a write of it succeeds again: a folder that stays read-only must not
// bury the reader under a box at every change of scenario.
#pragma once

#include <set>
#include <string>
#include <utility>

#include "common/reporter.h"

namespace zelk {

class WriteFailureNotice {
public:
    explicit WriteFailureNotice(Reporter reporter = {}) : mReporter(std::move(reporter)) {}

    // After a write of `path`: a success forgets an earlier failure, a
    // failure (errno value `error`) is told unless it was told already.
    // The result is `written`, for chaining.
    bool Note(const std::string& path, bool written, int error);
    // Tells the failure whether or not it was told before: the reader asked
    // for this very write and waits for its outcome. `note` ends the
    // window's message (what became of what the reader asked for).
    void Tell(const std::string& path, int error, const std::string& note = {});

    // "path: reason", the line standard error gets, without the program's name.
    static std::string Describe(const std::string& path, int error);

private:
    Reporter mReporter;
    std::set<std::string> mTold;
};

}  // namespace zelk
