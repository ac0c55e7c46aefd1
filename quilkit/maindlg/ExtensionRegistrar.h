#pragma once
// Registers and unregisters flintpop64.dll, the one thing VexQuilkit does that needs
// administrator rights. The program runs as the user who started it; the registration
// runs in a second instance of it started elevated for that one step ("/Register" or
// "/Unregister"), which reports the outcome as its exit code and shows nothing.
#include <windows.h>

#include "RegistrationStep.h"

class CExtensionRegistrar {
public:
    enum class Outcome { Succeeded, LibraryMissing, ExportMissing, Failed, ElevationRefused, NotStarted };

    // The elevated instance's work: the DLL beside the program, its export called.
    static Outcome CallExport(RegistrationStep step);
    // The user's instance: starts the elevated one and waits for it while `owner`, its
    // window, is disabled but still repaints.
    static Outcome RunElevated(HWND owner, RegistrationStep step);

    // The exit code that carries an outcome from the elevated instance, and back.
    static int ExitCodeOf(Outcome outcome) { return kExitBase + static_cast<int>(outcome); }
    static Outcome OutcomeOf(DWORD exitCode);

private:
    static constexpr int kExitBase = 100;
};
