// The command queue: host calls and the frame loop's steps wait here until a
// thread runs them in a batch under the execution lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace lumo {

enum class CommandCode : int {
    Present = 1,
    Redraw = 2,
    AdvanceActions = 3,
    EngineProperty = 10,
    FilmProperty = 20,
    FilmMethod = 21,
    RemoveFilm = 22,
    RemoveFilmSubtree = 23,
    ActionProperty = 30,
    ActionMethod = 31,
    RemoveAction = 32,
};

// The value a property or method command carries: two words, a copied string
// (string properties) or a pointer (handle properties).
struct CommandValue {
    std::int32_t word0 = 0;
    std::int32_t word1 = 0;
    std::optional<std::string> text;
    const void* pointer = nullptr;
};

inline CommandValue words(std::int32_t word0, std::int32_t word1 = 0) {
    CommandValue value;
    value.word0 = word0;
    value.word1 = word1;
    return value;
}

struct Command {
    std::uint32_t sequence = 0;
    CommandCode code = CommandCode::Redraw;
    std::int32_t id = 0;      // property, method or setting
    std::int32_t target = 0;  // film or action
    CommandValue value;
};

inline Command makeCommand(CommandCode code, std::int32_t target = 0, std::int32_t id = 0,
                           CommandValue value = {}) {
    Command command;
    command.code = code;
    command.target = target;
    command.id = id;
    command.value = std::move(value);
    return command;
}

class CommandQueue {
public:
    void push(Command command) {
        std::lock_guard lock(mMutex);
        command.sequence = mSequence++;
        mPending.push_back(std::move(command));
    }

    // Takes the whole pending list; commands queued afterwards wait for the
    // next batch.
    std::vector<Command> detach() {
        std::vector<Command> batch;
        std::lock_guard lock(mMutex);
        batch.swap(mPending);
        return batch;
    }

    bool pending() {
        std::lock_guard lock(mMutex);
        return !mPending.empty();
    }

    void clear() {
        std::lock_guard lock(mMutex);
        mPending.clear();
    }

private:
    std::mutex mMutex;
    std::vector<Command> mPending;
    std::uint32_t mSequence = 0;
};

}  // namespace lumo
