// A save slot of any content read as the save screen and a load read it,
// with no restore of the scene: what the save screen shows of the slot, and
// the load's reading and checking of the document against the running demo
// game. Without the restore's pictures and sounds this runs thousands of
// inputs a second; fuzz_save_restore takes the accepted ones through every
// component. See save_slot_player.h for the input's form.

#include "modes/mode_saveload_preview.h"
#include "save_slot_player.h"
#include "settings/ini_file.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    zelk::fuzz::OpenPlayer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!zelk::fuzz::WriteSlot(data, size)) return 0;
    zelk::clsSaveData& sd = *zelk::Vell()->SD();
    zelk::INIFile shown;
    if (sd.ReadSlotDocument(zelk::fuzz::kSlot, shown)) zelk::SlotSummaryText(shown);
    if (sd.Load(zelk::fuzz::kSlot)) {
        std::string scenario;
        long number = 0;
        for (long k = 0; k < sd.HistoryCount(); ++k)
            sd.GetHistory(k, scenario, number);
    }
    return 0;
}
