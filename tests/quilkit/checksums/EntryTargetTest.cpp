// What a checksum entry's name reaches, for every spelling that reaches another computer or a
// device, and the local names beside them that must stay checkable. Built natively.
#include <gtest/gtest.h>

#include "checksums/EntryTarget.h"
#include "text/Utf8Text.h"

namespace {

// Each spelling of another computer with the share that ShareOfEntryName gives.
struct Spelling {
    const char16_t* name;
    const char16_t* share;
};
const Spelling kOtherComputers[] = {
    // Shares, written as such.
    Spelling{u"\\\\host\\share\\x", u"host\\share"}, Spelling{u"//host/x", u"host\\x"},
    Spelling{u"\\/Host/Share/x", u"host\\share"}, Spelling{u"\\\\host", u""},
    Spelling{u"\\\\?\\UNC\\host\\s\\x", u"host\\s"}, Spelling{u"//?/unc/h/s", u"h\\s"},
    Spelling{u"\\\\.\\UNC\\host\\s", u"host\\s"}, Spelling{u"\\??\\UNC\\h\\s\\f", u"h\\s"},
    // A drive's device form that ".." leaves for UNC, as GetFullPathNameW resolves it.
    Spelling{u"\\\\.\\C:\\..\\UNC\\host\\share\\f", u"host\\share"},
    Spelling{u"\\\\?\\C:\\..\\UNC\\host\\share\\f", u"host\\share"}, Spelling{u"//./c:/../unc/h/s/f", u"h\\s"},
    Spelling{u"\\??\\C:\\..\\UNC\\h\\s\\f", u"h\\s"}, Spelling{u"\\\\.\\C:\\x\\y\\..\\..\\..\\UNC\\h\\s", u"h\\s"},
    Spelling{u"\\\\?\\c:\\..\\..\\..\\unc\\h\\s", u"h\\s"}, Spelling{u"\\\\.\\C:\\.\\..\\\\UNC\\h\\s", u"h\\s"},
    Spelling{u"\\\\?\\C:/..\\Unc\\H\\S", u"h\\s"}, Spelling{u"\\\\?\\C:\\..\\UNC. \\h\\s", u"h\\s"},
    Spelling{u"\\\\?\\C:\\..\\UNC\\h. \\s .\\f", u"h\\s"},
    // The same through GLOBAL and GLOBALROOT.
    Spelling{u"\\\\?\\GLOBAL\\UNC\\h\\s", u"h\\s"}, Spelling{u"\\\\?\\GLOBALROOT\\??\\UNC\\h\\s", u"h\\s"},
    Spelling{u"\\\\.\\globalroot\\global??\\unc\\h\\s", u"h\\s"},
    Spelling{u"\\\\?\\GLOBALROOT\\DosDevices\\C:\\..\\UNC\\h\\s", u"h\\s"},
    Spelling{u"\\\\?\\GLOBALROOT\\Device\\Mup\\h\\s\\f", u"h\\s"},
    Spelling{u"//?/globalroot/device/lanmanredirector/h/s", u"h\\s"},
    Spelling{u"\\\\?\\C:\\..\\GLOBALROOT\\Device\\WebDavRedirector\\h\\s", u"h\\s"},
    Spelling{u"\\\\?\\GLOBALROOT\\Device\\Mup", u""}};

const char16_t* const kDevices[] = {
    // Reserved names, with an extension, a colon, trailing blanks or dots, in any folder.
    u"COM1", u"com9.txt", u"sub/NUL", u"aux.tar.gz", u"C:\\x\\LPT1", u"CON ", u"CONOUT$", u"COM\u00B9", u"COM1:",
    u"NUL:x", u"CON:", u"sub/LPT1:.txt", u"sub\\com1 :", u"LPT2.", u"nul. .txt", u"con .txt", u"C:COM1",
    u"C:\\x\\Aux:stream",
    // Device forms that name no file below a drive.
    u"\\\\.\\pipe\\x", u"\\??\\pipe\\x", u"//./COM1", u"\\\\.\\COM1", u"\\\\?\\Volume{1}\\x",
    u"\\\\.\\C:\\x\\..\\..\\pipe\\p", u"//./c:/x/../../PIPE/p", u"\\\\?\\C:\\..\\pipe. \\p", u"\\\\.\\C:\\..\\COM1",
    u"\\\\?\\GLOBAL\\pipe\\p", u"\\\\?\\GLOBALROOT\\??\\pipe\\p", u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x",
    u"\\\\?\\GLOBALROOT", u"\\\\.\\", u"\\\\.", u"\\\\?\\C:", u"\\\\.\\C:\\", u"\\\\.\\PhysicalDrive0",
    u"\\\\.\\C:\\x\\CON",
    // A segment of dots and blanks whose meaning is in doubt.
    u"\\\\.\\C:\\x\\.. \\..\\UNC\\h\\s", u"\\\\?\\C:\\...\\x", u"\\\\?\\C:\\x\\. \\y"};

const char16_t* const kLocalFiles[] = {
    // Names below the checksum file's folder or on a drive, streams among them.
    u"a.iso", u"sub/x", u"C:\\Users\\me\\a.iso", u"\\root.txt", u"C:\\..\\..\\UNC\\h\\s", u"x:y.txt", u"a.txt:stream",
    u".hidden", u"../up/x", u"\\??x\\y",
    // The device forms of a drive's files.
    u"\\\\?\\C:\\x", u"//?/c:/x", u"\\\\?\\C:\\a\\..\\b.iso", u"\\\\.\\C:\\x\\y\\..\\z", u"\\\\?\\D:\\..\\C:\\x",
    u"\\\\?\\GLOBALROOT\\??\\C:\\x", u"\\\\?\\GLOBAL\\d:\\x", u"\\??\\C:\\x",
    // Names that only begin like a device's.
    u"COM10", u"COMA", u"LPT", u"console.txt", u"nullify"};

TEST(ChecksumEntryNames, EverySpellingOfAnotherComputerOrADeviceIsToldFromLocalFiles) {
    for (const auto& spelling : kOtherComputers) {
        EXPECT_EQ(ClassifyEntryName(spelling.name), EntryTarget::OtherComputer) << Utf16ToUtf8(spelling.name);
        EXPECT_EQ(ShareOfEntryName(spelling.name), spelling.share) << Utf16ToUtf8(spelling.name);
    }
    const auto expectAll = [](const auto& names, EntryTarget target) {
        for (const char16_t* name : names) {
            EXPECT_EQ(ClassifyEntryName(name), target) << Utf16ToUtf8(name);
            EXPECT_EQ(ShareOfEntryName(name), u"") << Utf16ToUtf8(name);
        }
    };
    expectAll(kDevices, EntryTarget::Device);
    expectAll(kLocalFiles, EntryTarget::LocalFile);
}

}  // namespace
