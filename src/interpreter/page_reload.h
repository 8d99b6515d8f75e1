// Finding the reader's place again in a scenario the author has just edited
// and reloaded. Addresses move with every line added or removed above them,
// so a place is found again by what it is, not by its number: the n-th
// instruction of its kind (its command word) after the nearest label before
// it. Labels are what an author keeps while rewriting the text around them.
#pragma once

namespace zelk {

class Script;

// Where the instruction at `address` of `before` stands in `after`:
//  - the label before it in `before` is looked up in `after` (a label that
//    is gone counts from the script's start instead);
//  - from there, up to the label that followed it in `before` (or the end),
//    the instruction with the same word and the same count;
//  - with fewer of them now, the last of them in that stretch; with none,
//    the label itself.
// An address past the end of `before` stays past the end of `after`.
long FindAgain(const Script& before, long address, const Script& after);

// The page start of a wait for choices ("select") or for scenario buttons
// ("selecter"): the start of the run of "item" (or "er"/"ercg")
// instructions right before it, which make them, if-blocks around some of
// them included. Any other instruction, or a wait with none of them right
// before it, is its own start.
long ChoicesStart(const Script& script, long address);

}  // namespace zelk
