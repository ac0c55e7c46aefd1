#pragma once
// What a checksum entry's name reaches, told from its text before anything opens it: a
// downloaded checksum file must not make the program connect to another computer with the
// user's credentials, nor open a device or a pipe, whatever the spelling. Platform-free.
#include <string>
#include <string_view>

// Another computer: \\host\share, //host/x, and the \\?\, \\.\ and \??\ forms that resolve
// to UNC (\\?\UNC\host, \\.\C:\..\UNC\host\share, \\?\GLOBALROOT\Device\Mup\host).
// A device: the reserved names (CON, NUL, COM1, LPT1, ...) as any part of the path, whatever
// follows them after a dot or a colon and whatever blanks end them (COM1:, NUL:x,
// sub/LPT1:.txt, "CON .txt"); and the \\?\, \\.\ and \??\ forms that resolve to anything but
// a path below a drive letter (pipes, volumes, GLOBALROOT's objects, a drive itself).
// Everything else, absolute local paths included, is a local file.
// The \\?\, \\.\ and \??\ forms resolve as GetFullPathNameW resolves them: "/" is "\", "."
// segments go and ".." takes the segment before it, the drive too; GLOBAL and
// GLOBALROOT\?? lead back to the same names. Names compare in any case, trailing dots and
// blanks dropped. A segment of dots and blanks other than "." and ".." leaves the resolution
// in doubt: such a path is a device.
enum class EntryTarget { LocalFile, OtherComputer, Device };
EntryTarget ClassifyEntryName(std::u16string_view name);

// The "host\share" (ASCII lower case) that a name of another computer reaches; empty for any
// other name, and for one that names no share (\\host alone, a redirector's own objects).
std::u16string ShareOfEntryName(std::u16string_view name);
