// Actions: small word programs that animate one target film over time.
#pragma once

#include <cstdint>
#include <vector>

#include "command_queue.h"
#include "lumo.h"

namespace lumo {

class Engine;

// The routine that the next slice of time goes to: the dispatcher between
// instructions, or the middle of a timed or multi-part instruction.
enum class StepRoutine { Dispatch, Wait, Move, Print, PrintWait };

struct Action {
    bool inUse = false;
    bool bound = false;
    int id = 0;
    bool abort = false;
    std::int32_t state = AS_STOPPED;
    int target = -1;
    int position = 0;
    int start = 0;
    int enabled = 1;
    int speed = 1000;
    StepRoutine step = StepRoutine::Dispatch;
    std::vector<std::int32_t> program;
    std::int32_t operands[4] = {0, 0, 0, 0};
    std::int64_t totalX = 0;
    std::int64_t totalY = 0;
    std::int64_t appliedX = 0;
    std::int64_t appliedY = 0;
    std::int64_t duration = 0;
    std::int64_t elapsed = 0;

    // Back to the state AddAction hands out, keeping the slot's ID.
    void reset();
};

class ActionTable {
public:
    void reset(int size);
    void release() { mActions.clear(); }

    // The lowest free slot, reset and in use; -1 when all are taken.
    int add();
    Action* get(int id);  // null for a free or out-of-range slot
    std::vector<Action>& all() { return mActions; }

private:
    std::vector<Action> mActions;
};

// How long the engine may sleep before an action needs a frame, in
// milliseconds: 0 when one needs every frame (moving, printing, starting),
// the shortest wait left when all of them wait, -1 when none runs.
std::int64_t msUntilNextStep(Engine& engine);

// The queued commands of an action (codes 30, 31, 32).
void setActionProperty(Engine& engine, int action, std::int32_t property, std::int32_t value);
void callActionMethod(Engine& engine, int action, std::int32_t method, std::int32_t argument);
void removeAction(Engine& engine, int action);

// Direct read; -1 for a free or out-of-range action or an unknown property.
int getActionProperty(Engine& engine, int action, std::int32_t property, std::int32_t* result);

// Advances every action in table order (command 3).
void advanceActions(Engine& engine, int milliseconds);

// AM_STOP, AM_RESUME or AM_HALT on every action aimed at the film.
void stopActionsOf(Engine& engine, int film);
void resumeActionsOf(Engine& engine, int film);
void haltActionsOf(Engine& engine, int film);

}  // namespace lumo
