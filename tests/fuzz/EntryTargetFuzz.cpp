// The classification of checksum entries' names against a model that normalises first: the
// name is cleaned up as a whole (slashes, "." and "..", case, trailing dots and blanks,
// GLOBAL and GLOBALROOT's ways back), and only then is the decision read off the front of
// the clean name. Each input byte picks a piece of a path, so that the fuzzer builds
// spellings rather than noise. The decision does not change with the case or the slashes
// either.
#include <optional>
#include <string>
#include <vector>

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

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool IsDotsAndBlanks(const std::u16string& s) { return s.find_first_not_of(u". ") == std::u16string::npos; }

std::vector<std::u16string> SplitAt(const std::u16string& s, char16_t at) {
    std::vector<std::u16string> parts(1);
    for (char16_t c : s) {
        if (c == at)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool IsReserved(std::u16string part) {
    part = part.substr(0, part.find_first_of(u".:"));
    while (!part.empty() && part.back() == u' ') part.pop_back();
    for (char16_t& c : part) c = Upper(c);
    if (part == u"CON" || part == u"PRN" || part == u"AUX" || part == u"NUL" || part == u"CONIN$" || part == u"CONOUT$")
        return true;
    if (part.size() != 4 || (part.compare(0, 3, u"COM") != 0 && part.compare(0, 3, u"LPT") != 0)) return false;
    return (part[3] >= u'0' && part[3] <= u'9') || part[3] == u'\u00B9' || part[3] == u'\u00B2' || part[3] == u'\u00B3';
}

bool StartsWith(const std::u16string& s, const std::u16string& start) { return s.compare(0, start.size(), start) == 0; }

// "\SEG\SEG\...\": the segments after a device prefix in upper case, resolved, trimmed;
// nothing when a segment of dots and blanks leaves it in doubt.
std::optional<std::u16string> Normalised(const std::u16string& rest) {
    std::vector<std::u16string> kept;
    for (std::u16string segment : SplitAt(rest, u'\\')) {
        if (segment.empty() || segment == u".") continue;
        if (segment == u"..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        if (IsDotsAndBlanks(segment)) return std::nullopt;
        while (segment.back() == u'.' || segment.back() == u' ') segment.pop_back();
        kept.push_back(segment);
    }
    std::u16string clean = u"\\";
    for (const std::u16string& segment : kept) clean += segment + u"\\";
    for (char16_t& c : clean) c = Upper(c);
    for (bool changed = true; changed;) {
        changed = false;
        for (const std::u16string way :
             {u"\\GLOBAL\\", u"\\GLOBALROOT\\??\\", u"\\GLOBALROOT\\GLOBAL??\\", u"\\GLOBALROOT\\DOSDEVICES\\"})
            if (StartsWith(clean, way)) {
                clean = u"\\" + clean.substr(way.size());
                changed = true;
            }
    }
    return clean;
}

std::u16string LowerShare(const std::vector<std::u16string>& parts, size_t host) {
    if (host + 1 >= parts.size() || parts[host].empty() || parts[host + 1].empty()) return {};
    std::u16string share = parts[host] + u"\\" + parts[host + 1];
    for (char16_t& c : share)
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    return share;
}

struct Decision {
    EntryTarget target;
    std::u16string share;
};

Decision InNamespace(const std::u16string& rest) {
    const std::optional<std::u16string> clean = Normalised(rest);
    if (!clean) return {EntryTarget::Device, {}};
    const std::vector<std::u16string> parts = SplitAt(*clean, u'\\');  // "", SEG, ..., ""
    if (StartsWith(*clean, u"\\UNC\\")) return {EntryTarget::OtherComputer, LowerShare(parts, 2)};
    for (const std::u16string redirector : {u"\\GLOBALROOT\\DEVICE\\MUP\\", u"\\GLOBALROOT\\DEVICE\\LANMANREDIRECTOR\\",
                                            u"\\GLOBALROOT\\DEVICE\\WEBDAVREDIRECTOR\\"})
        if (StartsWith(*clean, redirector)) return {EntryTarget::OtherComputer, LowerShare(parts, 4)};
    const bool belowDrive =
        clean->size() > 4 && (*clean)[2] == u':' && (*clean)[3] == u'\\' && (*clean)[1] >= u'A' && (*clean)[1] <= u'Z';
    if (!belowDrive) return {EntryTarget::Device, {}};
    for (size_t i = 2; i < parts.size(); ++i)
        if (IsReserved(parts[i])) return {EntryTarget::Device, {}};
    return {EntryTarget::LocalFile, {}};
}

Decision Model(std::u16string name) {
    for (char16_t& c : name)
        if (c == u'/') c = u'\\';
    if (name == u"\\\\." || name == u"\\\\?") return {EntryTarget::Device, {}};
    for (const std::u16string prefix : {u"\\\\.\\", u"\\\\?\\", u"\\??\\"})
        if (StartsWith(name, prefix)) return InNamespace(name.substr(prefix.size()));
    if (StartsWith(name, u"\\\\")) {
        std::vector<std::u16string> named;
        for (std::u16string part : SplitAt(name.substr(2), u'\\')) {
            while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.pop_back();
            if (!part.empty()) named.push_back(part);
        }
        return {EntryTarget::OtherComputer, LowerShare(named, 0)};
    }
    const bool drive = name.size() >= 2 && name[1] == u':' && Upper(name[0]) >= u'A' && Upper(name[0]) <= u'Z';
    for (const std::u16string& part : SplitAt(drive ? name.substr(2) : name, u'\\'))
        if (IsReserved(part)) return {EntryTarget::Device, {}};
    return {EntryTarget::LocalFile, {}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string name;
    for (size_t i = 0; i < size; ++i) name += kPieces[data[i] % (sizeof(kPieces) / sizeof(kPieces[0]))];
    const EntryTarget target = ClassifyEntryName(name);
    const Decision expected = Model(name);
    FUZZ_CHECK(target == expected.target);
    FUZZ_CHECK(ShareOfEntryName(name) == expected.share);

    std::u16string upper = name, slashed = name;
    for (char16_t& c : upper) c = Upper(c);
    for (char16_t& c : slashed) c = c == u'\\' ? u'/' : c;
    FUZZ_CHECK(ClassifyEntryName(upper) == target);
    FUZZ_CHECK(ClassifyEntryName(slashed) == target);
    return 0;
}
