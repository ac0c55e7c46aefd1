// Stands in for the programs that VexQuilkit and the extension start (the command
// interpreter, the editor, VexQuilkit itself): appends its command line, its arguments
// and its own file name, a line each in UTF-8, to the file named by VEX_RECORDER_LOG.
#include <windows.h>

#include <string>

static std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
    static wchar_t log[32768], image[32768];
    if (!GetEnvironmentVariableW(L"VEX_RECORDER_LOG", log, 32768) || !log[0]) return 1;
    GetModuleFileNameW(nullptr, image, 32768);
    const std::string record = Utf8(GetCommandLineW()) + "\n" + Utf8(arguments) + "\n" + Utf8(image) + "\n";
    HANDLE file =
        CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    // One write, so a reader never sees half a record.
    WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
