#include "interpreter/commands/command_support.h"

#include "common/numbers.h"
#include "common/process.h"
#include "interpreter/instruction_table.h"
#include "platform/translate.h"

namespace zelk::commands {

namespace {

long Scale(long value, int screen, int script) {
    if (script == 0) return value;
    return RoundToLong(static_cast<double>(value) * screen / script);
}

}  // namespace

bool Absent(const clsInterpreter& intprt, std::size_t n) {
    return intprt.Arg(n) == InstructionTable::kAbsent;
}

long Number(clsInterpreter& intprt, std::size_t n, long fallback) {
    return Absent(intprt, n) ? fallback : intprt.Sbl(intprt.Arg(n));
}

std::string Value(clsInterpreter& intprt, std::size_t n) {
    const std::string& expression = intprt.Arg(n);
    ValueResolver& reader = intprt.Reader();
    std::string value = reader.SetSymbol(expression).Value();
    if (reader.IsError()) {
        intprt.RuntimeError(TrFormat("value get error '%s' %s", {expression, reader.ErrMsg()}));
    }
    return value;
}

std::string Text(const clsInterpreter& intprt, std::size_t n, const std::string& fallback) {
    return Absent(intprt, n) ? fallback : intprt.Arg(n);
}

long ScriptX(long x) {
    return Scale(x, Process().ScreenSizeX, Process().ScriptScaleX);
}

long ScriptY(long y) {
    return Scale(y, Process().ScreenSizeY, Process().ScriptScaleY);
}

long ScriptCenterX() {
    return Process().ScriptScaleX / 2;
}

long ScriptCenterY() {
    return Process().ScriptScaleY / 2;
}

}  // namespace zelk::commands
