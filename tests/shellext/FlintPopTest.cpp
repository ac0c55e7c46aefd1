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

// Empty when the bytes are not valid in the code page.
std::wstring Decode(const std::string& bytes, UINT codePage) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(std::max(0, MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                                &text[0], int(text.size()))));
    return text;
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
    const std::string bytes = driver::ReadFile(driver::Utf8(name));
    DeleteFileW(name.c_str());
    EXPECT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
    return Decode(bytes.substr(std::min<size_t>(3, bytes.size())), CP_UTF8);
}

// A selection as Explorer hands one over, the paths in CF_HDROP: the clipboard's data
// object. Wine's shell data object cannot carry a path beyond MAX_PATH.
ComPtr<IDataObject> DroppedFiles(const std::vector<std::wstring>& paths) {
    ComPtr<IDataObject> selection;
    EXPECT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(CF_HDROP, DroppedPaths(paths)));
    CloseClipboard();
    EXPECT_EQ(S_OK, OleGetClipboard(&selection));
    return selection;
}

class FlintPop : public testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);  // the clipboard's data object too
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
        OleUninitialize();
    }
    HRESULT Export(const char* name) {
        auto function = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(m_library, name)));
        return function ? function() : E_FAIL;
    }

    // The handler with `names` selected in the test's folder, in the shell's data object.
    ComPtr<IContextMenu> Menu(const std::vector<std::wstring>& names) {
        return MenuOf(ShellSelection(Folder(), names).Get());
    }

    // The handler, registered, on a selection or on the background of `folder`, its six items added.
    ComPtr<IContextMenu> MenuOf(IDataObject* selection, const std::wstring& folder = L"") {
        EXPECT_EQ(S_OK, Export("DllRegisterServer"));
        HRESULT queried = E_FAIL;
        PIDLIST_ABSOLUTE background = selection ? nullptr : ILCreateFromPathW(folder.c_str());
        ComPtr<IContextMenu> menu = ContextMenu(background, selection, &queried);
        ILFree(background);
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 6), queried);
        return menu;
    }

    // Invokes (a click, a verb, Windows 11's command) and returns the record of what it started.
    template <typename Invoking>
    Record Started(Invoking invoke) {
        const size_t before = Records(m_log).size();
        EXPECT_EQ(S_OK, invoke());
        return WaitForRecord(m_log, before);
    }
    Record Invoke(IContextMenu* menu, UINT offset) {
        return Started([&] { return InvokeItem(menu, offset); });
    }
    Record Invoke(IExplorerCommand* command, IShellItemArray* items) {
        return Started([&] { return command->Invoke(items, nullptr); });
    }

    // The classic menu's items on a file, as its submenu shows them, and their help texts;
    // first the submenu's own text, without help.
    std::vector<std::pair<std::wstring, std::wstring>> ClassicItems() {
        driver::WriteFile(m_folder / "a.txt", "a");
        ComPtr<IContextMenu> menu = Menu({L"a.txt"});
        if (!menu) return {};
        wchar_t submenuText[256] = L"";
        HMENU popup = CreatePopupMenu();
        menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL);
        GetMenuStringW(popup, 0, submenuText, 256, MF_BYPOSITION);
        std::vector<std::pair<std::wstring, std::wstring>> items = {{submenuText, L""}};
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

    // The command of Windows 11's menu, made by the DLL's class object as Explorer's surrogate makes it.
    ComPtr<IExplorerCommand> RootCommand() {
        const CLSID clsid = {0x58b2f156, 0xd4e0, 0x43be, {0x86, 0xc9, 0xc7, 0x71, 0xb8, 0xa0, 0x6c, 0x0e}};
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
                if (slots[i]) all.emplace_back().Attach(slots[i]);
            }
        }
        return all;
    }

    std::wstring Folder() const { return Decode(m_folder.Path(), CP_ACP); }

    driver::TempFolder m_folder;
    std::string m_dll = m_folder / "flintpop64.dll", m_log = m_folder / "records.txt";
    HMODULE m_library = nullptr;
};

}  // namespace

