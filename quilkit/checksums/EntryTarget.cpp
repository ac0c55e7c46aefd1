#include "EntryTarget.h"

#include <algorithm>
#include <vector>

namespace {

using Segments = std::vector<std::u16string_view>;

struct Place {
    EntryTarget target = EntryTarget::Device;
    std::u16string share;
};

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool IsDotOrBlank(char16_t c) { return c == u'.' || c == u' '; }

// The system drops a name's trailing dots and blanks: "UNC. " opens what "UNC" does.
std::u16string_view WithoutTrailingDotsAndBlanks(std::u16string_view name) {
    while (!name.empty() && IsDotOrBlank(name.back())) name.remove_suffix(1);
    return name;
}

bool IsDrive(std::u16string_view name) {
    return name.size() == 2 && name[1] == u':' && AsciiLower(name[0]) >= u'a' && AsciiLower(name[0]) <= u'z';
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (and their superscript-digit forms), CONIN$, CONOUT$:
// Windows opens the device whatever folder goes before the name and whatever follows it
// after a dot or a colon ("COM1:", "NUL:x", "LPT1:.txt", "CON .txt").
bool IsReservedName(std::u16string_view part) {
    part = part.substr(0, part.find_first_of(u".:"));
    while (!part.empty() && part.back() == u' ') part.remove_suffix(1);
    for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (SameName(part, device)) return true;
    if (part.size() != 4) return false;
    const char16_t digit = part[3];
    const bool isDigit =
        (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
    return isDigit && (SameName(part.substr(0, 3), u"COM") || SameName(part.substr(0, 3), u"LPT"));
}

Segments Split(std::u16string_view path) {
    Segments segments;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        segments.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

bool AnyReservedName(const Segments& segments, size_t first) {
    for (size_t i = first; i < segments.size(); ++i)
        if (IsReservedName(segments[i])) return true;
    return false;
}

std::u16string ShareNamed(const Segments& segments, size_t host) {
    std::u16string share;
    if (host + 1 >= segments.size()) return share;
    for (std::u16string_view part : {segments[host], std::u16string_view(u"\\"), segments[host + 1]})
        for (char16_t c : part) share += AsciiLower(c);
    return share;
}

// The segments below \\?\, \\.\ or \??\ once "." and ".." are resolved, as the system's own
// clean-up leaves them before the open; false when a segment's meaning is in doubt.
bool Resolve(std::u16string_view rest, Segments& resolved) {
    for (std::u16string_view segment : Split(rest)) {
        if (segment.empty() || segment == u".") continue;
        if (segment == u"..") {
            if (!resolved.empty()) resolved.pop_back();
            continue;
        }
        const std::u16string_view name = WithoutTrailingDotsAndBlanks(segment);
        if (name.empty()) return false;
        resolved.push_back(name);
    }
    return true;
}

Place InDosDevices(const Segments& segments, size_t first);

// Below GLOBALROOT, the object manager's root: the DOS devices again, or a network
// redirector's device, or some other object.
Place InObjectRoot(const Segments& segments, size_t first) {
    if (first >= segments.size()) return {};
    const std::u16string_view name = segments[first];
    if (SameName(name, u"??") || SameName(name, u"GLOBAL??") || SameName(name, u"DosDevices"))
        return InDosDevices(segments, first + 1);
    if (SameName(name, u"Device") && first + 1 < segments.size())
        for (std::u16string_view redirector : {u"Mup", u"LanmanRedirector", u"WebDavRedirector"})
            if (SameName(segments[first + 1], redirector))
                return {EntryTarget::OtherComputer, ShareNamed(segments, first + 2)};
    return {};
}

// Below \\?\, \\.\ or \??\: only a path below a drive letter is a file of this computer.
Place InDosDevices(const Segments& segments, size_t first) {
    if (first >= segments.size()) return {};
    const std::u16string_view name = segments[first];
    if (SameName(name, u"UNC")) return {EntryTarget::OtherComputer, ShareNamed(segments, first + 1)};
    if (SameName(name, u"GLOBAL")) return InDosDevices(segments, first + 1);
    if (SameName(name, u"GLOBALROOT")) return InObjectRoot(segments, first + 1);
    if (IsDrive(name) && first + 1 < segments.size() && !AnyReservedName(segments, first + 1))
        return {EntryTarget::LocalFile, {}};
    return {};
}

// Where "\\?\...", "\\.\..." and "\??\..." lead; `rest` is what follows the prefix.
Place InDeviceNamespace(std::u16string_view rest) {
    Segments resolved;
    if (!Resolve(rest, resolved)) return {};
    return InDosDevices(resolved, 0);
}

Place PlaceOf(std::u16string_view written) {
    std::u16string name(written);
    for (char16_t& c : name)
        if (c == u'/') c = u'\\';
    const std::u16string_view view(name);
    const bool twoBackslashes = view.substr(0, 2) == u"\\\\";
    if (twoBackslashes && view.size() >= 3 && (view[2] == u'.' || view[2] == u'?') &&
        (view.size() == 3 || view[3] == u'\\'))
        return InDeviceNamespace(view.substr(std::min<size_t>(4, view.size())));
    if (view.substr(0, 4) == u"\\??\\") return InDeviceNamespace(view.substr(4));
    if (twoBackslashes) {
        Segments parts;
        for (std::u16string_view part : Split(view.substr(2)))
            if (!WithoutTrailingDotsAndBlanks(part).empty()) parts.push_back(WithoutTrailingDotsAndBlanks(part));
        return {EntryTarget::OtherComputer, ShareNamed(parts, 0)};
    }
    // "C:COM1" is the device as much as "C:\x\COM1" is.
    const std::u16string_view path = view.size() >= 2 && IsDrive(view.substr(0, 2)) ? view.substr(2) : view;
    if (AnyReservedName(Split(path), 0)) return {};
    return {EntryTarget::LocalFile, {}};
}

}  // namespace

EntryTarget ClassifyEntryName(std::u16string_view name) { return PlaceOf(name).target; }

std::u16string ShareOfEntryName(std::u16string_view name) { return PlaceOf(name).share; }
