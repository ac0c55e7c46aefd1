// The driver of `make run` without a display: starts VexQuilkit with the command line it
// was given, confirms the options dialog with its defaults, prints the log, lets the
// script take a screenshot, closes the log and returns VexQuilkit's exit code.
//
// Screenshot hand-shake through the folder named by VEX_RUN_MARKERS: this program
// creates "ready" when the log is complete and closes the log once "shot" exists.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Driver.h"

namespace {

// The command line after this program's own name.
std::string ForwardedArguments() {
    const char* line = GetCommandLineA();
    const char end = *line == '"' ? '"' : ' ';
    if (*line == '"') ++line;
    while (*line && *line != end) ++line;
    if (*line == '"') ++line;
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

HWND WaitForOptionsDialog(const driver::Process& app) {
    for (int i = 0; i < 400; ++i) {
        for (const char* title : {"Hash Checker - Quillkit", "Cleaner - Quillkit", "Setting Time"})
            if (HWND dialog = driver::FindWindowOf(app, title, 0)) return dialog;
        Sleep(50);
    }
    return nullptr;
}

void ScreenshotHandshake() {
    char markers[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("VEX_RUN_MARKERS", markers, sizeof(markers))) return;
    const std::string folder = markers;
    driver::WriteFile(folder + "\\ready", "");
    for (int i = 0; i < 400 && !driver::FileExists(folder + "\\shot"); ++i) Sleep(50);
}

}  // namespace

int main() {
    driver::Process app = driver::Start(driver::QuilkitExe(), ForwardedArguments());
    if (!app.Handle()) return 1;
    HWND log = driver::WaitForWindow(app, "Log");
    HWND dialog = WaitForOptionsDialog(app);
    if (!log || !dialog) {
        fprintf(stderr, "run-main: no options dialog appeared\n");
        return 1;
    }
    driver::Click(dialog, IDOK);
    const std::string text = driver::WaitForLogText(log, "---\r\n");
    fputs(text.c_str(), stdout);
    fflush(stdout);
    ScreenshotHandshake();
    driver::Close(log);
    return driver::WaitForExit(app);
}
