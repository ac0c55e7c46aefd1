#pragma once
// Wine has no share that stops answering: the engines' imports are redirected so that a call on a chosen
// path waits, cancellably (a silent pipe's read) or not (an event), and a chosen file shows as a cloud
// placeholder whose opens are noted.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/Handles.h"
#include "run/FileKinds.h"

namespace seam {

enum class Call { FindFirst, FindNext, Attributes, AttributesEx, Create };

inline decltype(&FindFirstFileExW) g_findFirst;
inline decltype(&FindNextFileW) g_findNext;
inline decltype(&GetFileAttributesW) g_attributes;
inline decltype(&GetFileAttributesExW) g_attributesEx;
inline decltype(&CreateFileW) g_create;

inline std::atomic<bool> g_armed{false};  // the next matching call waits, once
inline Call g_stallCall;
inline std::wstring g_stallPath;               // a part of the path that waits
inline std::atomic<HANDLE> g_stallFind;        // the listing whose next entry waits
inline HANDLE g_pipe = nullptr;                // read to wait, when set
inline HANDLE g_release = nullptr;             // else waited on
inline HANDLE g_entered = nullptr;             // set as the call starts to wait
inline std::vector<std::wstring> g_elsewhere;  // name endings shown as placeholders
inline std::mutex g_openedMutex;
inline std::vector<std::wstring> g_opened;  // opens of those

inline bool Elsewhere(std::wstring_view path) {
    return std::any_of(g_elsewhere.begin(), g_elsewhere.end(), [&](const std::wstring& ending) {
        return path.size() >= ending.size() && path.substr(path.size() - ending.size()) == ending;
    });
}
inline bool StallsAt(Call call, const wchar_t* path) {
    return g_stallCall == call && path && wcsstr(path, g_stallPath.c_str()) && g_armed.exchange(false);
}
// Always fails; the error is the read's (ERROR_OPERATION_ABORTED when cancelled).
inline void Stall() {
    SetEvent(g_entered);
    char byte;
    DWORD read = 0;
    if (g_pipe ? ReadFile(g_pipe, &byte, 1, &read, nullptr) : WaitForSingleObject(g_release, INFINITE) == WAIT_OBJECT_0)
        SetLastError(ERROR_GEN_FAILURE);
}
inline void MarkPlaceholder(WIN32_FIND_DATAW* entry) {
    if (Elsewhere(entry->cFileName)) entry->dwFileAttributes |= filekinds::kAttributeRecallOnDataAccess;
}

inline HANDLE WINAPI FindFirst(const wchar_t* path, FINDEX_INFO_LEVELS level, void* data, FINDEX_SEARCH_OPS ops,
                               void* filter, DWORD flags) {
    if (StallsAt(Call::FindFirst, path)) return Stall(), INVALID_HANDLE_VALUE;
    const bool nextStalls = g_stallCall == Call::FindNext && wcsstr(path, g_stallPath.c_str());
    const HANDLE find = g_findFirst(path, level, data, ops, filter, flags);
    if (find != INVALID_HANDLE_VALUE) MarkPlaceholder(static_cast<WIN32_FIND_DATAW*>(data));
    if (nextStalls) g_stallFind = find;
    return find;
}
inline BOOL WINAPI FindNext(HANDLE find, WIN32_FIND_DATAW* entry) {
    if (find == g_stallFind && g_armed.exchange(false)) return Stall(), FALSE;
    if (!g_findNext(find, entry)) return FALSE;
    MarkPlaceholder(entry);
    return TRUE;
}
inline DWORD WINAPI Attributes(const wchar_t* path) {
    if (StallsAt(Call::Attributes, path)) return Stall(), INVALID_FILE_ATTRIBUTES;
    const DWORD attributes = g_attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && Elsewhere(path)
               ? attributes | filekinds::kAttributeRecallOnDataAccess
               : attributes;
}
inline BOOL WINAPI AttributesEx(const wchar_t* path, GET_FILEEX_INFO_LEVELS level, void* data) {
    if (StallsAt(Call::AttributesEx, path)) return Stall(), FALSE;
    if (!g_attributesEx(path, level, data)) return FALSE;
    if (Elsewhere(path))
        static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(data)->dwFileAttributes |= filekinds::kAttributeRecallOnDataAccess;
    return TRUE;
}
inline HANDLE WINAPI Create(const wchar_t* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
                            DWORD disposition, DWORD flags, HANDLE model) {
    if (StallsAt(Call::Create, path)) return Stall(), INVALID_HANDLE_VALUE;
    if (Elsewhere(path)) {
        std::lock_guard<std::mutex> lock(g_openedMutex);
        g_opened.push_back(path);
    }
    return g_create(path, access, share, security, disposition, flags, model);
}

// Puts `replacement` in the import table's slot for `name`; returns what was there.
template <typename F>
inline F Redirect(const char* name, F replacement) {
    auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD protection;
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &protection);
            const F previous = reinterpret_cast<F>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

// The redirections, for as long as it lives.
class Installed {
public:
    Installed() {
        g_findFirst = Redirect("FindFirstFileExW", &FindFirst);
        g_findNext = Redirect("FindNextFileW", &FindNext);
        g_attributes = Redirect("GetFileAttributesW", &Attributes);
        g_attributesEx = Redirect("GetFileAttributesExW", &AttributesEx);
        g_create = Redirect("CreateFileW", &Create);
        g_entered = m_entered.Get();
        g_release = m_release.Get();
    }
    ~Installed() {
        g_armed = false;
        g_stallFind = nullptr;
        g_elsewhere.clear();
        g_opened.clear();
        Redirect("FindFirstFileExW", g_findFirst);
        Redirect("FindNextFileW", g_findNext);
        Redirect("GetFileAttributesW", g_attributes);
        Redirect("GetFileAttributesExW", g_attributesEx);
        Redirect("CreateFileW", g_create);
    }
    // Whether every call was found: a program imports only those its code makes.
    bool Complete() const { return g_findFirst && g_findNext && g_attributes && g_attributesEx && g_create; }
    bool WaitUntilEntered() { return WaitForSingleObject(m_entered.Get(), 5000) == WAIT_OBJECT_0; }
    void Release() { SetEvent(m_release.Get()); }

private:
    UniqueHandle m_entered{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle m_release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// The next `call` on `path` waits: when `cancellable`, in a read of a pipe whose writer never
// writes, which only a cancel or a broken pipe ends; else until the release. A 5 s watchdog
// ends a wait the code under test left, so that a fault fails the test instead of hanging it.
class BlockedCall {
public:
    BlockedCall(Installed& seam, Call call, const std::wstring& path, bool cancellable)
        : m_seam(seam),
          m_pipe(L"\\\\.\\pipe\\vex-silent-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++s_count)),
          m_server(CreateNamedPipeW(m_pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 16, 16, 0, nullptr)),
          m_reader(CreateFileW(m_pipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
        g_stallCall = call;
        g_stallPath = path;
        g_stallFind = nullptr;
        g_pipe = cancellable ? m_reader.Get() : nullptr;
        ResetEvent(g_release);
        g_armed = true;
        m_watchdog = std::thread([this] {
            if (WaitForSingleObject(g_release, 5000) != WAIT_TIMEOUT) return;
            DisconnectNamedPipe(m_server.Get());
            m_seam.Release();
        });
    }
    ~BlockedCall() {
        m_seam.Release();
        m_watchdog.join();
    }
    bool Ready() const { return m_server && m_reader; }

private:
    static inline std::atomic<int> s_count{0};
    Installed& m_seam;
    std::wstring m_pipe;
    UniqueFile m_server, m_reader;
    std::thread m_watchdog;
};

}  // namespace seam
