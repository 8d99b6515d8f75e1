// Where a part of the program sends what it has to tell: message boxes for
// the reader (the launcher's Msg with the OK button) and lines for the debug
// log (the launcher's Log). The root wires both to the launcher; tests
// record them. Either may be left empty, and then nothing is shown.
#pragma once

#include <functional>
#include <string>

namespace zelk {

struct Reporter {
    std::function<void(const std::string& prompt)> ShowMessage;
    std::function<void(const std::string& line)> WriteLog;

    void Message(const std::string& prompt) const {
        if (ShowMessage) ShowMessage(prompt);
    }
    void Log(const std::string& line) const {
        if (WriteLog) WriteLog(line);
    }
};

}  // namespace zelk
