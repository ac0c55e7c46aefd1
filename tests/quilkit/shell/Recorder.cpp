// Stands in for the programs that VexQuilkit and the extension start (the command
// interpreter, the editor, VexQuilkit itself): appends its command line, its arguments
// and its own file name, a line each, to the file named by VEX_RECORDER_LOG.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
    char log[MAX_PATH] = "", image[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VEX_RECORDER_LOG", log, sizeof(log)) || !log[0]) return 1;
    GetModuleFileNameA(nullptr, image, MAX_PATH);
    const std::string record = std::string(GetCommandLineA()) + "\n" + arguments + "\n" + image + "\n";
    HANDLE file =
        CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    // One write, so a reader never sees half a record.
    WriteFile(file, record.data(), DWORD(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
