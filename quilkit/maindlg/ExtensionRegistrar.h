#pragma once
// Registers and unregisters flintpop64.dll, for every user or for the current one.
//
// For every user the DLL's path goes where other users' Explorer and elevated programs
// load it from, so that is done only from a folder that administrators alone can write
// (the installer's Program Files\VexQuilkit), in a second instance of the program started
// elevated for that one step ("/Register" or "/Unregister"), which reports the outcome as
// its exit code and shows nothing. From any other folder the registration is the current
// user's, under HKEY_CURRENT_USER, done in this process without elevation.
#include <windows.h>

#include "RegistrationStep.h"

class CExtensionRegistrar {
public:
    // The values of the elevated instance's exit code, from 100 up: keep their order.
    enum class Outcome { Succeeded, LibraryMissing, ExportMissing, Failed, ElevationRefused, NotStarted };

    struct Registrations {
        bool allUsers = false;
        bool thisUser = false;
    };
    // Where the extension is registered now.
    static Registrations Current();
    // Whether Install from the program's folder registers for every user: the folder and
    // the DLL in it can be written by administrators alone.
    static bool InstallsForAllUsers();
    // Whether the registration for every user names the DLL beside this program: a
    // registration of the user's own would add nothing but a second entry to remove.
    static bool AllUsersLoadFromHere();

    // The elevated instance's work: the DLL beside the program, its machine-wide export.
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
