// A save slot of any content loaded into the running demo game: the slot file
// is read as the player reads it, and the document restored through every
// component (game view, graphics driver, interpreter, sound driver) as
// loading a slot from the save screen does, then shown; a slot the player
// refuses (incomplete, another game's, a place outside its scripts) leaves
// the running game as it was. Every load replaces
// the whole scene, so one input does not need the ones before it. With
// ZELK_FUZZ_STATE set, each load writes the scripted input's state line to
// standard error. See save_slot_player.h for the input's form.

#include "app/input_script.h"
#include "save_slot_player.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    zelk::fuzz::OpenPlayer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!zelk::fuzz::WriteSlot(data, size)) return 0;
    zelk::clsVell* vell = zelk::Vell();
    zelk::clsSaveData& sd = *vell->SD();
    if (sd.Load(zelk::fuzz::kSlot)) {
        if (vell->VellMode() != zelk::kModeGame) vell->ChangeMode(zelk::kModeGame, 7);
        vell->SDRestoreData(true);
        vell->Lumo()->DrawActivate(1, 0);
        if (std::getenv("ZELK_FUZZ_STATE"))
            std::fprintf(stderr, "%s\n", zelk::InputScript::StateLine().c_str());
    }
    zelk::EventPump::Instance().ProcessPendingEvents();
    zelk::QuestionBox::Instance().ClearAsked();
    return 0;
}
