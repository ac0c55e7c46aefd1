// The classification of checksum entries' names (EntryTargetTest has the rules row by row):
// each input byte picks a piece of a path, so that the fuzzer builds spellings rather than
// noise. The decision does not change with the case or the slashes; only a name that starts
// at a root can reach another computer, a share is named only for one, and whatever follows
// a share's folder stays on that share.
#include <string>

#include "FuzzText.h"
#include "checksums/EntryTarget.h"

namespace {

const char16_t* const kPieces[] = {u"\\",       u"/",          u".",         u"..",         u"?",
                                   u":",        u" ",          u"C",         u"c:",         u"x",
                                   u"UNC",      u"unc",        u"GLOBAL",    u"GLOBALROOT", u"??",
                                   u"GLOBAL??", u"DosDevices", u"Device",    u"Mup",        u"LanmanRedirector",
                                   u"pipe",     u"COM1",       u"nul",       u"Con",        u"LPT\u00B9",
                                   u"CONOUT$",  u"aux",        u"h",         u"s",          u"\\\\.\\",
                                   u"\\\\?\\",  u"\\??\\",     u"Volume{1}", u"..\\",       u"\\..\\",
                                   u".txt",     u"\u00E9",     u"$"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string name;
    for (size_t i = 0; i < size; ++i) name += kPieces[data[i] % (sizeof(kPieces) / sizeof(kPieces[0]))];
    const EntryTarget target = ClassifyEntryName(name);
    const std::u16string share = ShareOfEntryName(name);
    FUZZ_CHECK(ClassifyEntryName(name) == target && ShareOfEntryName(name) == share);
    FUZZ_CHECK(share.empty() || target == EntryTarget::OtherComputer);
    if (name.empty() || (name[0] != u'\\' && name[0] != u'/')) FUZZ_CHECK(target != EntryTarget::OtherComputer);

    std::u16string upper = name, slashed = name;
    for (char16_t& c : upper) c = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
    for (char16_t& c : slashed) c = c == u'\\' ? u'/' : c;
    FUZZ_CHECK(ClassifyEntryName(upper) == target && ShareOfEntryName(upper) == share);
    FUZZ_CHECK(ClassifyEntryName(slashed) == target);

    const std::u16string onShare = u"\\\\h\\s\\" + name;
    FUZZ_CHECK(ClassifyEntryName(onShare) == EntryTarget::OtherComputer && ShareOfEntryName(onShare) == u"h\\s");
    return 0;
}
