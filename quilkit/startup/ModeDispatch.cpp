#include "ModeDispatch.h"

#include "../tools/EngineHash.h"
#include "../tools/Engine_ExtCleaner.h"
#include "../tools/Engine_TimeChanger.h"
#include "../tools/ShellLaunchers.h"

void RunLauncher(int mode, const std::vector<std::string>& paths) {
    if (mode == 1) OpenCommandPrompt(paths);
    if (mode == 5) OpenInEditor(paths);
}

CToolRun::Job AskFileTool(int mode, HWND owner, const std::vector<std::string>& paths) {
    switch (mode) {
        case 2:
            return AskExtCleaner(owner, paths);
        case 3:
            return AskHashCheck(owner, paths);
        case 4:
            return AskTimeChanger(owner, paths);
    }
    return nullptr;
}
