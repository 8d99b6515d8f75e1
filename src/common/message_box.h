// The button sets and answers of the program's message boxes, shared by the
// parts that ask questions and the launcher that shows them.
#pragma once

namespace zelk {

enum : long { kMsgOK = 0, kMsgYesNo = 4 };
enum : long { kResultOK = 1, kResultYes = 6, kResultNo = 7 };

}  // namespace zelk
