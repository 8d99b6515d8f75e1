#include "interpreter/page_reload.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "scenario/script.h"

namespace zelk {

namespace {

int ToIndex(long address) {
    return static_cast<int>(address);
}

// How many instructions with `word` stand in [from, to].
int CountWord(const Script& script, int from, int to, std::string_view word) {
    int count = 0;
    for (int i = from; i <= to; ++i) {
        if (script.Word(i) == word) ++count;
    }
    return count;
}

}  // namespace

long FindAgain(const Script& before, long address, const Script& after) {
    if (address < 0) return 0;
    const int at = ToIndex(address);
    if (at >= before.Count()) return std::max(after.Count(), 0);

    const std::string word(before.Word(at));
    std::string label = before.LabelBefore(at);
    int start = after.LabelAddress(label);
    if (start < 0) {
        label.clear();
        start = 0;
    }
    const int labelAddress = before.LabelAddress(label);
    const int ordinal = CountWord(before, labelAddress, at, word);

    // The stretch ends where the label that followed in the old script now
    // stands, when it is still there and still after the start.
    int end = after.Count();
    const int nextBefore = before.NextLabelAddress(labelAddress);
    if (nextBefore < before.Count()) {
        const int nextAfter = after.LabelAddress(before.LabelBefore(nextBefore));
        if (nextAfter > start) end = nextAfter;
    }

    int seen = 0;
    int last = -1;
    for (int i = start; i < end; ++i) {
        if (after.Word(i) != word) continue;
        last = i;
        if (++seen == ordinal) return i;
    }
    return last >= 0 ? last : start;
}

long ChoicesStart(const Script& script, long address) {
    const std::string_view wait = script.Word(ToIndex(address));
    const auto makes = [&](std::string_view word) {
        if (wait == "select") return word == "item";
        if (wait == "selecter") return word == "er" || word == "ercg";
        return false;
    };
    // Conditional items come as if-blocks, which the converter has made
    // into jumps and a closing "nop": the run goes on through them. They
    // change nothing, so running them again takes the same way again.
    const auto flows = [](std::string_view word) {
        return word == "if" || word == "go" || word == "nop";
    };
    long start = address;
    bool made = false;
    // A label may be where the reader jumped in: the run starts there at the
    // latest.
    while (start > 0 && script.NextLabelAddress(ToIndex(start - 1)) != start) {
        const std::string_view word = script.Word(ToIndex(start - 1));
        if (makes(word)) {
            made = true;
        } else if (!flows(word)) {
            break;
        }
        --start;
    }
    return made ? start : address;
}

}  // namespace zelk
