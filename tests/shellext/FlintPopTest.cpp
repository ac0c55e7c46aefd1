// flintpop64.dll in-process, a recorder named VexQuilkit.exe beside it; Windows 11's
// command is held to the classic menu's items.
#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>

#include "ShellTestSupport.h"
#include "resource.h"
#include "text/WideText.h"
#include "startup/CommandLine.h"

using Microsoft::WRL::ComPtr;
using namespace shelltest;

namespace {

const char* const kClsid = "{1035D880-537A-4B6D-A84F-9E7212E661DC}";
const CLSID kClass = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};

// Empty when the bytes are not valid in the code page.
std::wstring Decode(const std::string& bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(std::max(0, MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                                &text[0], int(text.size()))));
    return text;
}

// The value of `attribute` on the first `element` of the package manifest the build makes.
std::string ManifestAttribute(const std::string& element, const std::string& attribute) {
    const std::string text = driver::ReadFile(VEX_APPX_MANIFEST);
    const size_t start = text.find("<" + element + " "), end = text.find('>', start);
    const size_t value = text.find(" " + attribute + "=\"", start) + attribute.size() + 3;
    if (start == std::string::npos || value > end) return "<missing>";
    return text.substr(value, text.find('"', value) - value);
}

// A command's title or tooltip, as Explorer asks for it.
using TextGetter = HRESULT (STDMETHODCALLTYPE IExplorerCommand::*)(IShellItemArray*, LPWSTR*);
std::wstring Text(IExplorerCommand* command, TextGetter get) {
    wchar_t* text = nullptr;
    EXPECT_EQ(S_OK, (command->*get)(nullptr, &text));
    const std::wstring copy = text ? text : L"<none>";
    CoTaskMemFree(text);
    return copy;
}
std::wstring Title(IExplorerCommand* command) { return Text(command, &IExplorerCommand::GetTitle); }
std::wstring ToolTip(IExplorerCommand* command) { return Text(command, &IExplorerCommand::GetToolTip); }

EXPCMDSTATE State(IExplorerCommand* command, IShellItemArray* items) {
    EXPCMDSTATE state = ECS_DISABLED;
    EXPECT_EQ(S_OK, command->GetState(items, FALSE, &state));
    return state;
}

// The shell's item array of `items`, as Explorer hands a selection to a command.
ComPtr<IShellItemArray> ItemArray(const std::vector<PIDLIST_ABSOLUTE>& items) {
    ComPtr<IShellItemArray> array;
    EXPECT_EQ(S_OK, SHCreateShellItemArrayFromIDLists(UINT(items.size()), const_cast<PCIDLIST_ABSOLUTE*>(items.data()),
                                                      &array));
    for (PIDLIST_ABSOLUTE item : items) ILFree(item);
    return array;
}

ComPtr<IShellItemArray> ItemArray(const std::vector<std::wstring>& paths) {
    std::vector<PIDLIST_ABSOLUTE> items;
    for (const std::wstring& path : paths) items.push_back(ILCreateFromPathW(path.c_str()));
    return ItemArray(items);
}

// The command line with the list file's name, which differs from start to start, taken out.
std::string WithoutListFile(const Record& record) {
    const size_t start = record.commandLine.find("/L \"");
    return start == std::string::npos ? record.commandLine : record.commandLine.substr(0, start);
}

std::wstring Lines(const std::vector<std::wstring>& paths) {
    std::wstring text;
    for (const std::wstring& path : paths) text += path + L"\r\n";
    return text;
}

