#include "interpreter/commands/flow_commands.h"

#include <cstdint>
#include <limits>

#include "interpreter/instruction_table.h"
#include "interpreter/interpreter.h"
#include "platform/translate.h"

namespace zelk::commands {

namespace {

// The return address: the instruction after the one running.
std::string NextAddress(clsInterpreter& intprt) {
    const auto& script = intprt.CurrentScript();
    return (script ? script->Name() : std::string()) + "." + std::to_string(intprt.Address() + 1);
}

// Stores a computed number into the variable named by argument 1. Results
// outside 32 bits are refused rather than wrapped into a wrong number.
void StoreNumber(clsInterpreter& intprt, std::int64_t value) {
    const std::string& destination = intprt.Arg(1);
    ValueResolver& writer = intprt.Writer();
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        intprt.RuntimeError(TrFormat("value set error '%s' オーバーフローしました。 : %s",
                                     {destination, intprt.InstructionLine()}));
        return;
    }
    writer.SetSymbol(destination).NumVal(static_cast<std::int32_t>(value));
    if (writer.IsError()) {
        intprt.RuntimeError(TrFormat("value set error '%s' %s : %s",
                                     {destination, writer.ErrMsg(), intprt.InstructionLine()}));
    }
}

std::int64_t Step(clsInterpreter& intprt) {
    const std::string& step = intprt.Arg(2);
    return step == InstructionTable::kAbsent ? 1 : intprt.Sbl(step);
}

}  // namespace

void Go(clsInterpreter& intprt) {
    if (!intprt.GoLabel(intprt.Arg(1))) intprt.AskQuit();
}

void Call(clsInterpreter& intprt) {
    // A scenario that calls without returning would grow the player, and
    // every save made meanwhile, without end.
    if (intprt.Stack().size() >= clsInterpreter::kCallStackLimit) {
        const auto& script = intprt.CurrentScript();
        intprt.RuntimeError(TrFormat(
            "callの入れ子が%s段を超えました。returnせずにcallを繰り返していませんか。 : %s",
            {std::to_string(clsInterpreter::kCallStackLimit),
             script ? script->Place(static_cast<int>(intprt.Address()))
                    : intprt.InstructionLine()}));
        return;
    }
    intprt.Stack().push_back(NextAddress(intprt));
    // A call that goes nowhere leaves no return address behind.
    if (!intprt.GoLabel(intprt.Arg(1))) intprt.Stack().pop_back();
}

void Return(clsInterpreter& intprt) {
    std::vector<std::string>& stack = intprt.Stack();
    if (stack.empty()) {
        intprt.RuntimeError(Tr("スタックが空の状態でreturnしようとしました。"));
        return;
    }
    const std::string target = std::move(stack.back());
    stack.pop_back();
    intprt.GoLabel(target);
}

void If(clsInterpreter& intprt) {
    const std::string& target = intprt.Sbl(intprt.Arg(1)) != 0 ? intprt.Arg(2) : intprt.Arg(3);
    if (target != InstructionTable::kAbsent) intprt.GoLabel(target);
}

void Nothing(clsInterpreter&) {}

void Let(clsInterpreter& intprt) {
    ValueResolver& reader = intprt.Reader();
    ValueResolver& writer = intprt.Writer();
    // A failed source still stores its empty value.
    writer.SetSymbol(intprt.Arg(1)).Value(reader.SetSymbol(intprt.Arg(2)).Value());
    if (writer.IsError()) {
        intprt.RuntimeError(
            TrFormat("ValueExp(dst) '%s' %s", {writer.ErrMsg(), intprt.InstructionLine()}));
    }
    if (reader.IsError()) {
        intprt.RuntimeError(
            TrFormat("ValueExp(src) '%s' %s", {reader.ErrMsg(), intprt.InstructionLine()}));
    }
}

void Add(clsInterpreter& intprt) {
    StoreNumber(intprt, std::int64_t{intprt.Sbl(intprt.Arg(2))} + intprt.Sbl(intprt.Arg(3)));
}

void Sub(clsInterpreter& intprt) {
    StoreNumber(intprt, std::int64_t{intprt.Sbl(intprt.Arg(2))} - intprt.Sbl(intprt.Arg(3)));
}

void Up(clsInterpreter& intprt) {
    StoreNumber(intprt, std::int64_t{intprt.Sbl(intprt.Arg(1))} + Step(intprt));
}

void Down(clsInterpreter& intprt) {
    StoreNumber(intprt, std::int64_t{intprt.Sbl(intprt.Arg(1))} - Step(intprt));
}

}  // namespace zelk::commands
