#include "ModeDispatch.h"

#include "../tools/EngineHash.h"
#include "../tools/Engine_ExtCleaner.h"
#include "../tools/Engine_TimeChanger.h"
#include "../tools/ShellLaunchers.h"

void RunModeTool(int mode) {
    switch (mode) {
        case 1:
            OpenCommandPrompt();
            break;
        case 5:
            OpenInEditor();
            break;
        case 2: {
            CEngine_ExtCleaner engine;
            RunExtCleaner(engine);
            break;
        }
        case 3: {
            CEngineHash engine;
            RunHashCheck(engine);
            break;
        }
        case 4: {
            CEngine_TimeChanger engine;
            RunTimeChanger(engine);
            break;
        }
        default:
            // Mode 0 has nothing to run: its main dialog is the program.
            break;
    }
}
