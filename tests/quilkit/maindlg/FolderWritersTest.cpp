// Who may write a folder, and whether every user's Explorer may load the extension from a
// place, decided on security descriptors built here byte by byte, in the self-relative
// layout that GetFileSecurity returns.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "maindlg/FolderWriters.h"

namespace {

// `value` in its `size` bytes, least significant first.
void Put(std::string& bytes, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i) bytes += char(value >> (8 * i));
}

std::string Sid(uint8_t authority, std::initializer_list<uint32_t> subAuthorities) {
    std::string bytes = {1, char(subAuthorities.size()), 0, 0, 0, 0, 0, char(authority)};
    for (uint32_t sub : subAuthorities) Put(bytes, sub);
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
    Put(bytes, 8 + sid.size(), 2);
    Put(bytes, mask);
    return bytes + sid;
}

// An ACCESS_ALLOWED_OBJECT_ACE with an object-type GUID before its SID.
std::string ObjectAce(uint32_t mask, const std::string& sid) {
    std::string bytes = {5, 0};
    Put(bytes, 12 + 16 + sid.size(), 2);
    Put(bytes, mask);
    Put(bytes, 1);  // ACE_OBJECT_TYPE_PRESENT
    return bytes + std::string(16, '\x42') + sid;
}

std::string Descriptor(const std::string& owner, std::initializer_list<std::string> aces, bool daclPresent = true,
                       bool nullDacl = false) {
    std::string bytes = {1, 0}, acl = {2, 0}, entries;
    for (const std::string& ace : aces) entries += ace;
    Put(acl, 8 + entries.size(), 2);
    Put(acl, aces.size(), 4);                                     // the count, and two bytes of padding
    Put(bytes, 0x8000 | 0x1000 | (daclPresent ? 0x0004 : 0), 2);  // self-relative, protected
    // The owner's offset, no group, no SACL, the DACL's offset.
    for (const size_t offset : {size_t(20), size_t(0), size_t(0), daclPresent && !nullDacl ? 20 + owner.size() : 0})
        Put(bytes, uint32_t(offset));
    return bytes + owner + acl + entries;
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

TEST(FolderWriters, AFolderOnlyAdministratorsCanWriteIsTrustedAndNoOtherNorABrokenOne) {
    EXPECT_TRUE(OnlyAdministratorsCanWrite(ProgramFilesFolder()));
    EXPECT_TRUE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kTrustedInstaller)));
    EXPECT_TRUE(OnlyAdministratorsCanWrite(ProgramFilesFolder(kSystem)));
    EXPECT_TRUE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {})));  // an empty DACL admits nobody
    // A denying entry for Users changes nothing either way.
    EXPECT_TRUE(OnlyAdministratorsCanWrite(
        Descriptor(kAdministrators, {Ace(kModify, kUsers, 0, 1), Ace(kFullControl, kAdministrators)})));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {}, false)));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(Descriptor(kAdministrators, {}, true, true)));
    EXPECT_FALSE(OnlyAdministratorsCanWrite(""));
    const std::string whole = ProgramFilesFolder();
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(OnlyAdministratorsCanWrite(whole.substr(0, length))) << length;
    // No SE_SELF_RELATIVE (the offsets are pointers), more ACEs than the ACL holds, more
    // sub-authorities than a SID may have.
    for (const auto& [at, byte] : {std::pair{size_t(3), 0x10}, {20 + kAdministrators.size() + 4, 0xFF}, {21, 16}}) {
        std::string broken = whole;
        broken[at] = char(byte);
        EXPECT_FALSE(OnlyAdministratorsCanWrite(broken)) << at;
    }
}

