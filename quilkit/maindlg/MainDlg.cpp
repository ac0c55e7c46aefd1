#include "MainDlg.h"

#include "../framework/Handles.h"
#include "../startup/LanguageTable.h"
#include "HidepathDlg.h"

namespace {

// The program runs elevated, so the extension is taken from the program's own folder
// by its full path, never found through the search order that includes the current
// folder; its own imports come from that folder and System32 alone.
UniqueModule LoadShellExtension() {
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return UniqueModule();
    char* name = path + length;
    while (name > path && name[-1] != '\\' && name[-1] != '/') --name;
    const char kFileName[] = "flintpop64.dll";
    if (static_cast<size_t>(name - path) + sizeof(kFileName) > sizeof(path)) return UniqueModule();
    lstrcpynA(name, kFileName, static_cast<int>(sizeof(kFileName)));

    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse them; the full path keeps the current
    // folder out of the library's own lookup there as well.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return UniqueModule(module);
}

}  // namespace

BOOL CMainDlg::ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

LRESULT CMainDlg::OnInitDialog() {
    CenterWindow();
    SetIcon(SM_CXICON, SM_CYICON, ICON_BIG);
    SetIcon(SM_CXSMICON, SM_CYSMICON, ICON_SMALL);

    if (CMessageLoop* loop = _Module.GetMessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }

    ApplyLanguageText(m_hWnd, IDC_STATIC_INSTALLER, kTextInstaller);
    ApplyLanguageText(m_hWnd, IDC_INSTALL, kTextInstall);
    ApplyLanguageText(m_hWnd, IDC_UNINSTALL, kTextUninstall);
    return TRUE;
}

void CMainDlg::OnDestroy() {
    if (CMessageLoop* loop = _Module.GetMessageLoop()) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

BOOL CMainDlg::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:
            PostQuitMessage(1);
            return TRUE;
        case IDCANCEL:
            PostQuitMessage(2);
            return TRUE;
        case IDC_INSTALL:
            if (code != BN_CLICKED) return FALSE;
            CallRegistrationExport("DllRegisterServer", "DllRegisterServer not found...", "Install failed...");
            return TRUE;
        case IDC_UNINSTALL:
            if (code != BN_CLICKED) return FALSE;
            CallRegistrationExport("DllUnregisterServer", "DllUnregisterServer not found...", "Uninstall failed...");
            return TRUE;
        case IDC_HIDEMARU:
            if (code != BN_CLICKED) return FALSE;
            ShowEditorPathDialog();
            return TRUE;
    }
    return FALSE;
}

void CMainDlg::CallRegistrationExport(const char* exportName, const char* missingText, const char* failedText) {
    UniqueModule library = LoadShellExtension();
    if (!library) {
        MessageBoxA(m_hWnd, "FlintPop64.dll not found...", "Error", MB_OK);
        return;
    }
    using RegistrationExport = HRESULT(STDAPICALLTYPE*)();
    auto registration =
        reinterpret_cast<RegistrationExport>(reinterpret_cast<void*>(GetProcAddress(library.Get(), exportName)));
    if (!registration) {
        library.Reset();
        MessageBoxA(m_hWnd, missingText, "Error", MB_OK);
        return;
    }
    if (SUCCEEDED(registration()))
        MessageBoxA(m_hWnd, "Success!", "Success", MB_OK);
    else
        MessageBoxA(m_hWnd, failedText, "Error", MB_OK);
}

void CMainDlg::SetIcon(int widthMetric, int heightMetric, WPARAM which) {
    // The window keeps using the icon, so it lives as long as the process.
    HANDLE icon = LoadImageA(_Module.Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR);
    SendMessageA(m_hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}
