// The button sets and answers of the program's message boxes, under the names
// the parts that ask questions use; the question box defines the values.
#pragma once

#include "platform/question_box.h"

namespace zelk {

enum : long { kMsgOK = kButtonsOK, kMsgYesNo = kButtonsYesNo };
enum : long { kResultOK = kAnswerOK, kResultYes = kAnswerYes, kResultNo = kAnswerNo };

}  // namespace zelk
