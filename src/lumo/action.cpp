// Actions: the table, the host's commands, and the stepper that runs the
// programs frame by frame.
//
// Index
//   [SECTION] Table and commands
//   [SECTION] Instructions
//   [SECTION] Timed steps: wait, move, print
//   [SECTION] Advancing
#include "action.h"

#include <cmath>

#include "engine.h"
#include "film_ops.h"

namespace lumo {

namespace {

constexpr std::size_t kProgramBlock = 10;

// [SECTION] Table and commands ==========================================

bool isStopped(const Action& a) {
    return a.state == AS_STOPPED;
}

void clearRegisters(Action& a) {
    std::fill(std::begin(a.operands), std::end(a.operands), 0);
    a.totalX = a.totalY = a.appliedX = a.appliedY = 0;
}

}  // namespace

void Action::reset() {
    bound = false;
    abort = false;
    state = AS_STOPPED;
    target = -1;
    position = 0;
    start = 0;
    enabled = 1;
    speed = 1000;
    step = StepRoutine::Dispatch;
    program.clear();
    program.shrink_to_fit();
    program.reserve(kProgramBlock);
    clearRegisters(*this);
    duration = elapsed = 0;
}

void ActionTable::reset(int size) {
    mActions.assign(static_cast<std::size_t>(size), Action{});
    for (std::size_t i = 0; i < mActions.size(); ++i) {
        mActions[i].id = static_cast<int>(i);
        mActions[i].reset();
    }
}

int ActionTable::add() {
    for (Action& a : mActions) {
        if (a.inUse) continue;
        a.reset();
        a.inUse = true;
        return a.id;
    }
    return -1;
}

Action* ActionTable::get(int id) {
    if (id < 0 || id >= static_cast<int>(mActions.size())) return nullptr;
    Action& a = mActions[static_cast<std::size_t>(id)];
    return a.inUse ? &a : nullptr;
}

void setActionProperty(Engine& engine, int id, std::int32_t property, std::int32_t value) {
    Action* a = engine.actions.get(id);
    if (!a) return;
    switch (property) {
        case AP_START:
            if (isStopped(*a)) a->start = value;
            break;
        case AP_POSITION:
            if (isStopped(*a) && value >= 0 && value < static_cast<int>(a->program.size())) {
                a->position = value;
            }
            break;
        case AP_ENABLED:
            a->enabled = value;
            break;
        case AP_TARGET:
            a->target = value;
            a->bound = true;
            break;
        case AP_SPEED:
            a->speed = value;
            break;
        default:
            break;
    }
}

void callActionMethod(Engine& engine, int id, std::int32_t method, std::int32_t argument) {
    Action* a = engine.actions.get(id);
    if (!a) return;
    switch (method) {
        case AM_CLEAR:
            if (isStopped(*a)) {
                a->program.clear();
                a->program.shrink_to_fit();
                a->program.reserve(kProgramBlock);
            }
            return;
        case AM_APPEND:
            if (isStopped(*a)) {
                if (a->program.size() == a->program.capacity()) {
                    a->program.reserve(a->program.size() + kProgramBlock);
                }
                a->program.push_back(argument);
            }
            return;
        default:
            break;
    }
    if (!a->bound) return;
    switch (method) {
        case AM_START:
            a->position = a->start;
            a->state = AS_RUNNING;
            a->enabled = 1;
            break;
        case AM_RESUME:
            a->state = AS_RUNNING;
            a->enabled = 1;
            break;
        case AM_STOP:
            a->state = AS_STOPPED;
            a->enabled = 0;
            break;
        case AM_FINISH:
            if (a->state == AS_RUNNING) {
                a->state = AS_FINISHING;
                a->enabled = 1;
            }
            break;
        case AM_HALT:
            a->state = AS_STOPPED;
            a->enabled = 1;
            break;
        default:
            break;
    }
}

void removeAction(Engine& engine, int id) {
    Action* a = engine.actions.get(id);
    if (!a) return;
    a->reset();
    a->inUse = false;
}

int getActionProperty(Engine& engine, int id, std::int32_t property, std::int32_t* result) {
    Action* a = engine.actions.get(id);
    if (!a || !result) return -1;
    switch (property) {
        case AP_START:
            *result = a->start;
            return 0;
        case AP_POSITION:
            return 0;  // the position is not readable; the result stays as it was
        case AP_ENABLED:
            *result = a->enabled;
            return 0;
        case AP_TARGET:
            *result = a->target;
            return 0;
        case AP_SPEED:
            *result = a->speed;
            return 0;
        case AP_STATE:
            *result = a->state;
            return 0;
        default:
            return -1;
    }
}

namespace {

template <typename Change>
void forActionsOf(Engine& engine, int film, Change change) {
    for (Action& a : engine.actions.all()) {
        if (a.inUse && a.bound && a.target == film) change(a);
    }
}

}  // namespace

void stopActionsOf(Engine& engine, int film) {
    forActionsOf(engine, film, [](Action& a) {
        a.state = AS_STOPPED;
        a.enabled = 0;
    });
}

void resumeActionsOf(Engine& engine, int film) {
    forActionsOf(engine, film, [](Action& a) {
        a.state = AS_RUNNING;
        a.enabled = 1;
    });
}

void haltActionsOf(Engine& engine, int film) {
    for (Action& a : engine.actions.all()) {
        if (a.inUse && a.target == film) a.state = AS_STOPPED;
    }
}

namespace {

// [SECTION] Instructions ================================================

int operandCount(std::int32_t opcode) {
    switch (opcode) {
        case AC_WAIT:
        case AC_JUMP:
        case AC_RETARGET:
        case AC_CELL_X:
        case AC_CELL_Y:
            return 1;
        case AC_METHOD:
            return 2;
        case AC_MOVE_TO:
        case AC_MOVE_BY:
            return 3;
        case AC_MOVE2_TO:
        case AC_MOVE2_BY:
            return 4;
        default:
            return 0;
    }
}

std::int64_t scaled(const Action& a, std::int32_t milliseconds) {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(milliseconds) * a.speed / 1000);
}

// A stopped action ends the frame's budget.
int end(Engine& engine, Action& a) {
    a.state = AS_STOPPED;
    a.position = a.start;
    engine.notify(EV_ACT_END, a.id, 0);
    return 0;
}

bool readProperty(Engine& engine, Action& a, std::int32_t property, std::int32_t (&value)[2]) {
    Film* film = engine.films.get(a.target);
    return film && getFilmProperty(engine, *film, property, value) == 0;
}

void writeProperty(Engine& engine, Action& a, std::int32_t property, std::int32_t x,
                   std::int32_t y) {
    if (Film* film = engine.films.get(a.target)) {
        setFilmProperty(engine, *film, property, words(x, y));
    }
}

int startMove(Engine& engine, Action& a, std::int32_t opcode, int budget) {
    const bool twoWords = opcode == AC_MOVE2_TO || opcode == AC_MOVE2_BY;
    const bool relative = opcode == AC_MOVE_BY || opcode == AC_MOVE2_BY;
    a.duration = scaled(a, a.operands[twoWords ? 3 : 2]);
    a.elapsed = 0;
    a.totalX = a.operands[1];
    a.totalY = twoWords ? a.operands[2] : 0;
    if (!relative) {
        std::int32_t current[2] = {0, 0};
        if (!readProperty(engine, a, a.operands[0], current)) {
            a.abort = true;
            return 0;
        }
        a.totalX -= current[0];
        if (twoWords) a.totalY -= current[1];
    }
    a.step = StepRoutine::Move;
    return budget;
}

// The dispatcher: one instruction from the program.
int dispatch(Engine& engine, Action& a, int budget) {
    clearRegisters(a);
    const auto size = static_cast<int>(a.program.size());
    if (a.position < 0 || a.position >= size) return end(engine, a);
    const std::int32_t opcode = a.program[static_cast<std::size_t>(a.position)];
    const int operands = operandCount(opcode);
    if (a.position + operands >= size) return end(engine, a);
    for (int i = 0; i < operands; ++i) {
        a.operands[i] = a.program[static_cast<std::size_t>(a.position + 1 + i)];
    }
    a.position += 1 + operands;

    switch (opcode) {
        case AC_NOP:
        case AC_NOP2:
        case AC_NOP3:
        case AC_NOP4:
            return budget;
        case AC_WAIT:
            if (a.operands[0] == -1) {
                a.state = AS_STOPPED;
                return 0;
            }
            a.duration = scaled(a, a.operands[0]);
            a.elapsed = 0;
            a.step = StepRoutine::Wait;
            return budget;
        case AC_JUMP:
            a.position = a.operands[0];
            return budget;
        case AC_LOOP:
            if (a.state == AS_FINISHING) return end(engine, a);
            a.position = a.start;
            engine.notify(EV_ACT_LOOP, a.id, 0);
            return budget;
        case AC_END:
            return end(engine, a);
        case AC_RETARGET: {
            const std::int32_t film = a.operands[0];
            if (SetActProp(a.id, AP_TARGET, &film) != 0) a.abort = true;
            return budget;
        }
        case AC_MOVE_TO:
        case AC_MOVE_BY:
        case AC_MOVE2_TO:
        case AC_MOVE2_BY:
            return startMove(engine, a, opcode, budget);
        case AC_CELL_X:
        case AC_CELL_Y: {
            const bool across = opcode == AC_CELL_X;
            std::int32_t size[2] = {0, 0};
            std::int32_t source[2] = {0, 0};
            if (!readProperty(engine, a, across ? FP_WIDTH : FP_HEIGHT, size) ||
                !readProperty(engine, a, across ? FP_SRC_X : FP_SRC_Y, source)) {
                a.abort = true;
                return 0;
            }
            writeProperty(engine, a, across ? FP_SRC_X : FP_SRC_Y,
                          clampCoordinate(source[0] + std::int64_t{a.operands[0]} * size[0]), 0);
            return budget;
        }
        case AC_PRINT:
            a.step = StepRoutine::Print;
            return budget;
        case AC_METHOD:
            if (Film* film = engine.films.get(a.target)) {
                callFilmMethod(engine, *film, a.operands[0], a.operands[1]);
            }
            return budget;
        default:
            a.state = AS_STOPPED;  // unknown opcode
            return 0;
    }
}

// [SECTION] Timed steps: wait, move, print ==============================

// Returns the budget left: the overshoot once the wait is over, else not
// positive.
int wait(Action& a, int budget, StepRoutine next) {
    if (a.state == AS_FINISHING) {
        a.step = next;
        return budget;
    }
    a.elapsed += budget;
    const std::int64_t left = a.elapsed - a.duration;
    if (left >= 0) a.step = next;
    return static_cast<int>(std::clamp<std::int64_t>(left, INT32_MIN, INT32_MAX));
}

int move(Engine& engine, Action& a, int budget) {
    double f = 1.0;
    if (a.state != AS_FINISHING && a.duration != 0) {
        a.elapsed += budget;
        budget = static_cast<int>(
            std::clamp<std::int64_t>(a.elapsed - a.duration, INT32_MIN, INT32_MAX));
        f = static_cast<double>(a.elapsed) / static_cast<double>(a.duration);
    }
    if (f >= 1.0) {
        f = 1.0;
        a.step = StepRoutine::Dispatch;
    }
    const auto appliedX = static_cast<std::int64_t>(std::trunc(f * static_cast<double>(a.totalX)));
    const auto appliedY = static_cast<std::int64_t>(std::trunc(f * static_cast<double>(a.totalY)));
    const std::int32_t property = a.operands[0];
    std::int32_t current[2] = {0, 0};
    if (!readProperty(engine, a, property, current)) {
        a.abort = true;
        return 0;
    }
    writeProperty(engine, a, property,
                  static_cast<std::int32_t>(current[0] + appliedX - a.appliedX),
                  static_cast<std::int32_t>(current[1] + appliedY - a.appliedY));
    a.appliedX = appliedX;
    a.appliedY = appliedY;
    return budget;
}

int print(Engine& engine, Action& a, int budget) {
    Film* film = engine.films.get(a.target);
    for (;;) {
        const TextState* text = film ? film->text.get() : nullptr;
        // A film without text has nothing to print; a buffer that ends
        // before its count (a broken element) is done too.
        if (film &&
            (!text || text->shown >= text->total || text->readPosition >= text->buffer.size())) {
            engine.notify(EV_TEXT_DONE, a.target, a.id);
            a.step = StepRoutine::Dispatch;
            return budget;
        }
        const int result = film ? printNextElement(engine, *film) : -1;
        if (result < 0) {
            a.state = AS_STOPPED;
            engine.notify(EV_TEXT_STOP, a.target, a.id);
            return 0;
        }
        if (result > 0) {
            a.duration = scaled(a, result);
            a.elapsed = 0;
            a.step = StepRoutine::PrintWait;
            return budget;
        }
    }
}

// [SECTION] Advancing ===================================================

void advance(Engine& engine, Action& a, int budget) {
    if (!a.inUse || !a.bound || a.state == AS_STOPPED) return;
    if (!engine.films.get(a.target)) {
        a.bound = false;
        a.state = AS_STOPPED;
        return;
    }
    // Instructions that take no time could otherwise loop forever within
    // one frame.
    int instructions = 0;
    while (budget > 0 && a.inUse && a.state != AS_STOPPED) {
        switch (a.step) {
            case StepRoutine::Dispatch:
                if (++instructions > LUMO_ACTION_STEP_LIMIT) {
                    a.state = AS_STOPPED;
                    return;
                }
                budget = dispatch(engine, a, budget);
                break;
            case StepRoutine::Wait:
                budget = wait(a, budget, StepRoutine::Dispatch);
                break;
            case StepRoutine::Move:
                budget = move(engine, a, budget);
                break;
            case StepRoutine::Print:
                budget = print(engine, a, budget);
                break;
            case StepRoutine::PrintWait:
                budget = wait(a, budget, StepRoutine::Print);
                break;
        }
        if (a.abort) {
            a.abort = false;
            a.state = AS_STOPPED;
            break;
        }
    }
}

}  // namespace

std::int64_t msUntilNextStep(Engine& engine) {
    std::int64_t soonest = -1;
    for (const Action& a : engine.actions.all()) {
        if (!a.inUse || !a.bound || a.state == AS_STOPPED) continue;
        const bool waiting = a.state == AS_RUNNING &&
                             (a.step == StepRoutine::Wait || a.step == StepRoutine::PrintWait);
        if (!waiting) return 0;
        const std::int64_t left = std::max<std::int64_t>(a.duration - a.elapsed, 0);
        if (soonest < 0 || left < soonest) soonest = left;
    }
    return soonest;
}

void advanceActions(Engine& engine, int milliseconds) {
    if (!engine.running()) return;
    auto& all = engine.actions.all();
    for (std::size_t i = 0; i < all.size(); ++i)
        advance(engine, all[i], milliseconds);
}

}  // namespace lumo
