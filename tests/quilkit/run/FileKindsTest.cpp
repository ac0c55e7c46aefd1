#include "run/FileKinds.h"

#include <gtest/gtest.h>

namespace {

TEST(FileKinds, OnlyNameSurrogatesAreLinksAndOnlyOfflineOrRecallDataIsElsewhere) {
    // Symbolic link, junction (mount point), WSL's and Wine's unknown.
    for (uint32_t tag : {0xA000000Cu, 0xA0000003u, 0xA000001Du, 0u}) EXPECT_TRUE(filekinds::IsLinkReparseTag(tag));
    // Cloud files (OneDrive, several sub-tags), projected file system (VFS for Git),
    // deduplication, an app execution alias, Windows container isolation, HSM, WOF.
    for (uint32_t tag : {0x9000001Au, 0x9000101Au, 0x9000F01Au, 0x9000001Cu, 0x80000013u, 0x8000001Bu, 0x90001018u,
                         0xC0000004u, 0x80000017u})
        EXPECT_FALSE(filekinds::IsLinkReparseTag(tag)) << std::hex << tag;
    // Recall on data access (with archive), offline, recall on open.
    for (uint32_t attributes : {0x00400020u, 0x00001000u, 0x00040000u})
        EXPECT_TRUE(filekinds::IsDataElsewhere(attributes));
    // Normal, archive, hidden, read-only, sparse, compressed, pinned, unpinned, a
    // reparse point: the data is here.
    for (uint32_t attributes : {0x80u, 0x20u, 0x2u, 0x1u, 0x200u, 0x800u, 0x80000u, 0x100000u, 0x400u})
        EXPECT_FALSE(filekinds::IsDataElsewhere(attributes)) << std::hex << attributes;
}

}  // namespace
