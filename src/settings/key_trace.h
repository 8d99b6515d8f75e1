// A record of the keys the player reads from the game's system files. The
// authors' reference is checked against it: its test plays games with
// ZELK_KEY_TRACE naming a file, and every key written there must be
// documented. Without the variable nothing is recorded, and a lookup in the
// settings model pays one test of an empty name.
#pragma once

#include <string>

namespace zelk {

// The file ZELK_KEY_TRACE names, read once; empty when tracing is off.
const std::string& KeyTraceFile();

// Appends "file<TAB>section<TAB>key" to the trace file, once for each
// distinct line; an empty key stands for the section read as a whole.
void TraceKeyRead(const std::string& file, const std::string& section, const std::string& key);

}  // namespace zelk