TEST_F(FlintPop, RegisterCreatesTheEntriesAndUnregisterRemovesThem) {
    const std::string classKey = std::string("Software\\Classes\\CLSID\\") + kFlintPopClsid;
    const auto entries = [&](HKEY root) {
        std::vector<std::string> values = {RegistryString(root, classKey, nullptr),
                                           RegistryString(root, classKey + "\\InprocServer32", nullptr),
                                           RegistryString(root, classKey + "\\InprocServer32", "ThreadingModel")};
        for (const char* type : {"*", "Directory", "Directory\\Background"})
            values.push_back(RegistryString(
                root, std::string("Software\\Classes\\") + type + "\\shellex\\ContextMenuHandlers\\FlintPop", nullptr));
        return values;
    };
    std::vector<std::string> registered = {"VexQuilkit Context Menu", m_dll, "Apartment"}, none(6, "<missing>");
    registered.resize(6, kFlintPopClsid);  // each type's handler names the class
    ASSERT_EQ(S_OK, Export("DllRegisterServer"));
    EXPECT_EQ(registered, entries(HKEY_LOCAL_MACHINE));
    ASSERT_EQ(S_OK, Export("DllUnregisterServer"));
    EXPECT_EQ(none, entries(HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(MachineKeyExists("Software\\Classes\\Directory"));  // the shell's own key stays

    // For this user alone: the same entries under HKEY_CURRENT_USER, none for the machine.
    auto install = reinterpret_cast<HRESULT(WINAPI*)(BOOL, PCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(m_library, "DllInstall")));
    ASSERT_NE(nullptr, install);
    EXPECT_EQ(E_INVALIDARG, install(TRUE, L""));  // never taken for the machine-wide form
    EXPECT_EQ(E_INVALIDARG, install(TRUE, nullptr));
    ASSERT_EQ(S_OK, install(TRUE, L"user"));
    EXPECT_EQ(registered, entries(HKEY_CURRENT_USER));
    EXPECT_EQ(none, entries(HKEY_LOCAL_MACHINE));
    ASSERT_EQ(S_OK, install(FALSE, L"user"));
    EXPECT_EQ(none, entries(HKEY_CURRENT_USER));
}

// NTFS allows a lone surrogate in a name, which UTF-8 cannot carry: the list file holds it
// in WTF-8 and VexQuilkit's log shows the name whole, not part of the selection.
TEST_F(FlintPop, ANameWithALoneSurrogateReachesTheLogWhole) {
    const std::wstring lone = Folder() + L"\\lone \xD800 name.txt", plain = Folder() + L"\\plain.txt";
    ComPtr<IContextMenu> menu = MenuOf(DroppedFiles({lone, plain}).Get());
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
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = verb;
    CCommandLine commandLine;
    commandLine.Parse(ToUtf16(driver::Wide(Started([&] { return menu->InvokeCommand(&info); }).arguments)));
    EXPECT_EQ(6, commandLine.Mode());
    VirtualFree(verb, 0, MEM_RELEASE);
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
    ComPtr<IContextMenu> menu = MenuOf(DroppedFiles(selection).Get());
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
    menu = MenuOf(nullptr, temp);
    ASSERT_NE(nullptr, menu.Get());
    EXPECT_EQ(Lines({temp.substr(0, temp.size() - 1)}), ListedText(Invoke(menu.Get(), 0)));
}

// Windows 11's command: "VexQuilkit" with VexQuilkit's icon and a submenu, offered wherever
// the classic menu is (files, a folder's background) and nowhere else. That the package's
// class and verbs are the DLL's is scripts/test-package.sh's check. Every locale but
// Japanese (Japan) reads the menus in English. However many sub-commands Explorer asks for
// at a time, they are the classic items in order, without the access key.
TEST_F(FlintPop, TheWindows11CommandIsVexQuilkitWithTheClassicItemsInEnglishWhereTheClassicMenuIs) {
    const auto classic = ClassicItems();  // on a.txt
    ComPtr<IExplorerCommand> root = RootCommand();
    ASSERT_NE(nullptr, root.Get());
    ASSERT_EQ(7u, classic.size());
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

    PIDLIST_ABSOLUTE computer = nullptr;  // This PC: no path in the file system
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer));
    const struct {
        const char* what;
        ComPtr<IShellItemArray> items;
        EXPCMDSTATE state;
    } cases[] = {
        {"a file", ItemArray({Folder() + L"\\a.txt"}), ECS_ENABLED},
        {"a background (its folder)", ItemArray({Folder()}), ECS_ENABLED},
        {"This PC", ItemArray(std::vector<PIDLIST_ABSOLUTE>{computer}), ECS_HIDDEN},
        {"nothing", nullptr, ECS_HIDDEN},
    };
    for (const auto& c : cases) EXPECT_EQ(c.state, State(root.Get(), c.items.Get())) << c.what;
    EXPECT_EQ(E_NOTIMPL, root->Invoke(cases[0].items.Get(), nullptr));

    const std::pair<std::wstring, std::wstring> tools[] = {
        {L"Open Command &Prompt Here", L"Opens a command prompt in the selected folder."},
        {L"&Clean Build Files...", L"Deletes files by extension to the recycle bin."},
        {L"Check &Hashes...", L"Shows the MD5, SHA-1 and SHA-256 digests of the files."},
        {L"Set File &Times...", L"Sets the three time stamps of files and folders."},
        {L"Open in Hidemaru &Editor", L"Opens the selected folder in the Hidemaru editor."},
        {L"&Verify Checksums", L"Checks files against the checksum files selected or found."}};
    EXPECT_EQ(L"&VexQuilkit", classic[0].first);
    for (const ULONG perCall : {1u, 4u, 6u}) {
        const auto commands = SubCommands(root.Get(), perCall);
        ASSERT_EQ(6u, commands.size()) << perCall;
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(tools[i], classic[i + 1]) << i;
            std::wstring title = tools[i].first;
            EXPECT_EQ(title.erase(title.find(L'&'), 1), Title(commands[i].Get())) << perCall << ", item " << i;
            EXPECT_EQ(tools[i].second, ToolTip(commands[i].Get())) << i;
            EXPCMDFLAGS flags = ECF_HASSUBCOMMANDS;
            EXPECT_EQ(S_OK, commands[i]->GetFlags(&flags));
            EXPECT_EQ(ECF_DEFAULT, flags);
            EXPECT_EQ(ECS_ENABLED, State(commands[i].Get(), cases[0].items.Get()));
            ComPtr<IEnumExplorerCommand> none;
            EXPECT_EQ(E_NOTIMPL, commands[i]->EnumSubCommands(&none));
        }
    }
}

