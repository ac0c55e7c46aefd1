// The driver of `make run` without a display: starts VexQuilkit with its own arguments,
// confirms the options dialog with its defaults, prints the log, closes it and returns
// VexQuilkit's exit code. With VEX_RUN_MARKERS naming a folder, it writes "ready" there with
// the log window's place ("x y width height") once the log is complete, closes the log once
// "shot" exists (the script's screenshot), and leaves the exit code in "exit", as Wine's
// desktop, which the script runs it in, does not pass it on.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Driver.h"
#include "resource.h"

int main() {
    const char* line = GetCommandLineA();  // this program's name, then the arguments
    const char end = *line == '"' ? '"' : ' ';
    for (line += *line == '"'; *line && *line != end;) ++line;
    for (line += *line == '"'; *line == ' ' || *line == '\t';) ++line;
    driver::Process app = driver::Start(driver::QuilkitExe(), line);
    HWND log = app.Handle() ? driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG)) : nullptr, dialog = nullptr;
    for (int i = 0; log && !dialog && i < 400; ++i, Sleep(50))
        for (int form : {IDD_HASHDLG, IDD_EXTDLG, IDD_TIMEDLG})
            if (!dialog) dialog = driver::FindWindowOf(app, driver::CaptionOf(form), 0);
    if (!dialog) {
        fputs("run-main: no options dialog appeared\n", stderr);
        return 1;
    }
    driver::Click(dialog, IDOK);
    driver::WaitForRunEnd(log);
    fputs(driver::ReadLogText(log).c_str(), stdout);
    printf("(status bar: %s)\n", driver::ReadStatus(log).c_str());
    fflush(stdout);
    char markers[MAX_PATH] = "";
    const bool handShake = GetEnvironmentVariableA("VEX_RUN_MARKERS", markers, sizeof(markers)) != 0;
    if (handShake) {
        RECT place = {};
        GetWindowRect(log, &place);
        char text[64];
        snprintf(text, sizeof(text), "%ld %ld %ld %ld", place.left, place.top, place.right - place.left,
                 place.bottom - place.top);
        driver::WriteFile(std::string(markers) + "\\ready", text);
        for (int i = 0; i < 400 && !driver::FileExists(std::string(markers) + "\\shot"); ++i) Sleep(50);
    }
    driver::Close(log);
    const int exitCode = driver::WaitForExit(app);
    if (handShake) driver::WriteFile(std::string(markers) + "\\exit", std::to_string(exitCode));
    return exitCode;
}
