#include "FolderWriters.h"

#include <cstdint>

namespace {

constexpr uint16_t kDaclPresent = 0x0004;
constexpr uint16_t kSelfRelative = 0x8000;
constexpr uint8_t kInheritOnly = 0x08;

enum AceType : uint8_t {
    kAccessAllowed = 0x00,
    kAccessAllowedObject = 0x05,
    kAccessAllowedCallback = 0x09,
    kAccessAllowedCallbackObject = 0x0B,
};

// Rights that let a holder put other code in the folder: add or replace files and
// folders, delete or rename children, or take the object over. Reading, executing and
// the attribute bits are left out.
constexpr uint32_t kWriteRights = 0x0002         // FILE_ADD_FILE / FILE_WRITE_DATA
                                  | 0x0004       // FILE_ADD_SUBDIRECTORY / FILE_APPEND_DATA
                                  | 0x0040       // FILE_DELETE_CHILD
                                  | 0x10000      // DELETE
                                  | 0x40000      // WRITE_DAC
                                  | 0x80000      // WRITE_OWNER
                                  | 0x10000000   // GENERIC_ALL
                                  | 0x40000000;  // GENERIC_WRITE

// Rights on a folder above the program's that let a holder move the way away: rename or
// delete what the folder holds, or take the folder over and grant either. Renaming the
// folder itself (DELETE) is added for any folder but a volume's root.
constexpr uint32_t kMoveChildRights = 0x0040         // FILE_DELETE_CHILD
                                      | 0x40000      // WRITE_DAC
                                      | 0x80000      // WRITE_OWNER
                                      | 0x10000000;  // GENERIC_ALL
constexpr uint32_t kDelete = 0x10000;

constexpr unsigned kDriveFixed = 3;

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    bool Has(size_t offset, size_t count) const { return offset <= m_bytes.size() && count <= m_bytes.size() - offset; }
    uint8_t Byte(size_t offset) const { return static_cast<uint8_t>(m_bytes[offset]); }
    uint16_t Word(size_t offset) const { return uint16_t(Byte(offset) | Byte(offset + 1) << 8); }
    uint32_t Dword(size_t offset) const { return Word(offset) | uint32_t(Word(offset + 2)) << 16; }
    std::string_view Slice(size_t offset, size_t count) const { return m_bytes.substr(offset, count); }

private:
    std::string_view m_bytes;
};

// A SID's bytes: revision 1, the count of sub-authorities, a 6-byte authority, then the
// sub-authorities. Its length, or 0 when the bytes do not hold one.
size_t SidLength(const Reader& in, size_t offset, size_t end) {
    if (!in.Has(offset, 8) || offset + 8 > end || in.Byte(offset) != 1 || in.Byte(offset + 1) > 15) return 0;
    const size_t length = 8 + 4 * size_t(in.Byte(offset + 1));
    return offset + length <= end ? length : 0;
}

// Administrators S-1-5-32-544, SYSTEM S-1-5-18, TrustedInstaller S-1-5-80-956008885-...,
// and the user taken for one of them.
bool IsAdministrative(std::string_view sid, std::string_view trustedUser) {
    if (!trustedUser.empty() && sid == trustedUser) return true;
    static constexpr std::string_view kTrusted[] = {
        {"\x01\x02\x00\x00\x00\x00\x00\x05\x20\x00\x00\x00\x20\x02\x00\x00", 16},
        {"\x01\x01\x00\x00\x00\x00\x00\x05\x12\x00\x00\x00", 12},
        {"\x01\x06\x00\x00\x00\x00\x00\x05\x50\x00\x00\x00\xB5\x89\xFB\x38\x19\x84\xC2\xCB\x5C\x6C\x23\x6D\x57\x00\x77"
         "\x6E\xC0\x02\x64\x87",
         32},
    };
    for (std::string_view trusted : kTrusted)
        if (sid == trusted) return true;
    return false;
}

// CREATOR OWNER S-1-3-0 stands for whoever creates a child; where only the trusted
// accounts can create one, it names one of them.
bool IsCreatorOwner(std::string_view sid) {
    return sid == std::string_view("\x01\x01\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00", 12);
}

// Where an allowing ACE keeps its SID, past the optional object-type GUIDs.
size_t AllowedSidOffset(const Reader& in, size_t ace, uint8_t type, size_t end) {
    if (type == kAccessAllowed || type == kAccessAllowedCallback) return ace + 8;
    if (!in.Has(ace, 12) || ace + 12 > end) return 0;
    const uint32_t flags = in.Dword(ace + 8);
    return ace + 12 + ((flags & 1) ? 16 : 0) + ((flags & 2) ? 16 : 0);
}

bool IsAllowing(uint8_t type) {
    return type == kAccessAllowed || type == kAccessAllowedObject || type == kAccessAllowedCallback ||
           type == kAccessAllowedCallbackObject;
}

// Which allowing entries count, and for which rights.
struct Judged {
    uint32_t rights;
    bool countInheritOnly;  // entries that reach only the children
    std::string_view trustedUser;
};

