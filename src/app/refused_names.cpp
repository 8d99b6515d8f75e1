#include "app/refused_names.h"

#include <cstdio>

#include "common/process.h"
#include "interpreter/interpreter.h"
#include "platform/translate.h"

namespace zelk {

RefusedNames::RefusedNames(RefusedNameParts parts) : mParts(std::move(parts)) {
    mBefore = SetRefusedNameReport(
        [this](const std::string& name, const std::string& why) { Report(name, why); });
}

RefusedNames::~RefusedNames() {
    SetRefusedNameReport(std::move(mBefore));
}

void RefusedNames::Report(const std::string& name, const std::string& why) {
    // A settings entry that names the file says so; else the instruction
    // running; else the settings of the mode shown.
    std::string place = NamePlace::Current();
    clsInterpreter* intprt = mParts.interpreter ? mParts.interpreter() : nullptr;
    const bool instruction = place.empty() && intprt != nullptr && intprt->InInstruction();
    if (instruction) place = intprt->InstructionPlace();
    if (place.empty() && mParts.settingsFile) place = mParts.settingsFile();
    if (Process().IsDebugMode) {
        const std::string prompt =
            TrFormat("'%s'はゲームのフォルダーの外を指すため読み込みません (%s)。", {name, why});
        if (instruction) {
            intprt->CauseError(prompt);
            return;
        }
        if (mParts.log) mParts.log(place + ": " + prompt);
        if (mParts.message) mParts.message(place + "\r\n" + prompt);
        return;
    }
    // The picture or sound that is then missing is this line's news too.
    if (instruction) intprt->CauseTold();
    // A name given in a loop, or tried by several callers, is said once.
    if (!mTold.insert(place + '\n' + name).second) return;
    std::fprintf(stderr, "zelk: %s\n",
                 TrFormat("%s: '%s' %s; a game reads only its own folder, and goes on without it",
                          {place, name, why})
                     .c_str());
}

}  // namespace zelk