// The text of the list file that the extension handed to the recorder, after its mark
// of UTF-8; the file is deleted, as VexQuilkit does.
std::wstring ListedText(const Record& record) {
    const std::wstring arguments = Decode(record.arguments, CP_UTF8), option = L"/L \"";
    const size_t start = arguments.find(option) + option.size();
    if (start < option.size() || arguments.back() != L'"') {
        ADD_FAILURE() << "no list file in " << record.arguments;
        return L"";
    }
    const std::wstring name = arguments.substr(start, arguments.size() - start - 1);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes(file == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    DeleteFileW(name.c_str());
    EXPECT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
    return Decode(bytes.substr(std::min<size_t>(3, read)), CP_UTF8);
}

// A selection as Explorer hands one over, the paths in CF_HDROP. Wine's own data object
// cannot carry a path beyond MAX_PATH: it makes no item identifier list for one.
class DroppedFiles final : public IDataObject {
public:
    explicit DroppedFiles(const std::vector<std::wstring>& paths) {
        for (const std::wstring& path : paths) m_names += path + L'\0';
        m_names += L'\0';
    }
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override {
        const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject);
        *object = known ? this : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    IFACEMETHODIMP_(ULONG) Release() override {
        const ULONG count = --m_references;
        if (count == 0) delete this;
        return count;
    }
    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        const size_t size = m_names.size() * sizeof(wchar_t);
        *medium = {TYMED_HGLOBAL, {}, nullptr};
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + size);
        auto* files = static_cast<DROPFILES*>(GlobalLock(medium->hGlobal));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        memcpy(files + 1, m_names.data(), size);
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~DroppedFiles() = default;
    std::wstring m_names;  // each ended by a null, the list by a second one
    ULONG m_references = 1;
};