TEST(FolderWriters, AnyoneElseWithAWriteRightMakesTheFolderUserWritable) {
    for (const std::string& sid : {kUsers, kAuthenticatedUsers, kEveryone, kAlice, kAppPackages}) {
        SCOPED_TRACE(testing::PrintToString(sid));
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

namespace {

constexpr uint8_t kInherited = 0x10;
constexpr uint32_t kAddSubfolder = 0x4, kDeleteChild = 0x40, kDelete = 0x10000, kWriteDac = 0x40000;

// A volume's root as Windows formats it: Authenticated Users may create folders in it, and
// Modify passes on to whatever is made below.
std::string VolumeRoot(uint32_t authenticatedUsersHere = kAddSubfolder) {
    return Descriptor(kTrustedInstaller,
                      {Ace(kFullControl, kAdministrators), Ace(kFullControl, kSystem), Ace(kReadExecute, kUsers),
                       Ace(kModify, kAuthenticatedUsers, kObjectInherit | kContainerInherit | kInheritOnly),
                       Ace(authenticatedUsersHere, kAuthenticatedUsers, 0),
                       Ace(kGenericAll, kCreatorOwner, kObjectInherit | kContainerInherit | kInheritOnly)});
}

// A folder made in the root: it inherits the root's entries, Authenticated Users' Modify
// among them, and its creator's full control.
std::string FolderMadeInRoot(const std::string& creator) {
    const uint8_t inherits = kObjectInherit | kContainerInherit | kInherited;
    return Descriptor(creator, {Ace(kFullControl, kAdministrators, inherits), Ace(kFullControl, kSystem, inherits),
                                Ace(kReadExecute, kUsers, inherits), Ace(kModify, kAuthenticatedUsers, inherits),
                                Ace(kFullControl, creator, kInherited)});
}

// What an administrator makes of a folder: inheritance off, Administrators and SYSTEM
// full control, Users read and execute.
std::string LockedDown(const std::string& owner = kAdministrators, uint32_t usersRights = kReadExecute) {
    return Descriptor(owner,
                      {Ace(kFullControl, kAdministrators), Ace(kFullControl, kSystem), Ace(usersRights, kUsers)});
}

std::string FileInLockedFolder(const std::string& owner = kAdministrators) {
    return Descriptor(owner, {Ace(kFullControl, kAdministrators, kInherited), Ace(kFullControl, kSystem, kInherited),
                              Ace(kReadExecute, kUsers, kInherited)});
}

ProgramPlace::Element Plain(const std::string& descriptor) { return {descriptor, false}; }
ProgramPlace::Element Link(const std::string& descriptor) { return {descriptor, true}; }

constexpr unsigned kDriveFixed = 3, kDriveRemote = 4;
constexpr int kSata = 0xB, kNvme = 0x11, kUsb = 0x7, kVhd = 0xF;

// C:\Program Files\VexQuilkit on an internal SATA disk, as the installer leaves it.
ProgramPlace InstalledPlace() {
    ProgramPlace place;
    place.volume = {kDriveFixed, true, kSata, false};
    place.folders = {Plain(VolumeRoot()), Plain(ProgramFilesFolder(kTrustedInstaller)), Plain(ProgramFilesFolder())};
    place.program = place.extension = Plain(FileInLockedFolder());
    return place;
}

// Under Wine every file is the current user's, with full control, SYSTEM's too, and
// Everyone may read it; where the Unix mode lets others write (/tmp), Everyone may too.
const std::string kWineUser = Sid(5, {21, 0, 0, 0, 1000});
std::string WineObject(uint32_t everyone = kReadExecute) {
    return Descriptor(kWineUser, {Ace(kFullControl, kSystem), Ace(kFullControl, kWineUser), Ace(everyone, kEveryone)});
}

// The prefix's Program Files, its folder under /tmp where `everyoneInFolder` says so.
void InWine(ProgramPlace& place, uint32_t everyoneInFolder, const std::string& trustedUser) {
    place.folders = {Plain(WineObject()), Plain(WineObject(everyoneInFolder)), Plain(WineObject())};
    place.program = place.extension = Plain(WineObject());
    place.trustedUser = trustedUser;
}

using Change = std::function<void(ProgramPlace&)>;
Change Folder(size_t index, const std::string& descriptor) {
    return [=](ProgramPlace& p) { p.folders[index] = Plain(descriptor); };
}
Change UsersAbove(uint32_t right) { return Folder(1, LockedDown(kAdministrators, kReadExecute | right)); }
Change LinkedFolder(size_t index, const std::string& descriptor) {
    return [=](ProgramPlace& p) { p.folders[index] = Link(descriptor); };
}
Change Folders(const std::vector<std::string>& descriptors) {
    return [=](ProgramPlace& p) {
        p.folders.clear();
        for (const std::string& descriptor : descriptors) p.folders.push_back(Plain(descriptor));
    };
}

}  // namespace

// The decision on the whole way to the program, a table of the places users pick.
TEST(FolderWriters, EveryUsersExplorerLoadsOnlyWhatAdministratorsControlAllTheWay) {
    const std::string tools = "C:\\Tools\\VexQuilkit, an administrator's locked folder, ";
    const struct {
        std::string place;
        Change change;
        bool allUsers;
    } rows[] = {
        {"C:\\Program Files\\VexQuilkit", [](ProgramPlace&) {}, true},
        {"the same on NVMe", [](ProgramPlace& p) { p.volume.busType = kNvme; }, true},

        // The way down: anyone who may rename a folder on it may put another there.
        {(tools + "in C:\\Tools (or D:\\Apps) that an administrator made (Authenticated Users: Modify, inherited)"),
         Folders({VolumeRoot(), FolderMadeInRoot(kAdministrators), LockedDown()}), false},
        {(tools + "in C:\\Tools locked down as well"), Folders({VolumeRoot(), LockedDown(), LockedDown()}), true},
        {(tools + "in a locked C:\\Tools that a user owns"), Folders({VolumeRoot(), LockedDown(kAlice), LockedDown()}),
         false},
        {"Users may delete children of the folder above", UsersAbove(kDeleteChild), false},
        {"Users may delete the folder above", UsersAbove(kDelete), false},
        {"Users may change who may use the folder above", UsersAbove(kWriteDac), false},
        {"Users may add folders to the folder above: nothing of the way moves", UsersAbove(kAddSubfolder), true},
        {"Users may delete children of the root", Folder(0, VolumeRoot(kAddSubfolder | kDeleteChild)), false},
        {"D:\\VexQuilkit, a locked folder in a second disk's root", Folders({VolumeRoot(), LockedDown()}), true},
        {"the program in a volume's root, where users may add folders", Folders({VolumeRoot()}), false},
        {"the folder itself: Users may modify it", Folder(2, LockedDown(kAdministrators, kModify)), false},
        {"a folder whose DACL was not read", Folder(1, ""), false},
        {"no way at all", [](ProgramPlace& p) { p.folders.clear(); }, false},

        // Links on the way, whatever they are like themselves.
        {"a junction on the way", LinkedFolder(1, ProgramFilesFolder(kTrustedInstaller)), false},
        {"the program's folder a junction", LinkedFolder(2, ProgramFilesFolder()), false},
        {"flintpop64.dll a symbolic link", [](ProgramPlace& p) { p.extension = Link(FileInLockedFolder()); }, false},

        // The files Explorer loads and starts.
        {"VexQuilkit.exe a user owns", [](ProgramPlace& p) { p.program = Plain(FileInLockedFolder(kAlice)); }, false},
        {"flintpop64.dll that Users may modify",
         [](ProgramPlace& p) { p.extension = Plain(LockedDown(kAdministrators, kModify)); }, false},

        // The volume: "Administrators" on a disk that leaves the computer are anyone's.
        {"removable media on SATA", [](ProgramPlace& p) { p.volume.removableMedia = true; }, false},
        {"a USB disk", [](ProgramPlace& p) { p.volume.busType = kUsb; }, false},
        {"a VHD mounted from a file", [](ProgramPlace& p) { p.volume.busType = kVhd; }, false},
        {"a mapped network drive", [](ProgramPlace& p) { p.volume.driveType = kDriveRemote; }, false},
        {"a fixed drive whose device does not answer", [](ProgramPlace& p) { p.volume.deviceKnown = false; }, false},

        // Wine's made-up descriptors: the administrator who runs it is trusted as one.
        {"Wine: the prefix's Program Files", [](ProgramPlace& p) { InWine(p, kReadExecute, kWineUser); }, true},
        {"Wine: a user not taken for an administrator", [](ProgramPlace& p) { InWine(p, kReadExecute, ""); }, false},
        {"Wine: a folder under /tmp", [](ProgramPlace& p) { InWine(p, 0x1301FF, kWineUser); }, false},
        {"Wine: trusting another user trusts that user alone", [](ProgramPlace& p) { InWine(p, kReadExecute, kAlice); },
         false},
    };
    for (const auto& row : rows) {
        ProgramPlace place = InstalledPlace();
        row.change(place);
        EXPECT_EQ(row.allUsers, AdministratorsAloneControl(place)) << row.place;
    }
}
