#pragma once
// The launchers of modes 1 and 5: start the command interpreter or the Hidemaru editor
// on the folder of the first selected path, and return without waiting for it. Both
// start nothing when the path list is empty.
#include <functional>
#include <string>
#include <vector>

#include "text/UiTexts.h"

// What mode 5 reads of the settings, passed in by the caller that owns them: the stored
// editor path (read again after each ask), the editor-path dialog (true after OK), and the
// user's language for the error that ends it.
struct EditorSettings {
    std::function<std::wstring()> storedPath;
    std::function<bool()> askForPath;
    CUiTexts texts;
};

// Mode 1: "%comspec% /K pushd "<folder>"".
void OpenCommandPrompt(const std::vector<std::wstring>& paths);

// Mode 5: the stored editor path, then Hidemaru in the 64-bit and the 32-bit Program
// Files folders and the two places of older versions, then the editor-path dialog
// (retrying after OK); "Hidemaru.exe not found..." when the user cancels it.
// True when the editor was started.
bool OpenInEditor(const std::vector<std::wstring>& paths, const EditorSettings& settings);
