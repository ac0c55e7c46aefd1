// What a checksum entry's name reaches, for every spelling that reaches another computer or a
// device, and the local names beside them that must stay checkable. Built natively.
#include <gtest/gtest.h>

#include "checksums/EntryTarget.h"
#include "text/Utf8Text.h"

namespace {

struct Spelling {
    const char16_t* name;
    EntryTarget target;
    const char16_t* share;  // what ShareOfEntryName gives
};

constexpr EntryTarget kOther = EntryTarget::OtherComputer, kDevice = EntryTarget::Device,
                      kLocal = EntryTarget::LocalFile;

const Spelling kSpellings[] = {
    // Shares, written as such.
    {u"\\\\host\\share\\x", kOther, u"host\\share"},
    {u"//host/x", kOther, u"host\\x"},
    {u"\\/Host/Share/x", kOther, u"host\\share"},
    {u"\\\\host", kOther, u""},
    {u"\\\\?\\UNC\\host\\s\\x", kOther, u"host\\s"},
    {u"//?/unc/h/s", kOther, u"h\\s"},
    {u"\\\\.\\UNC\\host\\s", kOther, u"host\\s"},
    {u"\\??\\UNC\\h\\s\\f", kOther, u"h\\s"},
    // A drive's device form that ".." leaves for UNC, as GetFullPathNameW resolves it.
    {u"\\\\.\\C:\\..\\UNC\\host\\share\\f", kOther, u"host\\share"},
    {u"\\\\?\\C:\\..\\UNC\\host\\share\\f", kOther, u"host\\share"},
    {u"//./c:/../unc/h/s/f", kOther, u"h\\s"},
    {u"\\??\\C:\\..\\UNC\\h\\s\\f", kOther, u"h\\s"},
    {u"\\\\.\\C:\\x\\y\\..\\..\\..\\UNC\\h\\s", kOther, u"h\\s"},
    {u"\\\\?\\c:\\..\\..\\..\\unc\\h\\s", kOther, u"h\\s"},
    {u"\\\\.\\C:\\.\\..\\\\UNC\\h\\s", kOther, u"h\\s"},
    {u"\\\\?\\C:/..\\Unc\\H\\S", kOther, u"h\\s"},
    {u"\\\\?\\C:\\..\\UNC. \\h\\s", kOther, u"h\\s"},
    {u"\\\\?\\C:\\..\\UNC\\h. \\s .\\f", kOther, u"h\\s"},
    // The same through GLOBAL and GLOBALROOT.
    {u"\\\\?\\GLOBAL\\UNC\\h\\s", kOther, u"h\\s"},
    {u"\\\\?\\GLOBALROOT\\??\\UNC\\h\\s", kOther, u"h\\s"},
    {u"\\\\.\\globalroot\\global??\\unc\\h\\s", kOther, u"h\\s"},
    {u"\\\\?\\GLOBALROOT\\DosDevices\\C:\\..\\UNC\\h\\s", kOther, u"h\\s"},
    {u"\\\\?\\GLOBALROOT\\Device\\Mup\\h\\s\\f", kOther, u"h\\s"},
    {u"//?/globalroot/device/lanmanredirector/h/s", kOther, u"h\\s"},
    {u"\\\\?\\C:\\..\\GLOBALROOT\\Device\\WebDavRedirector\\h\\s", kOther, u"h\\s"},

    // Reserved names, with an extension, a colon, trailing blanks or dots, in any folder.
    {u"COM1", kDevice, u""},
    {u"com9.txt", kDevice, u""},
    {u"sub/NUL", kDevice, u""},
    {u"aux.tar.gz", kDevice, u""},
    {u"C:\\x\\LPT1", kDevice, u""},
    {u"CON ", kDevice, u""},
    {u"CONOUT$", kDevice, u""},
    {u"COM\u00B9", kDevice, u""},
    {u"COM1:", kDevice, u""},
    {u"NUL:x", kDevice, u""},
    {u"CON:", kDevice, u""},
    {u"sub/LPT1:.txt", kDevice, u""},
    {u"sub\\com1 :", kDevice, u""},
    {u"LPT2.", kDevice, u""},
    {u"nul. .txt", kDevice, u""},
    {u"con .txt", kDevice, u""},
    {u"C:COM1", kDevice, u""},
    {u"C:\\x\\Aux:stream", kDevice, u""},
    // Device forms that name no file below a drive.
    {u"\\\\.\\pipe\\x", kDevice, u""},
    {u"\\??\\pipe\\x", kDevice, u""},
    {u"//./COM1", kDevice, u""},
    {u"\\\\.\\COM1", kDevice, u""},
    {u"\\\\?\\Volume{1}\\x", kDevice, u""},
    {u"\\\\.\\C:\\x\\..\\..\\pipe\\p", kDevice, u""},
    {u"//./c:/x/../../PIPE/p", kDevice, u""},
    {u"\\\\?\\C:\\..\\pipe. \\p", kDevice, u""},
    {u"\\\\.\\C:\\..\\COM1", kDevice, u""},
    {u"\\\\?\\GLOBAL\\pipe\\p", kDevice, u""},
    {u"\\\\?\\GLOBALROOT\\??\\pipe\\p", kDevice, u""},
    {u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x", kDevice, u""},
    {u"\\\\?\\GLOBALROOT", kDevice, u""},
    {u"\\\\?\\GLOBALROOT\\Device\\Mup", kOther, u""},
    {u"\\\\.\\", kDevice, u""},
    {u"\\\\.", kDevice, u""},
    {u"\\\\?\\C:", kDevice, u""},
    {u"\\\\.\\C:\\", kDevice, u""},
    {u"\\\\.\\PhysicalDrive0", kDevice, u""},
    {u"\\\\.\\C:\\x\\CON", kDevice, u""},
    // A segment of dots and blanks whose meaning is in doubt.
    {u"\\\\.\\C:\\x\\.. \\..\\UNC\\h\\s", kDevice, u""},
    {u"\\\\?\\C:\\...\\x", kDevice, u""},
    {u"\\\\?\\C:\\x\\. \\y", kDevice, u""},

    // Local files, the device forms of a drive's files among them.
    {u"a.iso", kLocal, u""},
    {u"sub/x", kLocal, u""},
    {u"C:\\Users\\me\\a.iso", kLocal, u""},
    {u"\\root.txt", kLocal, u""},
    {u"\\\\?\\C:\\x", kLocal, u""},
    {u"//?/c:/x", kLocal, u""},
    {u"\\\\?\\C:\\a\\..\\b.iso", kLocal, u""},
    {u"\\\\.\\C:\\x\\y\\..\\z", kLocal, u""},
    {u"\\\\?\\D:\\..\\C:\\x", kLocal, u""},
    {u"\\\\?\\GLOBALROOT\\??\\C:\\x", kLocal, u""},
    {u"\\\\?\\GLOBAL\\d:\\x", kLocal, u""},
    {u"\\??\\C:\\x", kLocal, u""},
    {u"C:\\..\\..\\UNC\\h\\s", kLocal, u""},
    {u"x:y.txt", kLocal, u""},
    {u"a.txt:stream", kLocal, u""},
    {u".hidden", kLocal, u""},
    {u"COM10", kLocal, u""},
    {u"COMA", kLocal, u""},
    {u"LPT", kLocal, u""},
    {u"console.txt", kLocal, u""},
    {u"nullify", kLocal, u""},
    {u"../up/x", kLocal, u""},
    {u"\\??x\\y", kLocal, u""},
};

TEST(ChecksumEntryNames, EverySpellingOfAnotherComputerOrADeviceIsToldFromLocalFiles) {
    for (const Spelling& spelling : kSpellings) {
        const std::u16string name = spelling.name;
        EXPECT_EQ(ClassifyEntryName(name), spelling.target) << Utf16ToUtf8(name);
        EXPECT_EQ(ShareOfEntryName(name), spelling.share) << Utf16ToUtf8(name);
    }
}

}  // namespace