// Run with LC_ALL=ja_JP.UTF-8 (locale 0x0411, code page 932): the access key follows a
// Japanese text, which Windows 11's menu drops whole. Each sub-command, on the item array of
// a selection, starts the command line of the classic item on the same selection, with the
// same list file; on a background, the folder. 表 is 0x955C, a second byte that is a
// backslash; the emoji and é are in no code page.
TEST_F(FlintPop, JapaneseMenusAndNamesReachVexQuilkitAlikeThroughEachClassicItemAndWindows11SubCommand) {
    ASSERT_TRUE(GetACP() == 932 && GetUserDefaultLCID() == 0x0411) << "run with LC_ALL=ja_JP.UTF-8";
    // ハッシュを確認...; ファイルの MD5、SHA-1、SHA-256 ダイジェストを表示します。
    const std::wstring hash = L"\u30CF\u30C3\u30B7\u30E5\u3092\u78BA\u8A8D",
                       help =
                           L"\u30D5\u30A1\u30A4\u30EB\u306E MD5\u3001SHA-1\u3001SHA-256 \u30C0\u30A4\u30B8"
                           L"\u30A7\u30B9\u30C8\u3092\u8868\u793A\u3057\u307E\u3059\u3002";
    const auto menuItems = ClassicItems();
    const std::vector<std::wstring> names = {L"\u8868", L"\u65B0\u3057\u3044 \u30D5\u30A9\u30EB\u30C0",
                                             L"caf\u00E9 \U0001F600.txt", L"plain.txt"};
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) paths.push_back(Folder() + L"\\" + name);
    for (size_t i = 0; i < 2; ++i) ASSERT_TRUE(CreateDirectoryW(paths[i].c_str(), nullptr));
    for (size_t i = 2; i < paths.size(); ++i)
        CloseHandle(CreateFileW(paths[i].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ComPtr<IContextMenu> menu = Menu(names);
    ComPtr<IContextMenu> background = MenuOf(nullptr, Folder());
    ComPtr<IExplorerCommand> root = RootCommand();
    ASSERT_TRUE(menu && background && root);
    const auto commands = SubCommands(root.Get(), 6);
    ASSERT_EQ(6u, commands.size());
    ASSERT_EQ(7u, menuItems.size());
    EXPECT_EQ(std::make_pair(hash + L"(&H)...", help), menuItems[3]);
    EXPECT_EQ(hash + L"...", Title(commands[2].Get()));
    EXPECT_EQ(help, ToolTip(commands[2].Get()));

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
            EXPECT_EQ(0, lstrcmpiA((m_folder / "VexQuilkit.exe").c_str(), classic.image.c_str())) << classic.image;
            CCommandLine commandLine;
            commandLine.Parse(ToUtf16(driver::Wide(classic.arguments)));
            EXPECT_EQ(int(i) + 1, commandLine.Mode()) << classic.arguments;
            EXPECT_TRUE(commandLine.ListFiles() && commandLine.PathTokens().size() == 1) << classic.arguments;
            EXPECT_EQ(WithoutListFile(classic), WithoutListFile(modern)) << i;
            EXPECT_EQ(classic.image, modern.image) << i;
            EXPECT_EQ(selection.listed, ListedText(classic)) << i;
            EXPECT_EQ(selection.listed, ListedText(modern)) << i;
        }
    }
}