class FlintPop : public testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        const std::string built = driver::QuilkitExe();
        Copy(built.substr(0, built.rfind('\\')) + "\\flintpop64.dll", m_dll);
        Copy(RecorderExe(), m_folder / "VexQuilkit.exe");
        ASSERT_NE(nullptr, m_library = LoadLibraryA(m_dll.c_str()));
        RecordTo(m_log);
    }
    void TearDown() override {
        RecordTo("");
        Export("DllUnregisterServer");
        FreeLibrary(m_library);
        CoUninitialize();
    }
    HRESULT Export(const char* name) {
        auto function = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(m_library, name)));
        return function ? function() : E_FAIL;
    }

    // The handler with `names` selected in the test's folder, in the shell's data object.
    ComPtr<IContextMenu> Menu(const std::vector<std::wstring>& names) {
        return MenuOf(nullptr, ShellSelection(Folder(), names).Get());
    }

    // The handler, registered, created through COM and initialised as the shell does with
    // a selection or, on a folder's background, with the folder, its menu queried.
    ComPtr<IContextMenu> MenuOf(PCIDLIST_ABSOLUTE folder, IDataObject* selection) {
        EXPECT_EQ(S_OK, Export("DllRegisterServer"));
        ComPtr<IShellExtInit> init;
        ComPtr<IContextMenu> menu;
        EXPECT_EQ(S_OK, CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&init)));
        if (!init || init->Initialize(folder, selection, nullptr) != S_OK || init.As(&menu) != S_OK) return nullptr;
        HMENU popup = CreatePopupMenu();
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 6), menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL));
        DestroyMenu(popup);
        return menu;
    }

    // Invokes the item at `offset` (from 0) and returns the record of what it started.
    Record Invoke(IContextMenu* menu, UINT offset) {
        const size_t before = Records(m_log).size();
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = MAKEINTRESOURCEA(offset);
        EXPECT_EQ(S_OK, menu->InvokeCommand(&info));
        return WaitForRecord(m_log, before);
    }

    // The classic menu's items, as its submenu shows them, and their help texts.
    std::vector<std::pair<std::wstring, std::wstring>> ClassicItems(IContextMenu* menu) {
        std::vector<std::pair<std::wstring, std::wstring>> items;
        HMENU popup = CreatePopupMenu();
        menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
        HMENU submenu = GetSubMenu(popup, 0);
        for (int i = 0; i < GetMenuItemCount(submenu); ++i) {
            wchar_t text[256] = L"", help[256] = L"";
            GetMenuStringW(submenu, i, text, 256, MF_BYPOSITION);
            menu->GetCommandString(GetMenuItemID(submenu, i) - 100, GCS_HELPTEXTW, nullptr,
                                   reinterpret_cast<CHAR*>(help), 256);
            items.emplace_back(text, help);
        }
        DestroyMenu(popup);
        return items;
    }

    // The command of Windows 11's menu, made by the DLL's class object, as Explorer's
    // surrogate makes it, for the class the built package manifest names.
    ComPtr<IExplorerCommand> RootCommand() {
        CLSID clsid = {};
        const std::wstring id = L"{" + driver::Wide(ManifestAttribute("com:Class", "Id")) + L"}";
        EXPECT_EQ(S_OK, CLSIDFromString(id.c_str(), &clsid)) << driver::Utf8(id);
        auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
            reinterpret_cast<void*>(GetProcAddress(m_library, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        ComPtr<IExplorerCommand> command;
        EXPECT_EQ(S_OK, getClassObject(clsid, IID_PPV_ARGS(&factory)));
        if (!factory) return nullptr;
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&command)));
        return command;
    }

    // The sub-commands, asked for `perCall` at a time.
    std::vector<ComPtr<IExplorerCommand>> SubCommands(IExplorerCommand* root, ULONG perCall) {
        ComPtr<IEnumExplorerCommand> commands;
        std::vector<ComPtr<IExplorerCommand>> all;
        EXPECT_EQ(S_OK, root->EnumSubCommands(&commands));
        if (!commands) return all;
        std::vector<IExplorerCommand*> slots(perCall);
        for (HRESULT hr = S_OK; hr == S_OK;) {
            ULONG fetched = 99;
            std::fill(slots.begin(), slots.end(), nullptr);
            hr = commands->Next(perCall, slots.data(), &fetched);
            EXPECT_EQ(hr == S_OK ? perCall : fetched, fetched);
            EXPECT_TRUE(hr == S_OK || hr == S_FALSE) << hr;
            for (ULONG i = 0; i < fetched && i < perCall; ++i) {
                EXPECT_NE(nullptr, slots[i]) << "slot " << i;
                if (!slots[i]) continue;
                all.emplace_back();
                all.back().Attach(slots[i]);
            }
        }
        return all;
    }

    // Invokes `command` on `items` and returns the record of what it started.
    Record Invoke(IExplorerCommand* command, IShellItemArray* items) {
        const size_t before = Records(m_log).size();
        EXPECT_EQ(S_OK, command->Invoke(items, nullptr));
        return WaitForRecord(m_log, before);
    }

    // What both menus show, in one language: the classic submenu's text and each item's
    // text and help; Windows 11's command titles and tooltips.
    struct MenuTexts {
        const wchar_t* submenu;
        const wchar_t* root;
        struct {
            const wchar_t* item;
            const wchar_t* title;  // the item without its access key
            const wchar_t* help;
        } tools[6];
    };
    void ExpectMenuTexts(const MenuTexts& expected) {
        driver::WriteFile(m_folder / "a.txt", "a");
        ComPtr<IContextMenu> menu = Menu({L"a.txt"});
        ASSERT_NE(nullptr, menu.Get());
        HMENU popup = CreatePopupMenu();
        menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
        wchar_t submenu[256] = L"";
        GetMenuStringW(popup, 0, submenu, 256, MF_BYPOSITION);
        DestroyMenu(popup);
        EXPECT_STREQ(expected.submenu, submenu);
        const auto classic = ClassicItems(menu.Get());
        ComPtr<IExplorerCommand> root = RootCommand();
        ASSERT_NE(nullptr, root.Get());
        EXPECT_EQ(expected.root, Title(root.Get()));
        ASSERT_EQ(6u, classic.size());
        ComPtr<IShellItemArray> items = ItemArray({Folder() + L"\\a.txt"});
        // However many sub-commands Explorer asks for at a time, they are the classic items in order.
        for (const ULONG perCall : {1u, 4u, 6u}) {
            const auto commands = SubCommands(root.Get(), perCall);
            ASSERT_EQ(6u, commands.size()) << perCall;
            for (size_t i = 0; i < 6; ++i) {
                EXPECT_EQ(expected.tools[i].item, classic[i].first) << i;
                EXPECT_EQ(expected.tools[i].help, classic[i].second) << i;
                EXPECT_EQ(expected.tools[i].title, Title(commands[i].Get())) << perCall << ", item " << i;
                EXPECT_EQ(expected.tools[i].help, ToolTip(commands[i].Get())) << i;
                EXPCMDFLAGS flags = ECF_HASSUBCOMMANDS;
                EXPECT_EQ(S_OK, commands[i]->GetFlags(&flags));
                EXPECT_EQ(ECF_DEFAULT, flags);
                EXPECT_EQ(ECS_ENABLED, State(commands[i].Get(), items.Get()));
                ComPtr<IEnumExplorerCommand> none;
                EXPECT_EQ(E_NOTIMPL, commands[i]->EnumSubCommands(&none));
            }
        }
    }

    std::wstring Folder() const { return Decode(m_folder.Path(), CP_ACP); }

    driver::TempFolder m_folder;
    std::string m_dll = m_folder / "flintpop64.dll", m_log = m_folder / "records.txt";
    HMODULE m_library = nullptr;
};

}  // namespace

