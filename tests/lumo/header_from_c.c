/* The public header compiles as C and gives C the same identifiers. */
#include "lumo.h"

int lumo_header_in_c(void) {
    LumoSurface surface = {0};
    LumoNotifyWindow window = {0};
    (void)surface;
    (void)window;
    return FP_ALPHA == 0x10005000 && AS_FINISHING == 0x20010002 && RF_RULE == 0x12000010 &&
           LS_NOTIFY_MESSAGE == 0x20008 && EV_TEXT_MARK_T == 16;
}
