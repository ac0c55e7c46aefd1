// Who may write a folder, decided on security descriptors built here byte by byte, in the
// self-relative layout that GetFileSecurity returns.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "maindlg/FolderWriters.h"

namespace {

void Put16(std::string& bytes, uint16_t value) {
    bytes += char(value & 0xFF);
    bytes += char(value >> 8);
}
void Put32(std::string& bytes, uint32_t value) {
    Put16(bytes, uint16_t(value & 0xFFFF));
    Put16(bytes, uint16_t(value >> 16));
}

std::string Sid(uint8_t authority, std::initializer_list<uint32_t> subAuthorities) {
    std::string bytes = {1, char(subAuthorities.size()), 0, 0, 0, 0, 0, char(authority)};
    for (uint32_t sub : subAuthorities) Put32(bytes, sub);
    return bytes;
}

const std::string kAdministrators = Sid(5, {32, 544}), kSystem = Sid(5, {18}), kUsers = Sid(5, {32, 545}),
                  kAuthenticatedUsers = Sid(5, {11}), kEveryone = Sid(1, {0}), kCreatorOwner = Sid(3, {0}),
                  kAppPackages = Sid(15, {2, 1}), kAlice = Sid(5, {21, 1, 2, 3, 1001}),
                  kTrustedInstaller = Sid(5, {80, 956008885, 3418522649, 1831038044, 1853292631, 2271478464});

constexpr uint32_t kFullControl = 0x1F01FF, kModify = 0x1301BF, kReadExecute = 0x1200A9, kGenericAll = 0x10000000,
                   kGenericWrite = 0x40000000, kGenericReadExecute = 0xA0000000;
constexpr uint8_t kObjectInherit = 0x01, kContainerInherit = 0x02, kInheritOnly = 0x08;

std::string Ace(uint32_t mask, const std::string& sid, uint8_t flags = kObjectInherit | kContainerInherit,
                uint8_t type = 0) {
    std::string bytes = {char(type), char(flags)};
    Put16(bytes, uint16_t(8 + sid.size()));
    Put32(bytes, mask);
    return bytes + sid;
}

// An ACCESS_ALLOWED_OBJECT_ACE with an object-type GUID before its SID.
std::string ObjectAce(uint32_t mask, const std::string& sid) {
    std::string bytes = {5, 0};
    Put16(bytes, uint16_t(12 + 16 + sid.size()));
    Put32(bytes, mask);
    Put32(bytes, 1);  // ACE_OBJECT_TYPE_PRESENT
    return bytes + std::string(16, '\x42') + sid;
}

std::string Descriptor(const std::string& owner, std::initializer_list<std::string> aces, bool daclPresent = true,
                       bool nullDacl = false) {
    std::string acl = {2, 0};
    size_t size = 8;
    for (const std::string& ace : aces) size += ace.size();
    Put16(acl, uint16_t(size));
    Put16(acl, uint16_t(aces.size()));
    Put16(acl, 0);
    for (const std::string& ace : aces) acl += ace;

    std::string bytes = {1, 0};
    Put16(bytes, uint16_t(0x8000 | 0x1000 | (daclPresent ? 0x0004 : 0)));  // self-relative, protected
    Put32(bytes, 20);                                                      // owner
    Put32(bytes, 0);                                                       // group
    Put32(bytes, 0);                                                       // SACL
    Put32(bytes, daclPresent && !nullDacl ? uint32_t(20 + owner.size()) : 0);
    return bytes + owner + acl;
}

// C:\Program Files\VexQuilkit as the installer leaves it.
std::string ProgramFilesFolder(const std::string& owner = kAdministrators) {
    return Descriptor(
        owner, {Ace(kFullControl, kTrustedInstaller, kContainerInherit),
                Ace(kGenericAll, kTrustedInstaller, kContainerInherit | kInheritOnly), Ace(kFullControl, kSystem, 0),
                Ace(kGenericAll, kSystem, 0x0B), Ace(kFullControl, kAdministrators), Ace(kReadExecute, kUsers),
                Ace(kGenericReadExecute, kUsers, 0x0B), Ace(kGenericAll, kCreatorOwner, 0x0B),
                Ace(kReadExecute, kAppPackages), Ace(0x100, kEveryone)});
}

}  // namespace

TEST(FolderWriters, AFolderOnlyAdministratorsCanWriteIsTrusted) {
    EXPECT_TRUE(OnlyAdministratorsCanWrite(ProgramFilesFolder()));
    EXPECT_TRUE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kTrustedInstaller)));
    EXPECT_TRUE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kSystem)));
    EXPECT_TRUE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {})));  // an empty DACL admits nobody
    // A denying entry for Users changes nothing either way.
    EXPECT_TRUE(OnlyAdministratorsCanWrite(
        Descriptor(kAdministrators, {Ace(kModify, kUsers, 0, 1), Ace(kFullControl, kAdministrators)})));
}

TEST(FolderWriters, AnyoneElseWithAWriteRightMakesTheFolderUserWritable) {
    for (const std::string& sid : {kUsers, kAuthenticatedUsers, kEveryone, kAlice, kAppPackages}) {
        SCOPED_TRACE(testing::PrintToString(sid));
        EXPECT_FALSE(OnlyAdministratorsCanWrite(
            Descriptor(kAdministrators, {Ace(kFullControl, kSystem), Ace(kModify, sid)})));  // Users:Modify
        // Each right that lets its holder add, replace, delete or take over a file.
        for (uint32_t right : {0x2u, 0x4u, 0x40u, 0x10000u, 0x40000u, 0x80000u, kGenericAll, kGenericWrite})
            EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {Ace(kReadExecute | right, sid)})))
                << std::hex << right;
        // Inherit-only still reaches the files the folder holds; object and callback ACEs count too.
        EXPECT_FALSE(OnlyAdministratorsCanWrite(
            Descriptor(kAdministrators, {Ace(kGenericWrite, sid, kObjectInherit | kInheritOnly)})));
        EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {ObjectAce(kModify, sid)})));
        EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {Ace(kModify, sid, 0, 9)})));
    }
    // Attributes and extended attributes alone do not replace a file.
    EXPECT_TRUE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {Ace(kReadExecute | 0x110, kUsers)})));
    // CREATOR OWNER grants nothing on the folder itself; not inherit-only, it is doubted.
    EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {Ace(kGenericAll, kCreatorOwner, 0x03)})));
}

TEST(FolderWriters, AFolderOwnedByAUserIsUserWritable) {
    EXPECT_FALSE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kAlice)));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kUsers)));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kCreatorOwner)));
}

TEST(FolderWriters, NoDaclANullDaclAndBrokenDescriptorsAreNotTrusted) {
    EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {}, false)));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {}, true, true)));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(""));
    const std::string whole = ProgramFilesFolder();
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(OnlyAdministratorsCanWrite(whole.substr(0, length))) << length;
    std::string absolute = whole;
    absolute[3] = 0x10;  // the control without SE_SELF_RELATIVE: the offsets are pointers
    EXPECT_FALSE(OnlyAdministratorsCanWrite(absolute));
    std::string counted = whole;
    counted[20 + kAdministrators.size() + 4] = char(0xFF);  // more ACEs than the ACL holds
    EXPECT_FALSE(OnlyAdministratorsCanWrite(counted));
    std::string wideSid = whole;
    wideSid[21] = 16;  // more sub-authorities than a SID may have
    EXPECT_FALSE(OnlyAdministratorsCanWrite(wideSid));
}