// Denying entries are not weighed against allowing ones: they can only make a folder
// look more open than it is, never less.
bool DaclAdmitsOnlyAdministrators(const Reader& in, size_t acl, const Judged& judged) {
    if (!in.Has(acl, 8)) return false;
    const size_t end = acl + in.Word(acl + 2);
    if (end < acl + 8 || !in.Has(acl, end - acl)) return false;
    size_t ace = acl + 8;
    for (unsigned count = in.Word(acl + 4); count > 0; --count) {
        if (ace + 4 > end) return false;
        const uint8_t type = in.Byte(ace), flags = in.Byte(ace + 1);
        const size_t size = in.Word(ace + 2);
        if (size < 4 || ace + size > end) return false;
        if (IsAllowing(type)) {
            if (size < 8) return false;
            const size_t sidOffset = AllowedSidOffset(in, ace, type, ace + size);
            const size_t sidLength = sidOffset ? SidLength(in, sidOffset, ace + size) : 0;
            if (sidLength == 0) return false;
            const std::string_view sid = in.Slice(sidOffset, sidLength);
            const bool counts = judged.countInheritOnly || !(flags & kInheritOnly);
            const bool grants = counts && (in.Dword(ace + 4) & judged.rights) != 0;
            const bool trusted =
                IsAdministrative(sid, judged.trustedUser) || (IsCreatorOwner(sid) && (flags & kInheritOnly));
            if (grants && !trusted) return false;
        }
        ace += size;
    }
    return true;
}

// The owner must be an administrator (an owner may always rewrite the DACL), and the DACL
// must grant the judged rights to administrators alone.
bool OwnerAndDaclAdmitOnlyAdministrators(std::string_view descriptor, const Judged& judged) {
    const Reader in(descriptor);
    if (!in.Has(0, 20) || in.Byte(0) != 1) return false;
    const uint16_t control = in.Word(2);
    if (!(control & kSelfRelative) || !(control & kDaclPresent)) return false;
    const size_t owner = in.Dword(4), dacl = in.Dword(16);
    if (owner == 0 || dacl == 0) return false;
    const size_t ownerLength = SidLength(in, owner, descriptor.size());
    if (ownerLength == 0 || !IsAdministrative(in.Slice(owner, ownerLength), judged.trustedUser)) return false;
    return DaclAdmitsOnlyAdministrators(in, dacl, judged);
}

bool IsTrustedFile(const ProgramPlace::Element& file, std::string_view trustedUser) {
    return !file.isLink && OnlyAdministratorsCanWrite(file.descriptor, trustedUser);
}

// Every folder from the root down to the program's: those above it as the way there,
// the last one as the folder the code lies in.
bool TrustedWay(const std::vector<ProgramPlace::Element>& folders, std::string_view trustedUser) {
    if (folders.empty()) return false;
    for (size_t i = 0; i + 1 < folders.size(); ++i)
        if (folders[i].isLink || !OnlyAdministratorsCanMoveBelow(folders[i].descriptor, i == 0, trustedUser))
            return false;
    return IsTrustedFile(folders.back(), trustedUser);
}

}  // namespace

bool OnlyAdministratorsCanWrite(std::string_view selfRelativeDescriptor, std::string_view trustedUser) {
    return OwnerAndDaclAdmitOnlyAdministrators(selfRelativeDescriptor, {kWriteRights, true, trustedUser});
}

bool OnlyAdministratorsCanMoveBelow(std::string_view selfRelativeDescriptor, bool isRoot,
                                    std::string_view trustedUser) {
    const uint32_t rights = isRoot ? kMoveChildRights : kMoveChildRights | kDelete;
    return OwnerAndDaclAdmitOnlyAdministrators(selfRelativeDescriptor, {rights, false, trustedUser});
}

bool IsFixedLocalVolume(const ProgramPlace::Volume& volume) {
    if (volume.driveType != kDriveFixed || !volume.deviceKnown || volume.removableMedia) return false;
    // STORAGE_BUS_TYPE: SCSI, ATAPI, ATA, SSA, Fibre Channel, RAID, SAS, SATA, Storage
    // Spaces, NVMe, SCM and UFS are disks in or wired to this computer. Not USB, 1394, SD,
    // MMC (they come out), iSCSI and NVMe over Fabrics (over the network), nor the virtual
    // buses, which include a VHD mounted from a file.
    static constexpr int kLocalBuses[] = {0x1, 0x2, 0x3, 0x5, 0x6, 0x8, 0xA, 0xB, 0x10, 0x11, 0x12, 0x13};
    for (int bus : kLocalBuses)
        if (volume.busType == bus) return true;
    return false;
}

bool AdministratorsAloneControl(const ProgramPlace& place) {
    return IsFixedLocalVolume(place.volume) && TrustedWay(place.folders, place.trustedUser) &&
           IsTrustedFile(place.program, place.trustedUser) && IsTrustedFile(place.extension, place.trustedUser);
}
