// Stands in for the programs that VexQuilkit and the shell extension start (the command
// interpreter, the editor, VexQuilkit itself): appends its whole command line, the
// arguments part and its own file name, one line each, to the file named by
// VEX_RECORDER_LOG, and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    char log[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableA("VEX_RECORDER_LOG", log, sizeof(log));
    if (length == 0 || length >= sizeof(log)) return 1;
    char image[MAX_PATH + 1] = "";
    GetModuleFileNameA(nullptr, image, MAX_PATH);
    const std::string record = std::string(GetCommandLineA()) + "\n" + arguments + "\n" + image + "\n";
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    // One write, so a reader never sees half a record end in a line break.
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
