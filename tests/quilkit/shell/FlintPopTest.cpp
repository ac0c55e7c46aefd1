// flintpop64.dll in-process: its registration, its class created through COM, the menu
// it offers, and what invoking each item starts, with a recorder of ours named
// VexQuilkit.exe beside a copy of the DLL. The list files it writes are read back by
// VexQuilkit's own command-line and list-file code.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "ShellTestSupport.h"
#include "startup/CommandLine.h"
#include "resource.h"
#include "startup/PathList.h"

using namespace shelltest;

namespace {

// {1035D880-537A-4B6D-A84F-9E7212E661DC}
const CLSID kClsid = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};
const char* const kClsidKey = "Software\\Classes\\CLSID\\{1035D880-537A-4B6D-A84F-9E7212E661DC}";
const char* const kHandlerKeys[] = {
    "Software\\Classes\\*\\shellex\\ContextMenuHandlers\\FlintPop",
    "Software\\Classes\\Directory\\shellex\\ContextMenuHandlers\\FlintPop",
    "Software\\Classes\\Directory\\Background\\shellex\\ContextMenuHandlers\\FlintPop",
};
const char* const kMenuTexts[] = {
    "Open Command &Prompt Here", "&Clean Build Files...",    "Check &Hashes (MD5, SHA-1)...",
    "Set File &Times...",        "Open in Hidemaru &Editor",
};
const char* const kVerbs[] = {"vexquilkit.prompt", "vexquilkit.clean", "vexquilkit.hash", "vexquilkit.time",
                              "vexquilkit.hidemaru"};
constexpr UINT kFirstId = 100;

std::string MachineString(const std::string& key, const char* value = nullptr) {
    char text[MAX_PATH * 2] = "";
    DWORD size = sizeof(text);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

bool MachineKeyExists(const std::string& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

std::string Narrow(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(size_t(size) - 1);
    return narrow;
}

std::wstring Wide(const std::string& narrow) {
    const int size = MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, nullptr, 0);
    std::wstring wide(size_t(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, &wide[0], size);
    wide.resize(size_t(size) - 1);
    return wide;
}

// The data object the shell hands to a context-menu handler: the selection as CF_HDROP.
class CDropDataObject : public IDataObject {
public:
    explicit CDropDataObject(const std::vector<std::wstring>& paths) : m_paths(paths) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++m_refCount; }
    IFACEMETHODIMP_(ULONG) Release() override { return --m_refCount; }  // lives on the test's stack

    IFACEMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        size_t chars = 1;
        for (const std::wstring& path : m_paths) chars += path.size() + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        if (!memory) return E_OUTOFMEMORY;
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        auto* names = reinterpret_cast<wchar_t*>(drop + 1);
        for (const std::wstring& path : m_paths) {
            memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
            names += path.size() + 1;
        }
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    IFACEMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    IFACEMETHODIMP QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    IFACEMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    IFACEMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    IFACEMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    IFACEMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::vector<std::wstring> m_paths;
    ULONG m_refCount = 1;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_object) m_object->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    Interface* operator->() const { return m_object; }
    Interface* Get() const { return m_object; }
    void** Out() { return reinterpret_cast<void**>(&m_object); }

private:
    Interface* m_object = nullptr;
};

// A copy of the DLL with the recorder named VexQuilkit.exe beside it, registered for
// the length of a test; the copy's registration is undone afterwards.
class FlintPopFixture : public testing::Test {
protected:
    FlintPopFixture() : m_recording(m_records / "record.txt") {
        m_dll = m_folder / "flintpop64.dll";
        CopyOrFail(BinFolder() + "\\flintpop64.dll", m_dll);
        CopyOrFail(RecorderExe(), m_folder / "VexQuilkit.exe");
        CoInitialize(nullptr);
    }
    ~FlintPopFixture() override {
        if (m_library) {
            CallExport("DllUnregisterServer");
            FreeLibrary(m_library);
        }
        CoUninitialize();
    }

