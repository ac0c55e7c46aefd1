#pragma once
// How a checksum file names the files it lists: from the folder the checksum file is in,
// parts joined with "/" and ".." for each folder up, as GNU's tools and mode 6 read names
// there. Platform-free: the file system's comparison of names is passed in.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Whether two names of one folder name the same entry (on Windows, without regard to case).
using SameNamePart = std::function<bool(std::u16string_view, std::u16string_view)>;

// `path`, an absolute path to a file, named from `folder`, an absolute folder: "a.txt",
// "sub/a.txt", "../other/a.txt". Nothing when no relative name reaches it, as the two lie
// on different drives or shares. "\\?\C:\" and "\\?\UNC\host\share" are the drive and the
// share they spell; "\" and "/" both separate, and empty parts and "." count for nothing.
std::optional<std::u16string> RelativeName(std::u16string_view path, std::u16string_view folder,
                                           const SameNamePart& same);
