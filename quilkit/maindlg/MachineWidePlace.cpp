#include "MachineWidePlace.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>

#include "framework/Handles.h"
#include "text/LongPath.h"
#include "FolderWriters.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

UniqueFile OpenObject(const std::wstring& path, DWORD access, DWORD flags) {
    return UniqueFile(CreateFileW(FileSystemPath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// Where the handle's object really is: "C:\..." for a drive's volume; empty for a share,
// a volume without a drive letter, or anything else.
std::wstring DriveFinalPath(HANDLE object) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(object, &path[0], DWORD(path.size()), VOLUME_NAME_DOS);
    if (length >= path.size()) {
        path.resize(length);
        length = GetFinalPathNameByHandleW(object, &path[0], DWORD(path.size()), VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    if (path.compare(0, 4, L"\\\\?\\") == 0) path.erase(0, 4);
    const bool onDrive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
                         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return onDrive ? path : std::wstring();
}

// The owner and DACL, self-relative, as the handle's object has them now.
std::string DescriptorOf(HANDLE object) {
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    GetKernelObjectSecurity(object, parts, nullptr, 0, &size);
    std::string bytes(size, '\0');
    if (size == 0 || !GetKernelObjectSecurity(object, parts, &bytes[0], size, &size)) return {};
    bytes.resize(size);
    return bytes;
}

// The element itself, never what a link in its place points to.
ProgramPlace::Element ReadElement(const std::wstring& path) {
    ProgramPlace::Element element;
    const UniqueFile object = OpenObject(path, READ_CONTROL | FILE_READ_ATTRIBUTES, FILE_FLAG_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION info;
    if (!object || !GetFileInformationByHandle(object.Get(), &info)) return element;
    element.isLink = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    element.descriptor = DescriptorOf(object.Get());
    return element;
}

// The root ("C:\"), then each folder down to `finalPath`.
std::vector<ProgramPlace::Element> ReadWay(const std::wstring& finalPath) {
    std::vector<ProgramPlace::Element> folders = {ReadElement(finalPath.substr(0, 3))};
    for (size_t end = 3; end < finalPath.size();) {
        end = std::min(finalPath.find(L'\\', end + 1), finalPath.size());
        folders.push_back(ReadElement(finalPath.substr(0, end)));
    }
    return folders;
}

ProgramPlace::Volume ReadVolume(wchar_t drive) {
    ProgramPlace::Volume volume;
    const wchar_t root[] = {drive, L':', L'\\', 0}, device[] = {L'\\', L'\\', L'.', L'\\', drive, L':', 0};
    volume.driveType = GetDriveTypeW(root);
    // No access asked: the device's properties are open to any user.
    const UniqueFile disk(
        CreateFileW(device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    union {
        STORAGE_DEVICE_DESCRIPTOR descriptor;
        BYTE bytes[1024];
    } answer = {};
    DWORD got = 0;
    if (!disk ||
        !DeviceIoControl(disk.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &answer, sizeof(answer), &got,
                         nullptr) ||
        got < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(answer.descriptor.BusType))
        return volume;
    volume.deviceKnown = true;
    volume.busType = int(answer.descriptor.BusType);
    volume.removableMedia = answer.descriptor.RemovableMedia != FALSE;
    return volume;
}

bool IsAdministrator(HANDLE token) {
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(administrators);
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return false;
    BOOL member = FALSE;
    if (CheckTokenMembership(nullptr, administrators, &member) && member) return true;
    // Not elevated: the administrator's own token is the one linked to this one.
    TOKEN_LINKED_TOKEN linked = {};
    if (!GetTokenInformation(token, TokenLinkedToken, &linked, sizeof(linked), &size)) return false;
    const UniqueHandle elevated(linked.LinkedToken);
    return CheckTokenMembership(elevated.Get(), administrators, &member) && member;
}

// The current user's SID when that user is an administrator; empty otherwise.
std::string AdministratorUserSid() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const UniqueHandle token(raw);
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } answer;
    DWORD size = 0;
    if (!IsAdministrator(token.Get()) || !GetTokenInformation(token.Get(), TokenUser, &answer, sizeof(answer), &size) ||
        !IsValidSid(answer.user.User.Sid))
        return {};
    return std::string(static_cast<const char*>(answer.user.User.Sid), GetLengthSid(answer.user.User.Sid));
}

}  // namespace

std::wstring MachineWideFolder(const std::wstring& folder) {
    // "C:" alone would be the drive's current folder.
    const std::wstring asked = !folder.empty() && folder.back() == L':' ? folder + L'\\' : folder;
    const UniqueFile opened = OpenObject(asked, FILE_READ_ATTRIBUTES, 0);
    const std::wstring finalPath = opened ? DriveFinalPath(opened.Get()) : std::wstring();
    if (finalPath.empty()) return {};

    ProgramPlace place;
    place.volume = ReadVolume(finalPath[0]);
    place.folders = ReadWay(finalPath);
    place.program = ReadElement(PathIn(finalPath, L"VexQuilkit.exe"));
    place.extension = ReadElement(PathIn(finalPath, L"flintpop64.dll"));
    place.trustedUser = AdministratorUserSid();
    return AdministratorsAloneControl(place) ? finalPath : std::wstring();
}

std::wstring PathIn(const std::wstring& folder, const wchar_t* name) {
    return !folder.empty() && folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

bool SameFile(const std::wstring& path, const std::wstring& other) {
    BY_HANDLE_FILE_INFORMATION first, second;
    const UniqueFile a = OpenObject(path, FILE_READ_ATTRIBUTES, 0), b = OpenObject(other, FILE_READ_ATTRIBUTES, 0);
    return a && b && GetFileInformationByHandle(a.Get(), &first) && GetFileInformationByHandle(b.Get(), &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}
