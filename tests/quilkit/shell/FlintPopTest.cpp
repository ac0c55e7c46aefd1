// flintpop64.dll in-process: its registration, and what each menu item starts, with a
// recorder named VexQuilkit.exe beside a copy of the DLL. VexQuilkit's own command-line
// and list-file code read back what the extension hands over.
#include <shlobj.h>
#include <wrl/client.h>

#include "ShellTestSupport.h"
#include "resource.h"
#include "startup/CommandLine.h"
#include "startup/PathList.h"

using Microsoft::WRL::ComPtr;
using namespace shelltest;

namespace {

const char* const kClsid = "{1035D880-537A-4B6D-A84F-9E7212E661DC}";
const CLSID kClass = {0x1035d880, 0x537a, 0x4b6d, {0xa8, 0x4f, 0x9e, 0x72, 0x12, 0xe6, 0x61, 0xdc}};

// A string under HKEY_LOCAL_MACHINE.
std::string MachineString(const std::string& key, const char* value = nullptr) {
    char text[MAX_PATH * 2] = "<missing>";
    DWORD size = sizeof(text);
    RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

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

    // The handler, registered, created through COM and initialised as the shell does with
    // `names` selected in the test's folder, its menu queried.
    ComPtr<IContextMenu> Menu(const std::vector<std::wstring>& names) {
        EXPECT_EQ(S_OK, Export("DllRegisterServer"));
        wchar_t folder[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, m_folder.Path().c_str(), -1, folder, MAX_PATH);
        std::vector<PIDLIST_ABSOLUTE> items = {ILCreateFromPathW(folder)};
        std::vector<PCUIDLIST_RELATIVE> children;
        for (const std::wstring& name : names) {
            items.push_back(ILCreateFromPathW((folder + (L"\\" + name)).c_str()));
            children.push_back(ILFindLastID(items.back()));
        }
        ComPtr<IDataObject> selection;
        EXPECT_EQ(S_OK, CIDLData_CreateFromIDArray(items[0], UINT(names.size()), children.data(), &selection));
        for (PIDLIST_ABSOLUTE item : items) ILFree(item);
        ComPtr<IShellExtInit> init;
        ComPtr<IContextMenu> menu;
        EXPECT_EQ(S_OK, CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&init)));
        if (!init || init->Initialize(nullptr, selection.Get(), nullptr) != S_OK || init.As(&menu) != S_OK)
            return nullptr;
        HMENU popup = CreatePopupMenu();
        EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5), menu->QueryContextMenu(popup, 0, 100, 200, CMF_NORMAL));
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
}

// Run with LC_ALL=ja_JP.UTF-8, where the code page is 932.
// A verb string placed where bits 16 to 31 of its address are clear is still a verb, not
// the offset of the first item.
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
    lstrcpyA(verb, "vexquilkit.hash");
    const size_t before = Records(m_log).size();
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = verb;
    EXPECT_EQ(S_OK, menu->InvokeCommand(&info));
    CCommandLine commandLine;
    commandLine.Parse(WaitForRecord(m_log, before).arguments.c_str());
    EXPECT_EQ(3, commandLine.Mode());
    VirtualFree(verb, 0, MEM_RELEASE);
}

TEST_F(FlintPop, JapaneseSelectionReachesVexQuilkitThroughEachItem) {
    ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8";
    // My Documents, データ 1, 新しい フォルダ, 表 (0x955C: a second byte that is a backslash)
    const std::vector<std::wstring> names = {L"My Documents", L"\u30c7\u30fc\u30bf 1",
                                             L"\u65b0\u3057\u3044 \u30d5\u30a9\u30eb\u30c0", L"\u8868"};
    std::vector<std::string> selection;
    for (const std::wstring& name : names) {
        char narrow[MAX_PATH] = "";
        WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
        selection.push_back(m_folder / narrow);
        ASSERT_TRUE(CreateDirectoryA(selection.back().c_str(), nullptr)) << selection.back();
    }
    ComPtr<IContextMenu> menu = Menu(names);
    ASSERT_NE(nullptr, menu.Get());
    for (UINT offset = 0; offset < 5; ++offset) {
        const Record record = Invoke(menu.Get(), offset);
        EXPECT_EQ(0, lstrcmpiA((m_folder / "VexQuilkit.exe").c_str(), record.image.c_str())) << record.image;
        CCommandLine commandLine;
        commandLine.Parse(record.arguments.c_str());
        EXPECT_EQ(int(offset) + 1, commandLine.Mode()) << record.arguments;
        EXPECT_TRUE(commandLine.ListFiles()) << record.arguments;
        ASSERT_EQ(1u, commandLine.PathTokens().size()) << record.arguments;
        CPathList list;
        list.ReadListFile(commandLine.PathTokens()[0].c_str());
        EXPECT_EQ(selection, list.Paths());
    }
}

// The hash item, then the real VexQuilkit started as the extension started the recorder.
TEST_F(FlintPop, TheHashItemLeadsToTheDigestsInTheLog) {
    driver::WriteFile(m_folder / "a b c.txt", "abc");
    ComPtr<IContextMenu> menu = Menu({L"a b c.txt"});
    ASSERT_NE(nullptr, menu.Get());
    driver::Process app = driver::Start(driver::QuilkitExe(), Invoke(menu.Get(), 2).arguments);
    HWND options = driver::WaitForWindow(app, "Hash Checker - Quillkit");
    driver::SetCheck(options, IDC_MD5, true);
    driver::SetCheck(options, IDC_SHA1, true);
    driver::Click(options, IDOK);
    HWND log = driver::WaitForWindow(app, "Log");
    const std::string text = driver::WaitForLogText(log, "All Success!");
    for (const std::string& part : {m_folder / "a b c.txt", std::string("900150983CD24FB0D6963F7D28E17F72"),
                                    std::string("A9993E364706816ABA3E25717850C26C9CD0D89D")})
        EXPECT_NE(std::string::npos, text.find(part)) << part << " not in " << text;
    driver::Close(log);
    EXPECT_EQ(0, driver::WaitForExit(app));
}
