// The helper of `make screenshots`. It runs inside Wine's virtual desktop, starts the real
// programs there, sets up each picture and has scripts/make-screenshots.sh take it.
//   ShotsDriver <marker folder> <sample folder> <Skyperch.exe> [<suffix>]
// The sample folder is a copy of samples/hashcheck; nothing in it is changed, and the
// pictures that need other files have them written beside it. With a suffix only a few
// are taken, their names ending in it: "-150", in a desktop at another display scale, the
// log and Skyperch; "-ja", under a Japanese locale, the hash checker and its log. The exit
// code is the number of pictures that could not be set up.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "Driver.h"
#include "MouseDrag.h"
#include "ShellMenuHost.h"
#include "ShotSession.h"
#include "framework/Handles.h"
#include "resource.h"

namespace {

constexpr int kGap = 16;
// The log as pictured alone, and beside Skyperch, in pixels.
constexpr int kLogShotHeight = 260;
// At the least wide enough for the verdict of the cleaner's Preview, at 96 dpi.
constexpr int kLogShotMinWidth = 600;
constexpr SIZE kLogBesideSkyperch = {560, 260};

std::string QuilkitFolder() {
    const std::string exe = driver::QuilkitExe();
    return exe.substr(0, exe.rfind('\\'));
}

// VexQuilkit in `mode` on a list file that names `path`, as the shell extension starts it.
driver::Process StartTool(int mode, const std::string& path, const driver::TempFolder& temp) {
    const std::string list = temp / ("selection" + std::to_string(mode) + ".lst");
    driver::WriteFile(list, "\xEF\xBB\xBF" + path + "\r\n");
    return driver::Start(driver::QuilkitExe(), "/M" + std::to_string(mode) + " /L \"" + list + "\"");
}

// The process's visible top-level window that holds the control `id`: found by what it
// holds, as its title is in the user's language.
HWND WaitForWindowWith(const driver::Process& app, int id) {
    struct Search {
        DWORD process;
        int id;
        HWND found;
    } search = {app.Id(), id, nullptr};
    for (int i = 0; i < 400 && !search.found; ++i, Sleep(50))
        EnumWindows(
            [](HWND window, LPARAM lParam) {
                auto* wanted = reinterpret_cast<Search*>(lParam);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process != wanted->process || !IsWindowVisible(window) || !GetDlgItem(window, wanted->id))
                    return TRUE;
                wanted->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WaitUntilGone(HWND window) {
    for (int i = 0; i < 400 && IsWindow(window); ++i) Sleep(50);
}

void MoveTo(HWND window, int x, int y, int width = 0, int height = 0) {
    const UINT keepSize = width > 0 ? 0 : SWP_NOSIZE;
    SetWindowPos(window, nullptr, x, y, width, height, keepSize | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT CentreOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// How far the text of a rich edit control reaches past its client area, in pixels.
int HiddenWidth(HWND edit) {
    const int lines = int(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    int widest = 0;
    for (int line = 0; line < lines; ++line) {
        const LRESULT start = SendMessageW(edit, EM_LINEINDEX, line, 0);
        const LRESULT end = start + SendMessageW(edit, EM_LINELENGTH, start, 0);
        // With an index rather than a pointer, the position comes back packed: no pointer
        // could cross into the control's process.
        widest = std::max<int>(widest, short(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, end, 0))));
    }
    RECT client = {};
    GetClientRect(edit, &client);
    return widest - client.right;
}

int DesktopDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Fits the log's width to its longest line and its verdict, as far as the desktop allows,
// and keeps its height short: the picture shows the lines and the status bar, not an
// empty page.
void FitLogToText(HWND log) {
    const int hidden = HiddenWidth(GetDlgItem(log, IDC_LOG));
    RECT rect = {}, desktop = {};
    GetWindowRect(log, &rect);
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int fitted =
        std::max<int>(rect.right - rect.left + hidden + kGap, MulDiv(kLogShotMinWidth, DesktopDpi(), 96));
    const int width = std::min<int>(fitted, desktop.right - 2 * kGap);
    const int height = std::min<int>(rect.bottom - rect.top, kLogShotHeight);
    MoveTo(log, (desktop.right - width) / 2, rect.top, width, height);
    // Where lines stay wider than the desktop, their beginnings: the paths. (Wine's rich
    // edit keeps the view where the appends scrolled it.)
    SendMessageW(GetDlgItem(log, IDC_LOG), WM_HSCROLL, SB_LEFT, 0);
}

// A folder `name` beside the samples with `files` (name and content; a name may start
// with one sub-folder), at a short path that reads well in a picture. The script empties
// that place before each pass.
std::string SampleFolder(const std::string& samples, const std::string& name,
                         const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string folder = samples.substr(0, samples.rfind('\\')) + "\\" + name;
    CreateDirectoryW(driver::Wide(folder).c_str(), nullptr);
    for (const auto& [file, content] : files) {
        const size_t slash = file.find('\\');
        if (slash != std::string::npos)
            CreateDirectoryW(driver::Wide(folder + "\\" + file.substr(0, slash)).c_str(), nullptr);
        driver::WriteFile(folder + "\\" + file, content);
    }
    return folder;
}

// The log once its run has ended, fitted to its lines, as `name`.
void CaptureEndedLog(CShotSession& shots, HWND log, const char* name) {
    driver::WaitForRunEnd(log);
    FitLogToText(log);
    shots.Capture(name, {log});
}

// Skyperch's finder: the only icon on its dialog.
HWND FinderOf(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return child;
    return nullptr;
}

void ShowMainDialog(CShotSession& shots) {
    driver::Process app = driver::Start(driver::QuilkitExe(), "");
    HWND dialog = driver::WaitForWindow(app, "VexQuilkit");
    shots.Capture("main-dialog", {dialog});
    driver::Close(dialog);
    driver::WaitForExit(app);
}

void ShowContextMenu(CShotSession& shots, const std::string& samples) {
    CShellMenuHost host(QuilkitFolder() + "\\flintpop64.dll");
    if (!host.Select(samples, {"readme.txt", "sub"})) {
        shots.Fail("context-menu", "flintpop64.dll gave no handler for the selection");
        return;
    }
    host.Show({200, 120}, [&](const std::vector<HWND>& menus) {
        if (menus.size() < 2)
            shots.Fail("context-menu", "the submenu did not open");
        else
            shots.Capture("context-menu", menus, kGap);
    });
}

// A tool's options dialog as it opens; closed again before any run.
void ShowOptions(CShotSession& shots, int mode, const std::string& samples, const char* title, const char* name) {
    driver::TempFolder temp;
    driver::Process app = StartTool(mode, samples, temp);
    HWND dialog = driver::WaitForWindow(app, title);
    shots.Capture(name, {dialog});
    HWND log = driver::FindWindowOf(app, driver::CaptionOf(IDD_LOGDLG), 0);
    driver::Close(dialog);
    WaitUntilGone(dialog);
    driver::Close(log);
    driver::WaitForExit(app);
}

// Skyperch beside `target`, its finder held over it: the target shows the finder's frame.
void ShowSkyperchPicking(CShotSession& shots, const std::string& skyperch, HWND target) {
    driver::Process app = driver::Start(skyperch, "");
    HWND dialog = driver::WaitForWindow(app, "Skyperch");
    RECT area = {};
    GetWindowRect(target, &area);
    MoveTo(dialog, area.right + kGap, area.top);
    HWND finder = FinderOf(dialog);
    if (!finder) {
        shots.Fail("skyperch", "no finder on Skyperch's dialog");
        return;
    }
    {
        CMouseDrag drag(CentreOf(finder));
        drag.MoveTo({area.left + (area.right - area.left) / 3, (area.top + area.bottom) / 2});
        shots.Capture("skyperch", {target, dialog});
    }
    driver::Command(dialog, IDCANCEL);
    driver::WaitForExit(app);
}

// Which pictures of the hash run a pass takes besides the log.
struct HashRunShots {
    bool options;
    bool skyperch;
};

// The hash checker with all three digests chosen, its log after the run on the samples,
// then Skyperch picking that log.
void ShowHashRun(CShotSession& shots, const std::string& samples, const std::string& skyperch, HashRunShots taken) {
    driver::TempFolder temp;
    driver::Process app = StartTool(3, samples, temp);
    HWND dialog = WaitForWindowWith(app, IDC_MD5);
    if (!dialog) {
        shots.Fail("hash-checker", "the hash checker did not open");
        return;
    }
    for (int id : {IDC_MD5, IDC_SHA1, IDC_SHA256}) driver::SetCheck(dialog, id, true);
    if (taken.options) shots.Capture("hash-checker", {dialog});
    driver::Click(dialog, IDOK);
    HWND log = WaitForWindowWith(app, IDC_LOG);
    if (!log) {
        shots.Fail("log", "the log did not open");
        return;
    }
    CaptureEndedLog(shots, log, "log");
    if (taken.skyperch) {
        // Room on its right for Skyperch, also when Skyperch is larger at a larger scale.
        MoveTo(log, kGap, kGap, kLogBesideSkyperch.cx, MulDiv(kLogBesideSkyperch.cy, DesktopDpi(), 96));
        ShowSkyperchPicking(shots, skyperch, log);
    }
    driver::Close(log);
    driver::WaitForExit(app);
}

// Verify Checksums on a download's SHA256SUMS, one of the three files it lists cut short:
// the red verdict, the failure selected.
void ShowFailedVerify(CShotSession& shots, const std::string& samples) {
    const std::string sums =
        "54779fd7027caa75b9565690ab4cf28766fe987f41eda15a14583f31b72778e8  setup-x64.exe\n"
        "87b32710079a1f942340e916181be7f02a15fbbaf2ff4457bde40bbe7e979e35  setup-arm64.exe\n"
        "1254829bd9996472de64de2e8c130a27d2a3841c0209bfeefcad382cd3609ace  readme.txt\n";
    const std::string folder = SampleFolder(samples, "download",
                                            {{"setup-x64.exe", "VexQuilkit 1.0 for x64"},
                                             {"setup-arm64.exe", "VexQuilkit 1.0 for AR"},
                                             {"readme.txt", "Release notes"},
                                             {"SHA256SUMS", sums}});
    driver::TempFolder temp;
    driver::Process app = StartTool(6, folder + "\\SHA256SUMS", temp);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    CaptureEndedLog(shots, log, "log-failed");
    driver::Close(log);
    driver::WaitForExit(app);
}

// The cleaner's Preview on a small project: what would go, and nothing gone.
void ShowCleanerPreview(CShotSession& shots, const std::string& samples) {
    const std::string folder = SampleFolder(samples, "project",
                                            {{"app.cpp", std::string(2300, 'x')},
                                             {"app.obj", std::string(48213, 'x')},
                                             {"app.pdb", std::string(495616, 'x')},
                                             {"lib\\util.cpp", std::string(900, 'x')},
                                             {"lib\\util.obj", std::string(12840, 'x')}});
    driver::TempFolder temp;
    driver::Process app = StartTool(2, folder, temp);
    HWND dialog = driver::WaitForWindow(app, "Cleaner - Quillkit");
    driver::Click(dialog, IDC_PREVIEW);
    HWND log = driver::WaitForWindow(app, driver::CaptionOf(IDD_LOGDLG));
    CaptureEndedLog(shots, log, "cleaner-preview");
    driver::Close(log);
    driver::WaitForExit(app);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        fputs("usage: ShotsDriver <marker folder> <sample folder> <Skyperch.exe> [<suffix>]\n", stderr);
        return 1;
    }
    // Window rectangles and mouse positions in the desktop's own pixels, at any scale, for
    // windows of per-monitor aware programs too.
    using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    auto setContext = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (!setContext || !setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) SetProcessDPIAware();
    const std::string samples = argv[2];
    ScopedComApartment com(COINIT_APARTMENTTHREADED);
    const std::string suffix = argc == 5 ? argv[4] : "";
    CShotSession shots(argv[1], suffix);
    if (!suffix.empty()) {
        ShowHashRun(shots, samples, argv[3], {suffix == "-ja", suffix != "-ja"});
        return shots.Failures();
    }
    ShowMainDialog(shots);
    ShowContextMenu(shots, samples);
    ShowOptions(shots, 2, samples, "Cleaner - Quillkit", "cleaner");
    ShowOptions(shots, 4, samples, "Setting Time", "time-changer");
    ShowHashRun(shots, samples, argv[3], {true, true});
    ShowFailedVerify(shots, samples);
    ShowCleanerPreview(shots, samples);
    return shots.Failures();
}
