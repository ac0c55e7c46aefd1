#pragma once
// Who may change a folder, a file, or the way to them, read from security descriptors in
// the self-relative form that GetFileSecurity returns. Platform-free, so that the
// decisions are tested on descriptors built byte by byte.
//
// Besides Administrators, SYSTEM and TrustedInstaller, `trustedUser` (a SID's bytes, or
// empty) is taken for an administrator: the current user when that user is one. Such a
// user may take any folder over anyway; under Wine, which makes every file the current
// user's, it is what tells the prefix's Program Files from a folder under /tmp.
#include <string>
#include <string_view>
#include <vector>

// True when only administrators own or may write the object: its owner is one of them
// and no allowing entry grants a right that changes its contents (or those of a child)
// to anyone else. A missing or null DACL, a descriptor that cannot be read whole, or any
// doubt: false.
bool OnlyAdministratorsCanWrite(std::string_view selfRelativeDescriptor, std::string_view trustedUser = {});

// For a folder on the way from a volume's root down to the program's folder: true when
// only administrators own it, may rename or delete it (`isRoot`: a volume's root cannot
// be), may rename, delete or replace what it holds, or may change who can. Entries that
// only pass on to children are left out: the children on the way are judged on their own.
bool OnlyAdministratorsCanMoveBelow(std::string_view selfRelativeDescriptor, bool isRoot,
                                    std::string_view trustedUser = {});

// What the file system says of the place the program runs from, on its final path (no
// link followed): enough to decide whether every user's Explorer may load the extension
// from there.
struct ProgramPlace {
    // An element of the final path, read without following a link.
    struct Element {
        std::string descriptor;  // empty when it could not be read
        bool isLink = false;     // a reparse point: a junction, a symbolic link, a mount point
    };
    // GetDriveType's answer for the volume's root, and the storage device under it
    // (IOCTL_STORAGE_QUERY_PROPERTY): its STORAGE_BUS_TYPE and whether its media come out.
    struct Volume {
        unsigned driveType = 0;
        bool deviceKnown = false;
        int busType = 0;
        bool removableMedia = true;
    };

    Volume volume;
    std::vector<Element> folders;  // the volume's root first, the program's folder last
    Element program;               // VexQuilkit.exe, which the extension starts
    Element extension;             // flintpop64.dll, which Explorer loads
    std::string trustedUser;
};

// A fixed disk inside this computer: not removable, no USB, FireWire or card reader, not
// an image file mounted as a disk, not a disk reached over the network; unknown is doubt.
bool IsFixedLocalVolume(const ProgramPlace::Volume& volume);

// Whether the extension may be registered for every user from this place: a fixed local
// volume, no link on the way, the program's folder and both files writable by
// administrators alone, and no folder above that lets anyone else move it away. Any
// doubt: false, and the registration is the current user's.
bool AdministratorsAloneControl(const ProgramPlace& place);
