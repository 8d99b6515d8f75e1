// Flow and variable commands: jumps, calls, conditions and the arithmetic
// on scenario variables. None of them needs a driver.
#pragma once

namespace zelk {

class clsInterpreter;

namespace commands {

void Go(clsInterpreter& intprt);
void Call(clsInterpreter& intprt);
void Return(clsInterpreter& intprt);
void If(clsInterpreter& intprt);
// use, nop and siting: markers for authors' tools.
void Nothing(clsInterpreter& intprt);

void Let(clsInterpreter& intprt);
void Add(clsInterpreter& intprt);
void Sub(clsInterpreter& intprt);
void Up(clsInterpreter& intprt);
void Down(clsInterpreter& intprt);

}  // namespace commands
}  // namespace zelk
