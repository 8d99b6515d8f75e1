// Names a game gives that lead out of its folder (paths.h refuses them):
// what the reader and the author are told. In debug mode the refusal is the
// run-time error of the instruction that gave the name, or a message naming
// the settings file that did; otherwise one line on standard error, once
// for each place and name. The story goes on without the file.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "common/paths.h"

namespace zelk {

class clsInterpreter;

struct RefusedNameParts {
    // The running interpreter, or null.
    std::function<clsInterpreter*()> interpreter;
    // Where a name comes from when no instruction runs: the settings file
    // of the mode now shown.
    std::function<std::string()> settingsFile;
    std::function<void(const std::string& prompt)> message;
    std::function<void(const std::string& line)> log;
};

// Installs itself as the process's refused-name report for its lifetime.
class RefusedNames {
public:
    explicit RefusedNames(RefusedNameParts parts);
    ~RefusedNames();
    RefusedNames(const RefusedNames&) = delete;
    RefusedNames& operator=(const RefusedNames&) = delete;

    void Report(const std::string& name, const std::string& why);

private:
    RefusedNameParts mParts;
    RefusedNameReport mBefore;
    std::set<std::string> mTold;
};

}  // namespace zelk
