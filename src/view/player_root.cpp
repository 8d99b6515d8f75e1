#include "view/player_root.h"

#include "interpreter/interpreter.h"

namespace zelk {

long PlayerRoot::IntprtWaitMode() const {
    const clsInterpreter* intprt = Intprt();
    return intprt ? intprt->WaitMode() : 0;
}

}  // namespace zelk
