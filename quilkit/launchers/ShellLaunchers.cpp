#include "ShellLaunchers.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "framework/Handles.h"
#include "text/LongPath.h"
#include "resource.h"

namespace {

// pushd, unlike cd, also changes the drive and maps a UNC path to a drive letter.
const wchar_t kPromptCommand[] = L" /K pushd \"";
const wchar_t kEditorOptions[] = L" /g /d\"";
const wchar_t kEditorInProgramFiles[] = L"\\Hidemaru\\Hidemaru.exe";
// The editor's places from older versions, last: the short name exists only where the
// volume still makes 8.3 names.
const wchar_t* const kLegacyEditors[] = {L"C:\\Progra~1\\Hidemaru\\Hidemaru.exe",
                                         L"C:\\Program files (x86)\\Hidemaru\\Hidemaru.exe"};

// The longest command line CreateProcess takes, its terminator included.
constexpr size_t kMaxCommandLine = 32767;

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first path when it is a folder, else the folder that holds it.
bool TargetFolder(const std::vector<std::wstring>& paths, std::wstring& folder) {
    if (paths.empty()) return false;
    folder = paths.front();
    if (!IsFolder(folder)) folder = ParentFolder(folder);
    // "C:" alone would name the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return true;
}

std::wstring Unquoted(std::wstring text) {
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') return text.substr(1, text.size() - 2);
    return text;
}

// "<program>"<options><folder>" with the program named whole in quotes: unquoted,
// "D:\My Tools\Hidemaru.exe" would first start D:\My.exe.
std::wstring BuildCommand(const std::wstring& program, const wchar_t* options, const std::wstring& folder) {
    return L"\"" + Unquoted(program) + L"\"" + options + folder + L"\"";
}

bool Start(const std::wstring& program, const wchar_t* options, const std::wstring& folder) {
    std::wstring command = BuildCommand(program, options, folder);
    if (command.size() >= kMaxCommandLine) return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    UniqueHandle process(started.hProcess), thread(started.hThread);
    return true;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    std::wstring folder = SUCCEEDED(hr) && path ? path : L"";
    CoTaskMemFree(path);
    return folder;
}

// Hidemaru in the Program Files folders where this system has them, then the old places;
// each place once.
std::vector<std::wstring> BuiltInEditors() {
    std::vector<std::wstring> editors;
    auto add = [&editors](const std::wstring& editor) {
        for (const std::wstring& known : editors)
            if (lstrcmpiW(known.c_str(), editor.c_str()) == 0) return;
        editors.push_back(editor);
    };
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFilesX64, &FOLDERID_ProgramFilesX86}) {
        const std::wstring folder = KnownFolder(*id);
        if (!folder.empty()) add(folder + kEditorInProgramFiles);
    }
    for (const wchar_t* legacy : kLegacyEditors) add(legacy);
    return editors;
}

bool StartBuiltInEditor(const std::wstring& folder) {
    for (const std::wstring& editor : BuiltInEditors())
        if (Start(editor, kEditorOptions, folder)) return true;
    return false;
}

std::wstring CommandInterpreter() {
    const DWORD size = GetEnvironmentVariableW(L"comspec", nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"comspec", &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}

}  // namespace

void OpenCommandPrompt(const std::vector<std::wstring>& paths) {
    std::wstring folder;
    if (!TargetFolder(paths, folder)) return;
    Start(CommandInterpreter(), kPromptCommand, folder);
}

bool OpenInEditor(const std::vector<std::wstring>& paths, const EditorSettings& settings) {
    std::wstring folder;
    if (!TargetFolder(paths, folder)) return false;
    for (;;) {
        const std::wstring editor = settings.storedPath();
        // An empty (or unreadable) stored path cannot start anything: go straight on.
        if (!editor.empty() && Start(editor, kEditorOptions, folder)) return true;
        if (StartBuiltInEditor(folder)) return true;
        if (!settings.askForPath()) break;
    }
    MessageBoxW(nullptr, settings.texts.Text(IDS_EDITOR_NOT_STARTED).c_str(),
                settings.texts.Text(IDS_TITLE_ERROR).c_str(), MB_OK);
    return false;
}
