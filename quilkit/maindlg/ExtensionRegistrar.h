#pragma once
// Registers and unregisters flintpop64.dll, for every user or for the current one.
//
// For every user the DLL's path goes where other users' Explorer and elevated programs
// load it from, so that is done only from a place administrators alone control (the
// installer's Program Files\VexQuilkit: MachineWidePlace.h), on its final path, in a
// second instance of the program started elevated for that one step ("/Register" or
// "/Unregister"), which checks the place again, reports the outcome as its exit code and
// shows nothing. From any other folder the registration is the current user's, under
// HKEY_CURRENT_USER, done in this process without elevation.
#include <windows.h>

#include <string>

#include "RegistrationStep.h"

class CExtensionRegistrar {
public:
    // The values of the elevated instance's exit code, from 100 up: keep their order.
    // OthersCanChange: the elevated step refused a place others could change, or, to
    // unregister, a copy that is not the one registered for every user.
    enum class Outcome {
        Succeeded,
        LibraryMissing,
        ExportMissing,
        Failed,
        OthersCanChange,
        ElevationRefused,
        NotStarted
    };

    struct Registrations {
        bool allUsers = false;
        bool thisUser = false;
    };
    // Where the extension is registered now.
    static Registrations Current();
    // Whether Install from the program's folder registers for every user: administrators
    // alone control the folder, the way to it and the files in it.
    static bool InstallsForAllUsers();
    // The DLL registered for every user, as the registry names it; empty when none is.
    static std::wstring MachineExtension();
    // Whether that registration is this copy's DLL, whatever path names it: a registration
    // of the user's own would add nothing but a second entry to remove.
    static bool MachineRegistrationIsThisCopy();

    // The elevated instance's work: the DLL beside the program, its machine-wide export,
    // where the place allows it.
    static Outcome CallExport(RegistrationStep step);
    // The current user's registration, in this process: DllInstall with "user".
    static Outcome CallUserExport(RegistrationStep step);
    // The user's instance: starts the elevated one and waits for it while `owner`, its
    // window, is disabled but still repaints.
    static Outcome RunElevated(HWND owner, RegistrationStep step);

    // The exit code that carries an outcome from the elevated instance, and back.
    static int ExitCodeOf(Outcome outcome) { return kExitBase + static_cast<int>(outcome); }
    static Outcome OutcomeOf(DWORD exitCode);

private:
    static constexpr int kExitBase = 100;
};
