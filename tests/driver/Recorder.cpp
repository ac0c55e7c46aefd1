// Stands in for the programs that VexQuilkit and the extension start (the command
// interpreter, the editor, VexQuilkit itself): appends its command line, its arguments
// and its own file name, a line each in UTF-8, to the file named by VEX_RECORDER_LOG.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
    static wchar_t log[32768], image[32768];
    if (!GetEnvironmentVariableW(L"VEX_RECORDER_LOG", log, 32768) || !log[0]) return 1;
    GetModuleFileNameW(nullptr, image, 32768);
    const std::wstring record = std::wstring(GetCommandLineW()) + L"\n" + arguments + L"\n" + image + L"\n";
    std::string utf8(record.size() * 3, '\0');
    utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, record.data(), int(record.size()), &utf8[0], int(utf8.size()),
                                           nullptr, nullptr)));
    HANDLE file =
        CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    // One write, so a reader never sees half a record.
    WriteFile(file, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
