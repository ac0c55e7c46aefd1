#pragma once
// What the file tools' end-to-end tests share beyond the driver: a tool started on a list
// file, and a finished run's log read back with its formats.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "framework/Handles.h"
#include "resource.h"

namespace tooltest {

// Starts VexQuilkit in `mode` (2 cleaner, 3 hash checker, 4 time changer, 6 checksum check) on a list file
// naming `paths`; returns the tool's options dialog, null when none shows.
inline HWND StartTool(driver::Process& app, const driver::TempFolder& folder, int mode,
                      const std::vector<std::string>& paths) {
    // UTF-8 after its byte-order mark, as the shell extension writes it.
    std::string list = "\xEF\xBB\xBF";
    for (const std::string& path : paths) list += path + "\r\n";
    driver::WriteFile(folder / "selection.lst", list);
    app =
        driver::Start(driver::QuilkitExe(), "/M" + std::to_string(mode) + " /L \"" + (folder / "selection.lst") + "\"");
    // Mode 6 asks nothing: its run starts at once.
    if (mode == 6) return nullptr;
    const char* titles[] = {"Cleaner - Quillkit", "Hash Checker - Quillkit", "Setting Time"};
    return driver::WaitForWindow(app, titles[mode - 2]);
}

// Makes `top` and `outside`, and under `top` a chain of folders whose path reaches
// `length` characters; returns the deepest folder.
inline std::string MakeTreeWithDeepFolder(const std::string& top, const std::string& outside, size_t length) {
    for (const std::string& made : {top, outside}) EXPECT_TRUE(CreateDirectoryW(driver::Wide(made).c_str(), nullptr));
    std::string deep = top;
    while (deep.size() < length) {
        deep += "\\" + std::string(50, 'd');
        EXPECT_TRUE(CreateDirectoryW(driver::LongPath(deep).c_str(), nullptr)) << deep;
    }
    return deep;
}

// A finished run: the log's text, the same with its formats marked (driver::ReadLogMarked),
// the status bar's last text and the exit code.
struct Outcome {
    std::string text;
    std::string marked;
    std::string status;
    int exitCode = -1;
};

// Confirms the options dialog (unless null), waits for the summary, closes the log.
inline Outcome FinishRun(const driver::Process& app, HWND dialog) {
    if (dialog) driver::Click(dialog, IDOK);
    Outcome run;
    HWND log = driver::WaitForWindow(app, "Log");
    run.status = driver::WaitForRunEnd(log);
    run.text = driver::ReadLogText(log);
    run.marked = driver::ReadLogMarked(log);
    driver::Close(log);
    run.exitCode = driver::WaitForExit(app);
    return run;
}

// The close box ends the options dialog without a run: the program ends with exit code 0
// and leaves no log window.
inline void CloseWithoutRun(const driver::Process& app, HWND dialog) {
    HWND log = driver::WaitForWindow(app, "Log");
    driver::Close(dialog);
    EXPECT_EQ(driver::WaitForExit(app), 0);
    EXPECT_FALSE(IsWindow(log));
}

}  // namespace tooltest
