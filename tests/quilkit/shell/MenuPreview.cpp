// Shows flintpop64.dll's menu the way a shell would, for a look or a screenshot: the
// handler is initialised with a folder background, adds its submenu to a popup menu of
// this window, and the popup opens with the submenu unfolded for a few seconds.
//   MenuPreview.exe <path of flintpop64.dll> <folder>
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>

namespace {

// {1035D880-537A-4B6D-A84F-9E7212E661DC}
const CLSID kClsid = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};

void Press(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void CALLBACK Step(HWND, UINT, UINT_PTR id, DWORD) {
    static int step = 0;
    switch (++step) {
        case 1:
            Press(VK_DOWN);
            Press(VK_DOWN);
            Press(VK_RIGHT);
            break;
        case 10:
            EndMenu();
            KillTimer(nullptr, id);
            break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    CoInitialize(nullptr);
    HMODULE library = LoadLibraryA(argv[1]);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    IShellExtInit* init = nullptr;
    IContextMenu* menu = nullptr;
    if (!getClassObject || FAILED(getClassObject(kClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init))))
        return 3;
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(argv[2]);
    if (FAILED(init->Initialize(folder, nullptr, nullptr)) ||
        FAILED(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu))))
        return 4;

    HWND window = CreateWindowExA(0, "STATIC", "Menu preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 480, 360,
                                  nullptr, nullptr, nullptr, nullptr);
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "&Open");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    menu->QueryContextMenu(popup, 2, 100, 200, CMF_NORMAL);
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, 2, "P&roperties");
    SetForegroundWindow(window);
    SetTimer(nullptr, 0, 300, Step);
    TrackPopupMenu(popup, TPM_LEFTALIGN, 160, 160, 0, window, nullptr);

    DestroyMenu(popup);
    menu->Release();
    init->Release();
    factory->Release();
    ILFree(folder);
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
