#include "ShellLaunchers.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "../maindlg/HidepathDlg.h"
#include "../maindlg/SettingsStore.h"
#include "../startup/PathList.h"

namespace {

// pushd, unlike cd, also changes the drive and maps a UNC path to a drive letter.
const char kPromptCommand[] = " /K pushd \"";
const char kEditorOptions[] = " /g /d\"";
const char kFirstBuiltInEditor[] = "C:\\Progra~1\\Hidemaru\\Hidemaru.exe";
const char kSecondBuiltInEditor[] = "C:\\Program files (x86)\\Hidemaru\\Hidemaru.exe";

// List-file lines reach 519 characters, so the folder buffer holds those.
constexpr int kFolderSize = CPathList::kLineBufferSize;
constexpr int kCommandSize = 2048;

bool TargetFolder(const std::vector<std::string>& paths, char (&folder)[kFolderSize]) {
    if (paths.empty()) return false;
    lstrcpynA(folder, paths.front().c_str(), kFolderSize);
    if (!PathIsDirectoryA(folder)) PathRemoveFileSpecA(folder);
    return true;
}

// ""<program>"<options><folder>"", or false when it does not fit. The program is named
// whole in quotes: unquoted, "D:\My Tools\Hidemaru.exe" would first start D:\My.exe.
bool BuildCommand(char (&command)[kCommandSize], const char* program, const char* options, const char* folder) {
    char unquoted[kCommandSize];
    lstrcpynA(unquoted, program, kCommandSize);
    PathUnquoteSpacesA(unquoted);
    const int length = snprintf(command, kCommandSize, "\"%s\"%s%s\"", unquoted, options, folder);
    return length > 0 && length < kCommandSize;
}

bool Start(const char* program, const char* options, const char* folder) {
    char command[kCommandSize];
    return BuildCommand(command, program, options, folder) && WinExec(command, SW_SHOWNORMAL) > 31;
}

void ReadStoredEditorPath(char* path, DWORD size) {
    CSettingsStore store;
    if (!store.Open() || !store.ReadEditorPath(path, size)) path[0] = '\0';
}

}  // namespace

void OpenCommandPrompt(const std::vector<std::string>& paths) {
    char folder[kFolderSize];
    if (!TargetFolder(paths, folder)) return;
    char interpreter[MAX_PATH + 1] = {};
    if (GetEnvironmentVariableA("comspec", interpreter, MAX_PATH) >= MAX_PATH) interpreter[0] = '\0';
    Start(interpreter, kPromptCommand, folder);
}

bool OpenInEditor(const std::vector<std::string>& paths) {
    char folder[kFolderSize];
    if (!TargetFolder(paths, folder)) return false;
    for (;;) {
        char editor[CSettingsStore::kReadBytes + 6];
        ReadStoredEditorPath(editor, sizeof(editor));
        // An empty (or unreadable) stored path cannot start anything: go straight on.
        if (editor[0] != '\0' && Start(editor, kEditorOptions, folder)) return true;
        if (Start(kFirstBuiltInEditor, kEditorOptions, folder)) return true;
        if (Start(kSecondBuiltInEditor, kEditorOptions, folder)) return true;
        if (ShowEditorPathDialog() != IDOK) break;
    }
    MessageBoxA(nullptr, "Hidemaru.exe not found...", "Error", MB_OK);
    return false;
}