    HRESULT CallExport(const char* name) {
        if (!m_library) m_library = LoadLibraryA(m_dll.c_str());
        if (!m_library) return E_UNEXPECTED;
        using Export = HRESULT(WINAPI*)();
        auto function = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(m_library, name)));
        return function ? function() : E_UNEXPECTED;
    }

    // Creates the handler through COM and initialises it with `paths`.
    void CreateMenu(const std::vector<std::wstring>& paths, ComPtr<IContextMenu>& menu) {
        ASSERT_EQ(S_OK, CallExport("DllRegisterServer"));
        ComPtr<IShellExtInit> init;
        ASSERT_EQ(S_OK, CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.Out()));
        CDropDataObject data(paths);
        ASSERT_EQ(S_OK, init->Initialize(nullptr, &data, nullptr));
        ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, menu.Out()));
    }

    // Invokes the item at `offset`; returns the arguments VexQuilkit was started with.
    std::string InvokeAt(IContextMenu* menu, UINT offset) {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = MAKEINTRESOURCEA(offset);
        info.nShow = SW_SHOWNORMAL;
        EXPECT_EQ(S_OK, menu->InvokeCommand(&info));
        return m_recording.WaitForRecord().arguments;
    }

    // What VexQuilkit makes of `arguments`: checks the mode and the list-file form, reads
    // the list file with VexQuilkit's own code and returns the path list.
    std::vector<std::string> ReadBack(const std::string& arguments, int mode) {
        CCommandLine commandLine;
        commandLine.Parse(arguments.c_str());
        EXPECT_EQ(mode, commandLine.Mode()) << arguments;
        EXPECT_TRUE(commandLine.ListFiles()) << arguments;
        if (commandLine.PathTokens().size() != 1) {
            ADD_FAILURE() << "not one list file in " << arguments;
            return {};
        }
        const std::string listFile = commandLine.PathTokens().front();
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        EXPECT_EQ(0, lstrcmpiA(temp, (FolderOf(listFile) + "\\").c_str())) << listFile << " is not in " << temp;
        m_lastListBytes = driver::ReadFile(listFile);
        CPathList list;
        list.ReadListFile(listFile.c_str());
        EXPECT_FALSE(driver::FileExists(listFile));
        return list.Paths();
    }

    driver::TempFolder m_folder;
    driver::TempFolder m_records;
    std::string m_dll;
    HMODULE m_library = nullptr;
    Recording m_recording;
    std::string m_lastListBytes;
};

}  // namespace

TEST_F(FlintPopFixture, RegisterCreatesTheEntriesAndUnregisterRemovesThem) {
    ASSERT_EQ(S_OK, CallExport("DllRegisterServer"));
    EXPECT_EQ("VexQuilkit Context Menu", MachineString(kClsidKey));
    EXPECT_EQ(m_dll, MachineString(std::string(kClsidKey) + "\\InprocServer32"));
    EXPECT_EQ("Apartment", MachineString(std::string(kClsidKey) + "\\InprocServer32", "ThreadingModel"));
    for (const char* handlerKey : kHandlerKeys)
        EXPECT_EQ("{1035D880-537A-4B6D-A84F-9E7212E661DC}", MachineString(handlerKey)) << handlerKey;

    ASSERT_EQ(S_OK, CallExport("DllUnregisterServer"));
    EXPECT_FALSE(MachineKeyExists(kClsidKey));
    for (const char* handlerKey : kHandlerKeys) EXPECT_FALSE(MachineKeyExists(handlerKey)) << handlerKey;
    // The shell's own keys stay.
    EXPECT_TRUE(MachineKeyExists("Software\\Classes\\Directory"));
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(S_OK, CallExport("DllUnregisterServer"));
}

TEST_F(FlintPopFixture, TheClassObjectServesOnlyItsClassAndKeepsTheDllLoaded) {
    ASSERT_EQ(S_OK, CallExport("DllCanUnloadNow"));
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(m_library, "DllGetClassObject")));
    ASSERT_NE(nullptr, getClassObject);

    ComPtr<IClassFactory> other;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IUnknown, IID_IClassFactory, other.Out()));
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, getClassObject(kClsid, IID_IClassFactory, factory.Out()));
        ComPtr<IUnknown> aggregated;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.Get(), IID_IUnknown, aggregated.Out()));
        ComPtr<IContextMenu> menu;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IContextMenu, menu.Out()));
        EXPECT_EQ(S_FALSE, CallExport("DllCanUnloadNow"));
    }
    EXPECT_EQ(S_OK, CallExport("DllCanUnloadNow"));
}

TEST_F(FlintPopFixture, TheMenuOffersTheFiveToolsInOneSubmenu) {
    ComPtr<IContextMenu> menu;
    CreateMenu({Wide(m_folder / "a.txt")}, menu);
    ASSERT_NE(nullptr, menu.Get());
    HMENU popup = CreatePopupMenu();
    ASSERT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5),
              menu->QueryContextMenu(popup, 0, kFirstId, kFirstId + 50, CMF_NORMAL));
    ASSERT_EQ(1, GetMenuItemCount(popup));
    char text[128] = "";
    GetMenuStringA(popup, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("&VexQuilkit", text);
    HMENU submenu = GetSubMenu(popup, 0);
    ASSERT_NE(nullptr, submenu);
    ASSERT_EQ(5, GetMenuItemCount(submenu));
    for (UINT i = 0; i < 5; ++i) {
        EXPECT_EQ(kFirstId + i, GetMenuItemID(submenu, int(i)));
        GetMenuStringA(submenu, i, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ(kMenuTexts[i], text);
        char verb[64] = "";
        EXPECT_EQ(S_OK, menu->GetCommandString(i, GCS_VERBA, nullptr, verb, sizeof(verb)));
        EXPECT_STREQ(kVerbs[i], verb);
        wchar_t help[128] = L"";
        EXPECT_EQ(S_OK, menu->GetCommandString(i, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(help), 128));
        EXPECT_NE(L'\0', help[0]);
    }
    EXPECT_EQ(E_INVALIDARG, menu->GetCommandString(5, GCS_VERBA, nullptr, text, sizeof(text)));
    DestroyMenu(popup);

    // A default-only query, and a range too small for five items, add nothing.
    popup = CreatePopupMenu();
    EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0), menu->QueryContextMenu(popup, 0, 1, 50, CMF_DEFAULTONLY));
    EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0), menu->QueryContextMenu(popup, 0, 1, 4, CMF_NORMAL));
    EXPECT_EQ(0, GetMenuItemCount(popup));
    DestroyMenu(popup);
}

