#pragma once
// How the walk and the readers tell objects apart by what the file system says of them:
// the reparse tag of a directory, the attributes of a file. Platform-free, so that the
// values Wine never produces can be checked too.
#include <cstdint>

namespace filekinds {

// Microsoft's bit for tags whose reparse point names another object: symbolic links,
// junctions and mount points (IsReparseTagNameSurrogate).
constexpr uint32_t kNameSurrogateBit = 0x20000000;

// Attributes of a file whose data lives elsewhere (a cloud placeholder, an archive):
// reading it would fetch the data first.
constexpr uint32_t kAttributeOffline = 0x00001000;
constexpr uint32_t kAttributeRecallOnOpen = 0x00040000;
constexpr uint32_t kAttributeRecallOnDataAccess = 0x00400000;

// Whether a directory reparse point with `tag` leads somewhere else and is left alone.
// Every other reparse point (cloud files, projected file systems, deduplication) is a
// folder of the user's. A tag of 0 is none that Windows gives: the system could not say
// what the point is (Wine reports its symbolic links so), and a link is the safe guess.
constexpr bool IsLinkReparseTag(uint32_t tag) { return tag == 0 || (tag & kNameSurrogateBit) != 0; }

// Whether reading a file with `attributes` would first bring its data to this computer.
constexpr bool IsDataElsewhere(uint32_t attributes) {
    return (attributes & (kAttributeOffline | kAttributeRecallOnOpen | kAttributeRecallOnDataAccess)) != 0;
}

}  // namespace filekinds