TEST_F(FlintPop, RegisterCreatesTheEntriesAndUnregisterRemovesThem) {
    const std::string classKey = std::string("Software\\Classes\\CLSID\\") + kClsid;
    std::vector<std::string> handlers;
    for (const char* type : {"*", "Directory", "Directory\\Background"})
        handlers.push_back(std::string("Software\\Classes\\") + type + "\\shellex\\ContextMenuHandlers\\FlintPop");
    ASSERT_EQ(S_OK, Export("DllRegisterServer"));
    EXPECT_EQ("VexQuilkit Context Menu", MachineString(classKey));
    EXPECT_EQ(m_dll, MachineString(classKey + "\\InprocServer32"));
    EXPECT_EQ("Apartment", MachineString(classKey + "\\InprocServer32", "ThreadingModel"));
    for (const std::string& handler : handlers) EXPECT_EQ(kClsid, MachineString(handler));

    ASSERT_EQ(S_OK, Export("DllUnregisterServer"));
    EXPECT_EQ("<missing>", MachineString(classKey));
    for (const std::string& handler : handlers) EXPECT_EQ("<missing>", MachineString(handler));
    HKEY shellKey = nullptr;  // the shell's own key stays
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\Directory", 0, KEY_READ, &shellKey));
    RegCloseKey(shellKey);

    // For this user alone: the same keys under HKEY_CURRENT_USER, nothing for the machine.
    auto install = reinterpret_cast<HRESULT(WINAPI*)(BOOL, PCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(m_library, "DllInstall")));
    ASSERT_NE(nullptr, install);
    EXPECT_EQ(E_INVALIDARG, install(TRUE, L""));  // never taken for the machine-wide form
    EXPECT_EQ(E_INVALIDARG, install(TRUE, nullptr));
    EXPECT_EQ("<missing>", MachineString(classKey));
    ASSERT_EQ(S_OK, install(TRUE, L"user"));
    EXPECT_EQ(m_dll, UserString(classKey + "\\InprocServer32"));
    EXPECT_EQ("Apartment", UserString(classKey + "\\InprocServer32", "ThreadingModel"));
    for (const std::string& handler : handlers) EXPECT_EQ(kClsid, UserString(handler));
    EXPECT_EQ("<missing>", MachineString(classKey));
    ASSERT_EQ(S_OK, install(FALSE, L"user"));
    EXPECT_EQ("<missing>", UserString(classKey));
    for (const std::string& handler : handlers) EXPECT_EQ("<missing>", UserString(handler));
}