TEST_F(FlintPopFixture, EachItemStartsVexQuilkitBesideTheDllWithItsModeAndTheSelection) {
    const std::vector<std::string> selection = {m_folder / "My Documents", m_folder / "read me.txt",
                                                m_folder / "b.txt"};
    CreateDirectoryA(selection[0].c_str(), nullptr);
    driver::WriteFile(selection[1], "1");
    driver::WriteFile(selection[2], "2");
    std::vector<std::wstring> wide;
    for (const std::string& path : selection) wide.push_back(Wide(path));
    ComPtr<IContextMenu> menu;
    CreateMenu(wide, menu);
    ASSERT_NE(nullptr, menu.Get());
    HMENU popup = CreatePopupMenu();
    ASSERT_TRUE(SUCCEEDED(menu->QueryContextMenu(popup, 0, kFirstId, kFirstId + 50, CMF_NORMAL)));
    DestroyMenu(popup);

    for (UINT offset = 0; offset < 5; ++offset) {
        Recording recording(m_records / ("item" + std::to_string(offset) + ".txt"));
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = MAKEINTRESOURCEA(offset);
        info.nShow = SW_SHOWNORMAL;
        ASSERT_EQ(S_OK, menu->InvokeCommand(&info));
        const Recording::Record record = recording.WaitForRecord();
        // The program started is the one beside the DLL.
        EXPECT_NE(std::string::npos, record.commandLine.find(m_folder / "VexQuilkit.exe")) << record.commandLine;
        EXPECT_EQ(0u, record.arguments.find("/M" + std::to_string(offset + 1) + " /L \"")) << record.arguments;
        EXPECT_EQ(selection, ReadBack(record.arguments, int(offset) + 1));
        EXPECT_EQ(selection[0] + "\r\n" + selection[1] + "\r\n" + selection[2] + "\r\n", m_lastListBytes);
    }
}

TEST_F(FlintPopFixture, ItemsCanBeInvokedByTheirVerbs) {
    ComPtr<IContextMenu> menu;
    CreateMenu({Wide(m_folder.Path())}, menu);
    ASSERT_NE(nullptr, menu.Get());

    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = "vexquilkit.hash";
    ASSERT_EQ(S_OK, menu->InvokeCommand(&info));
    EXPECT_EQ(std::vector<std::string>{m_folder.Path()}, ReadBack(m_recording.WaitForRecord().arguments, 3));

    Recording wideRecording(m_records / "wide.txt");
    CMINVOKECOMMANDINFOEX infoEx = {};
    infoEx.cbSize = sizeof(infoEx);
    infoEx.fMask = CMIC_MASK_UNICODE;
    infoEx.lpVerb = "vexquilkit.hidemaru";
    infoEx.lpVerbW = L"vexquilkit.time";
    ASSERT_EQ(S_OK, menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&infoEx)));
    ReadBack(wideRecording.WaitForRecord().arguments, 4);

    info.lpVerb = "vexquilkit.unknown";
    EXPECT_TRUE(FAILED(menu->InvokeCommand(&info)));
    info.lpVerb = MAKEINTRESOURCEA(5);
    EXPECT_TRUE(FAILED(menu->InvokeCommand(&info)));
}

TEST_F(FlintPopFixture, OnAFolderBackgroundTheFolderIsTheSelection) {
    ASSERT_EQ(S_OK, CallExport("DllRegisterServer"));
    ComPtr<IShellExtInit> init;
    ASSERT_EQ(S_OK, CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, init.Out()));
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(m_folder.Path().c_str());
    ASSERT_NE(nullptr, folder);
    EXPECT_EQ(S_OK, init->Initialize(folder, nullptr, nullptr));
    ILFree(folder);
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, menu.Out()));
    EXPECT_EQ(std::vector<std::string>{m_folder.Path()}, ReadBack(InvokeAt(menu.Get(), 0), 1));
}

