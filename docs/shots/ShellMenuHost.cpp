#include "ShellMenuHost.h"

#include <thread>

#include "Driver.h"
#include "FlintPop.h"

namespace {

constexpr UINT kFirstExtensionId = 100;

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueAny<WindowTraits>;

struct ItemListTraits {
    using Handle = PIDLIST_ABSOLUTE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ILFree(h); }
};
using UniqueItemList = UniqueAny<ItemListTraits>;

struct MenuSearch {
    DWORD process;
    std::vector<HWND> menus;
};

BOOL CALLBACK CollectMenu(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<MenuSearch*>(lParam);
    wchar_t className[16] = L"";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    GetClassNameW(window, className, 16);
    if (process == search->process && IsWindowVisible(window) && lstrcmpW(className, L"#32768") == 0)
        search->menus.push_back(window);
    return TRUE;
}

// The visible popup menus of this process: the context menu and its open submenus.
std::vector<HWND> OpenMenus() {
    MenuSearch search = {GetCurrentProcessId(), {}};
    EnumWindows(CollectMenu, reinterpret_cast<LPARAM>(&search));
    return search.menus;
}

std::vector<HWND> WaitForMenus(size_t count) {
    for (int i = 0; i < 200; ++i, Sleep(50))
        if (OpenMenus().size() >= count) return OpenMenus();
    return OpenMenus();
}

void PressKey(HWND owner, WPARAM key) {
    PostMessageW(owner, WM_KEYDOWN, key, 0);
    PostMessageW(owner, WM_KEYUP, key, 0xC0000000);
}

// Stand-ins for the shell's own items around the extension's submenu.
UniqueMenu HostMenu() {
    UniqueMenu menu(CreatePopupMenu());
    AppendMenuW(menu.Get(), MF_STRING, 1, L"&Open");
    AppendMenuW(menu.Get(), MF_STRING, 2, L"Open wit&h...");
    AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.Get(), MF_STRING, 3, L"Cu&t");
    AppendMenuW(menu.Get(), MF_STRING, 4, L"&Copy");
    AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.Get(), MF_STRING, 5, L"P&roperties");
    return menu;
}

}  // namespace

CShellMenuHost::CShellMenuHost(const std::string& dll) : m_library(LoadLibraryW(driver::Wide(dll).c_str())) {}

bool CShellMenuHost::Select(const std::string& folder, const std::vector<std::string>& names) {
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(m_library.Get(), "DllGetClassObject")));
    UniqueCom<IClassFactory> factory;
    UniqueCom<IShellExtInit> init;
    if (!getClassObject || FAILED(getClassObject(CLSID_FlintPopMenu, IID_IClassFactory, factory.Put())) ||
        FAILED(factory->CreateInstance(nullptr, IID_IShellExtInit, init.Put())))
        return false;

    const UniqueItemList parent(ILCreateFromPathW(driver::Wide(folder).c_str()));
    std::vector<UniqueItemList> items;
    std::vector<PCUIDLIST_RELATIVE> children;
    for (const std::string& name : names) {
        items.emplace_back(ILCreateFromPathW(driver::Wide(folder + "\\" + name).c_str()));
        if (items.back()) children.push_back(ILFindLastID(items.back().Get()));
    }
    UniqueCom<IDataObject> selection;
    const bool made = parent && children.size() == names.size() &&
                      SUCCEEDED(CIDLData_CreateFromIDArray(parent.Get(), UINT(children.size()), children.data(),
                                                           reinterpret_cast<IDataObject**>(selection.Put())));
    return made && init->Initialize(nullptr, selection.Get(), nullptr) == S_OK &&
           SUCCEEDED(init->QueryInterface(IID_IContextMenu, m_menu.Put()));
}

bool CShellMenuHost::Show(POINT where, const std::function<void(const std::vector<HWND>& menus)>& whileOpen) {
    UniqueMenu menu = HostMenu();
    if (!m_menu ||
        FAILED(m_menu->QueryContextMenu(menu.Get(), 3, kFirstExtensionId, kFirstExtensionId + 99, CMF_NORMAL)))
        return false;
    // The menu's keys go to the thread of its owner, an invisible window of this one.
    const UniqueWindow ownerWindow(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, where.x, where.y, 1, 1,
                                                   nullptr, nullptr, nullptr, nullptr));
    HWND owner = ownerWindow.Get();
    SetForegroundWindow(owner);
    std::thread presenter([&] {
        WaitForMenus(1);
        // The submenu's access key opens it with its first item selected, as a user would.
        PostMessageW(owner, WM_CHAR, L'v', 0);
        whileOpen(WaitForMenus(2));
        PressKey(owner, VK_ESCAPE);
        PressKey(owner, VK_ESCAPE);
    });
    TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, where.x, where.y, 0,
                   owner, nullptr);
    presenter.join();
    return true;
}