// NTFS allows a lone surrogate in a name, which UTF-8 cannot carry: the list file holds it
// in WTF-8 and VexQuilkit's log shows the name whole, not part of the selection.
TEST_F(FlintPop, ANameWithALoneSurrogateReachesTheLogWhole) {
    const std::wstring lone = Folder() + L"\\lone \xD800 name.txt", plain = Folder() + L"\\plain.txt";
    ComPtr<IDataObject> dropped;
    dropped.Attach(new DroppedFiles({lone, plain}));
    ComPtr<IContextMenu> menu = MenuOf(nullptr, dropped.Get());
    ASSERT_NE(nullptr, menu.Get());
    driver::Process app = driver::Start(driver::QuilkitExe(), Invoke(menu.Get(), 2).arguments);
    driver::Click(driver::WaitForWindow(app, driver::CaptionOf(IDD_HASHDLG)), IDOK);
    HWND log = driver::WaitForWindow(app, "Log");
    driver::WaitForLogText(log, "Error");
    // The log's own UTF-16 text: a UTF-8 copy would show U+FFFD for the lone surrogate either way.
    HWND control = GetDlgItem(log, IDC_LOG);
    std::wstring text(size_t(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(size_t(SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    EXPECT_NE(std::wstring::npos, text.find(lone));
    EXPECT_NE(std::wstring::npos, text.find(plain));
    EXPECT_EQ(std::wstring::npos, text.find(L'\xFFFD'));
    driver::Close(log);
    EXPECT_EQ(0, driver::WaitForExit(app));
}

// A verb string where bits 16 to 31 of its address are clear is still a verb, not an item's offset.
TEST_F(FlintPop, AVerbStringAtAnyAddressNamesItsItem) {
    ASSERT_TRUE(CreateDirectoryA((m_folder / "src").c_str(), nullptr));
    ComPtr<IContextMenu> menu = Menu({L"src"});
    ASSERT_NE(nullptr, menu.Get());
    char* verb = nullptr;
    for (uintptr_t address = 0x100000000ull; !verb && address < 0x1000000000ull; address += 0x100000000ull)
        verb = static_cast<char*>(
            VirtualAlloc(reinterpret_cast<void*>(address), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, verb);
    ASSERT_EQ(0u, (reinterpret_cast<uintptr_t>(verb) >> 16) & 0xFFFF);
    lstrcpyA(verb, "vexquilkit.verify");
    const size_t before = Records(m_log).size();
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = verb;
    EXPECT_EQ(S_OK, menu->InvokeCommand(&info));
    CCommandLine commandLine;
    commandLine.Parse(ToUtf16(driver::Wide(WaitForRecord(m_log, before).arguments)));
    EXPECT_EQ(6, commandLine.Mode());
    VirtualFree(verb, 0, MEM_RELEASE);
}

TEST_F(FlintPop, JapaneseSelectionReachesVexQuilkitThroughEachItem) {
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    // My Documents, データ 1, 新しい フォルダ, 表 (0x955C: a second byte that is a backslash)
    const std::vector<std::wstring> names = {L"My Documents", L"\u30c7\u30fc\u30bf 1",
                                             L"\u65b0\u3057\u3044 \u30d5\u30a9\u30eb\u30c0", L"\u8868"};
    std::vector<std::wstring> selection;
    for (const std::wstring& name : names) {
        selection.push_back(Folder() + L"\\" + name);
        ASSERT_TRUE(CreateDirectoryW(selection.back().c_str(), nullptr));
    }
    ComPtr<IContextMenu> menu = Menu(names);
    ASSERT_NE(nullptr, menu.Get());
    for (UINT offset = 0; offset < 6; ++offset) {
        const Record record = Invoke(menu.Get(), offset);
        EXPECT_EQ(0, lstrcmpiA((m_folder / "VexQuilkit.exe").c_str(), record.image.c_str())) << record.image;
        CCommandLine commandLine;
        commandLine.Parse(ToUtf16(driver::Wide(record.arguments)));
        EXPECT_EQ(int(offset) + 1, commandLine.Mode()) << record.arguments;
        EXPECT_TRUE(commandLine.ListFiles()) << record.arguments;
        EXPECT_EQ(1u, commandLine.PathTokens().size()) << record.arguments;
        EXPECT_EQ(Lines(selection), ListedText(record));
    }
}

// Names that no code page holds and a path far beyond MAX_PATH, with the list file in a
// temporary folder whose own name no code page holds.
TEST_F(FlintPop, NamesOutsideAnyCodePageAndLongPathsReachTheListFileWhole) {
    const std::wstring extended = L"\\\\?\\" + Folder() + L"\\", temp = Folder() + L"\\temp \U0001F600\\";
    std::wstring deep;
    for (wchar_t level = L'a'; level < L'i'; ++level) {
        deep += std::wstring(40, level) + L"\\";
        ASSERT_TRUE(CreateDirectoryW((extended + deep).c_str(), nullptr));
    }
    const std::vector<std::wstring> names = {L"\U0001F600.txt", L"\u65E5\u672C\u8A9E.txt", L"caf\u00E9.txt",
                                             deep + L"long.txt"};
    std::vector<std::wstring> selection;
    for (const std::wstring& name : names) {
        selection.push_back(Folder() + L"\\" + name);
        CloseHandle(CreateFileW((extended + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }
    ASSERT_GT(selection.back().size(), 300u);
    ComPtr<IDataObject> dropped;
    dropped.Attach(new DroppedFiles(selection));
    ComPtr<IContextMenu> menu = MenuOf(nullptr, dropped.Get());
    ASSERT_NE(nullptr, menu.Get());
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    wchar_t usualTemp[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"TMP", usualTemp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    const Record record = Invoke(menu.Get(), 2);
    SetEnvironmentVariableW(L"TMP", usualTemp);

    const std::wstring started = L"\"" + Folder() + L"\\VexQuilkit.exe\" /M3 /L \"" + temp + L"vqk";
    EXPECT_EQ(started, Decode(record.commandLine, CP_UTF8).substr(0, started.size())) << record.commandLine;
    EXPECT_EQ(Lines(selection), ListedText(record));

    // The background of that folder selects the folder.
    PIDLIST_ABSOLUTE background = ILCreateFromPathW(temp.c_str());
    menu = MenuOf(background, nullptr);
    ILFree(background);
    ASSERT_NE(nullptr, menu.Get());
    EXPECT_EQ(Lines({temp.substr(0, temp.size() - 1)}), ListedText(Invoke(menu.Get(), 0)));
    for (const std::wstring& name : names) DeleteFileW((extended + name).c_str());
    for (; !deep.empty(); deep.erase(deep.rfind(L'\\', deep.size() - 2) + 1))
        RemoveDirectoryW((extended + deep).c_str());
}

// Windows 11's command: "VexQuilkit" with VexQuilkit's icon and a submenu, offered wherever
// the classic menu is (files, folders, a folder's background) and nowhere else.
TEST_F(FlintPop, TheWindows11CommandIsVexQuilkitWithASubmenuWhereTheClassicMenuIs) {
    EXPECT_EQ("flintpop64.dll", ManifestAttribute("com:Class", "Path"));
    EXPECT_EQ(ManifestAttribute("com:Class", "Id"), ManifestAttribute("desktop5:Verb", "Clsid"));
    ComPtr<IExplorerCommand> root = RootCommand();
    ASSERT_NE(nullptr, root.Get());
    EXPECT_EQ(L"VexQuilkit", Title(root.Get()));
    EXPCMDFLAGS flags = ECF_DEFAULT;
    EXPECT_EQ(S_OK, root->GetFlags(&flags));
    EXPECT_EQ(ECF_HASSUBCOMMANDS, flags);
    wchar_t* icon = nullptr;
    ASSERT_EQ(S_OK, root->GetIcon(nullptr, &icon));
    EXPECT_EQ(Folder() + L"\\VexQuilkit.exe,0", icon);
    CoTaskMemFree(icon);
    HICON large = nullptr;  // the program the icon names has one there
    EXPECT_EQ(1u, ExtractIconExW(driver::Wide(driver::QuilkitExe()).c_str(), 0, &large, nullptr, 1));
    DestroyIcon(large);

    driver::WriteFile(m_folder / "a.txt", "a");
    ASSERT_TRUE(CreateDirectoryA((m_folder / "src").c_str(), nullptr));
    PIDLIST_ABSOLUTE computer = nullptr;  // This PC: no path in the file system
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer));
    const struct {
        const char* what;
        ComPtr<IShellItemArray> items;
        EXPCMDSTATE state;
    } cases[] = {
        {"a file", ItemArray({Folder() + L"\\a.txt"}), ECS_ENABLED},
        {"a folder and a file", ItemArray({Folder() + L"\\src", Folder() + L"\\a.txt"}), ECS_ENABLED},
        {"a background (its folder)", ItemArray({Folder()}), ECS_ENABLED},
        {"This PC", ItemArray(std::vector<PIDLIST_ABSOLUTE>{computer}), ECS_HIDDEN},
        {"nothing", nullptr, ECS_HIDDEN},
    };
    for (const auto& c : cases) EXPECT_EQ(c.state, State(root.Get(), c.items.Get())) << c.what;
    EXPECT_EQ(E_NOTIMPL, root->Invoke(cases[0].items.Get(), nullptr));
}

// Every locale but Japanese (Japan) reads the menus in English.
TEST_F(FlintPop, BothMenusReadEnglishTexts) {
    ExpectMenuTexts(
        {L"&VexQuilkit",
         L"VexQuilkit",
         {{L"Open Command &Prompt Here", L"Open Command Prompt Here",
           L"Opens a command prompt in the selected folder."},
          {L"&Clean Build Files...", L"Clean Build Files...", L"Deletes files by extension to the recycle bin."},
          {L"Check &Hashes...", L"Check Hashes...", L"Shows the MD5, SHA-1 and SHA-256 digests of the files."},
          {L"Set File &Times...", L"Set File Times...", L"Sets the three time stamps of files and folders."},
          {L"Open in Hidemaru &Editor", L"Open in Hidemaru Editor",
           L"Opens the selected folder in the Hidemaru editor."},
          {L"&Verify Checksums", L"Verify Checksums", L"Checks files against the checksum files selected or found."}}});
}

// Run with LC_ALL=ja_JP.UTF-8 (locale 0x0411): the access key follows a Japanese text, and
// Windows 11's menu drops it whole.
TEST_F(FlintPop, BothMenusReadJapaneseTexts) {
    ASSERT_EQ(0x0411u, GetUserDefaultLCID()) << "run with LC_ALL=ja_JP.UTF-8";
    ExpectMenuTexts({
        L"&VexQuilkit",
        L"VexQuilkit",
        {// コマンド プロンプトをここで開く(&P); 選んだフォルダーでコマンド プロンプトを開きます。
         {L"\u30B3\u30DE\u30F3\u30C9 \u30D7\u30ED\u30F3\u30D7\u30C8\u3092\u3053\u3053\u3067\u958B"
          L"\u304F(&P)",
          L"\u30B3\u30DE\u30F3\u30C9 \u30D7\u30ED\u30F3\u30D7\u30C8\u3092\u3053\u3053\u3067\u958B"
          L"\u304F",
          L"\u9078\u3093\u3060\u30D5\u30A9\u30EB\u30C0\u30FC\u3067\u30B3\u30DE\u30F3\u30C9 \u30D7"
          L"\u30ED\u30F3\u30D7\u30C8\u3092\u958B\u304D\u307E\u3059\u3002"},
         // ビルド ファイルを削除(&C)...; 指定した拡張子のファイルをごみ箱に移動します。
         {L"\u30D3\u30EB\u30C9 \u30D5\u30A1\u30A4\u30EB\u3092\u524A\u9664(&C)...",
          L"\u30D3\u30EB\u30C9 \u30D5\u30A1\u30A4\u30EB\u3092\u524A\u9664...",
          L"\u6307\u5B9A\u3057\u305F\u62E1\u5F35\u5B50\u306E\u30D5\u30A1\u30A4\u30EB\u3092\u3054"
          L"\u307F\u7BB1\u306B\u79FB\u52D5\u3057\u307E\u3059\u3002"},
         // ハッシュを確認(&H)...; ファイルの MD5、SHA-1、SHA-256 ダイジェストを表示します。
         {L"\u30CF\u30C3\u30B7\u30E5\u3092\u78BA\u8A8D(&H)...", L"\u30CF\u30C3\u30B7\u30E5\u3092\u78BA\u8A8D...",
          L"\u30D5\u30A1\u30A4\u30EB\u306E MD5\u3001SHA-1\u3001SHA-256 \u30C0\u30A4\u30B8\u30A7"
          L"\u30B9\u30C8\u3092\u8868\u793A\u3057\u307E\u3059\u3002"},
         // ファイルの日時を設定(&T)...; ファイルとフォルダーの作成日時、アクセス日時、更新日時を設定します。
         {L"\u30D5\u30A1\u30A4\u30EB\u306E\u65E5\u6642\u3092\u8A2D\u5B9A(&T)...",
          L"\u30D5\u30A1\u30A4\u30EB\u306E\u65E5\u6642\u3092\u8A2D\u5B9A...",
          L"\u30D5\u30A1\u30A4\u30EB\u3068\u30D5\u30A9\u30EB\u30C0\u30FC\u306E\u4F5C\u6210\u65E5"
          L"\u6642\u3001\u30A2\u30AF\u30BB\u30B9\u65E5\u6642\u3001\u66F4\u65B0\u65E5\u6642\u3092"
          L"\u8A2D\u5B9A\u3057\u307E\u3059\u3002"},
         // 秀丸エディタで開く(&E); 選んだフォルダーを秀丸エディタで開きます。
         {L"\u79C0\u4E38\u30A8\u30C7\u30A3\u30BF\u3067\u958B\u304F(&E)",
          L"\u79C0\u4E38\u30A8\u30C7\u30A3\u30BF\u3067\u958B\u304F",
          L"\u9078\u3093\u3060\u30D5\u30A9\u30EB\u30C0\u30FC\u3092\u79C0\u4E38\u30A8\u30C7\u30A3"
          L"\u30BF\u3067\u958B\u304D\u307E\u3059\u3002"},
         // チェックサムを検証(&V); 選んだ、または見つかったチェックサム ファイルとファイルを照合します。
         {L"\u30C1\u30A7\u30C3\u30AF\u30B5\u30E0\u3092\u691C\u8A3C(&V)",
          L"\u30C1\u30A7\u30C3\u30AF\u30B5\u30E0\u3092\u691C\u8A3C",
          L"\u9078\u3093\u3060\u3001\u307E\u305F\u306F\u898B\u3064\u304B\u3063\u305F\u30C1\u30A7"
          L"\u30C3\u30AF\u30B5\u30E0 \u30D5\u30A1\u30A4\u30EB\u3068\u30D5\u30A1\u30A4\u30EB\u3092"
          L"\u7167\u5408\u3057\u307E\u3059\u3002"}},
    });
}

// Each sub-command, on the item array of a selection, starts the command line of the
// classic item on the same selection, with the same list file; on a background, the folder.
TEST_F(FlintPop, EachWindows11SubCommandStartsWhatItsClassicItemStarts) {
    const std::vector<std::wstring> names = {L"\u65E5\u672C\u8A9E", L"caf\u00E9 \U0001F600.txt", L"plain.txt"};
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) paths.push_back(Folder() + L"\\" + name);
    ASSERT_TRUE(CreateDirectoryW(paths[0].c_str(), nullptr));
    for (size_t i = 1; i < paths.size(); ++i)
        CloseHandle(CreateFileW(paths[i].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ComPtr<IContextMenu> menu = Menu(names);
    PIDLIST_ABSOLUTE folder = ILCreateFromPathW(Folder().c_str());
    ComPtr<IContextMenu> background = MenuOf(folder, nullptr);
    ILFree(folder);
    ASSERT_NE(nullptr, menu.Get());
    ASSERT_NE(nullptr, background.Get());
    ComPtr<IExplorerCommand> root = RootCommand();
    ASSERT_NE(nullptr, root.Get());
    const auto commands = SubCommands(root.Get(), 6);
    ASSERT_EQ(6u, commands.size());

    const struct {
        IContextMenu* classic;
        ComPtr<IShellItemArray> items;
        std::wstring listed;
    } selections[] = {{menu.Get(), ItemArray(paths), Lines(paths)},
                      {background.Get(), ItemArray({Folder()}), Lines({Folder()})}};
    for (const auto& selection : selections) {
        for (UINT i = 0; i < 6; ++i) {
            const Record classic = Invoke(selection.classic, i),
                         modern = Invoke(commands[i].Get(), selection.items.Get());
            EXPECT_EQ(WithoutListFile(classic), WithoutListFile(modern)) << i;
            EXPECT_EQ(classic.image, modern.image) << i;
            EXPECT_EQ(selection.listed, ListedText(classic)) << i;
            EXPECT_EQ(selection.listed, ListedText(modern)) << i;
        }
    }
}