TEST_F(FlintPopFixture, ANameOutsideTheCodePageIsHandedOverInItsShortForm) {
    // Thai is in neither code page 1252 nor 932.
    const std::wstring name = Wide(m_folder.Path()) + L"\\\u0e01\u0e02 file.txt";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    wchar_t shortName[MAX_PATH] = L"";
    ASSERT_NE(0u, GetShortPathNameW(name.c_str(), shortName, MAX_PATH));

    ComPtr<IContextMenu> menu;
    CreateMenu({name, Wide(m_folder / "plain.txt")}, menu);
    ASSERT_NE(nullptr, menu.Get());
    const std::vector<std::string> paths = ReadBack(InvokeAt(menu.Get(), 2), 3);
    ASSERT_EQ(2u, paths.size());
    EXPECT_EQ(Narrow(shortName), paths[0]);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(paths[0].c_str()));
}

// From the extension through the real VexQuilkit, beside its copy of the DLL, to the
// command prompt of mode 1 (a recorder again).
TEST_F(FlintPopFixture, TheRealVexQuilkitOpensThePromptInTheSelectedFilesFolder) {
    driver::TempFolder installed;
    const std::string dll = installed / "flintpop64.dll";
    CopyOrFail(driver::QuilkitExe(), installed / "VexQuilkit.exe");
    CopyOrFail(BinFolder() + "\\flintpop64.dll", dll);
    const std::string interpreter = m_records / "cmd.exe";
    CopyOrFail(RecorderExe(), interpreter);
    ComspecOverride comspec(interpreter);

    const std::string folder = m_folder / "Source Files";
    CreateDirectoryA(folder.c_str(), nullptr);
    driver::WriteFile(folder + "\\main file.c", "");
    m_dll = dll;
    ComPtr<IContextMenu> menu;
    CreateMenu({Wide(folder + "\\main file.c"), Wide(m_folder.Path())}, menu);
    ASSERT_NE(nullptr, menu.Get());
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(0);
    ASSERT_EQ(S_OK, menu->InvokeCommand(&info));
    EXPECT_EQ(interpreter + " /K pushd \"" + folder + "\"", m_recording.WaitForRecord().commandLine);
}

// The hash checker's item, then the real VexQuilkit started exactly as the extension
// started the recorder: the log shows the digests of the selected file with blanks.
TEST_F(FlintPopFixture, TheHashItemLeadsToTheDigestsInTheLog) {
    const std::string file = m_folder / "a b c.txt";
    driver::WriteFile(file, "abc");
    ComPtr<IContextMenu> menu;
    CreateMenu({Wide(file)}, menu);
    ASSERT_NE(nullptr, menu.Get());
    const std::string arguments = InvokeAt(menu.Get(), 2);

    driver::Process app = driver::Start(driver::QuilkitExe(), arguments);
    HWND options = driver::WaitForWindow(app, "Hash Checker - Quillkit");
    ASSERT_NE(nullptr, options);
    driver::SetCheck(options, IDC_MD5, true);
    driver::SetCheck(options, IDC_SHA1, true);
    driver::Click(options, IDOK);
    HWND log = driver::WaitForWindow(app, "Log");
    ASSERT_NE(nullptr, log);
    const std::string text = driver::WaitForLogText(log, "All Success!");
    EXPECT_NE(std::string::npos, text.find(file)) << text;
    EXPECT_NE(std::string::npos, text.find("900150983CD24FB0D6963F7D28E17F72")) << text;
    EXPECT_NE(std::string::npos, text.find("A9993E364706816ABA3E25717850C26C9CD0D89D")) << text;
    driver::Close(log);
    EXPECT_EQ(0, driver::WaitForExit(app));
}

// Run with LC_ALL=ja_JP.UTF-8, where the system code page is 932.
TEST_F(FlintPopFixture, JapaneseDoubleByteNamesReachVexQuilkitUnchanged) {
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    // データ 1.txt, 新しい フォルダ, 表.txt (0x955C: a second byte that is a backslash)
    const std::vector<std::wstring> wide = {Wide(m_folder.Path()) + L"\\\u30c7\u30fc\u30bf 1.txt",
                                            Wide(m_folder.Path()) + L"\\\u65b0\u3057\u3044 \u30d5\u30a9\u30eb\u30c0",
                                            Wide(m_folder.Path()) + L"\\\u8868.txt"};
    CreateDirectoryW(wide[1].c_str(), nullptr);
    std::vector<std::string> expected;
    for (const std::wstring& path : wide) expected.push_back(Narrow(path));
    ASSERT_EQ(std::string::npos, expected[0].find('?'));

    ComPtr<IContextMenu> menu;
    CreateMenu(wide, menu);
    ASSERT_NE(nullptr, menu.Get());
    EXPECT_EQ(expected, ReadBack(InvokeAt(menu.Get(), 2), 3));
}
