#include "ModeDispatch.h"

void RunModeTool(int mode) {
    switch (mode) {
        default:
            // Mode 0 has nothing to run: its main dialog is the program.
            break;
    }
}
