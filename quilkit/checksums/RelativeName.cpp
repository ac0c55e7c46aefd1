#include "RelativeName.h"

#include <vector>

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool SameAscii(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char16_t x = a[i] >= u'a' && a[i] <= u'z' ? char16_t(a[i] - 32) : a[i];
        const char16_t y = b[i] >= u'a' && b[i] <= u'z' ? char16_t(b[i] - 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

// A path cut into the volume it starts at and the names below it.
struct PathParts {
    std::vector<std::u16string_view> root;  // {"C:"}, {"\\", "host", "share"}, or empty
    std::vector<std::u16string_view> names;
};

std::vector<std::u16string_view> SplitNames(std::u16string_view text) {
    std::vector<std::u16string_view> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        const std::u16string_view name = text.substr(start, end - start);
        if (name == u"..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != u".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

PathParts SplitPath(std::u16string_view path) {
    PathParts parts;
    const bool twoSeparators = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    // "\\?\" and "\\.\" hand the rest to the object manager unchanged: what follows is the
    // drive, the UNC share or the volume it is.
    if (twoSeparators && path.size() >= 4 && (path[2] == u'?' || path[2] == u'.') && IsSeparator(path[3])) {
        path.remove_prefix(4);
        if (path.size() >= 4 && SameAscii(path.substr(0, 3), u"UNC") && IsSeparator(path[3])) {
            parts.names = SplitNames(path.substr(4));
            parts.root.push_back(u"\\");
        } else {
            parts.names = SplitNames(path);
        }
        // The volume is the first part: "C:" or "Volume{...}".
        if (parts.root.empty() && !parts.names.empty()) {
            parts.root.push_back(parts.names.front());
            parts.names.erase(parts.names.begin());
        }
    } else if (twoSeparators) {
        parts.names = SplitNames(path.substr(2));
        parts.root.push_back(u"\\");
    } else if (path.size() >= 2 && path[1] == u':') {
        parts.root.push_back(path.substr(0, 2));
        parts.names = SplitNames(path.substr(2));
    } else {
        parts.names = SplitNames(path);
    }
    // A share is its host and its name.
    if (!parts.root.empty() && parts.root.front() == u"\\") {
        for (int i = 0; i < 2 && !parts.names.empty(); ++i) {
            parts.root.push_back(parts.names.front());
            parts.names.erase(parts.names.begin());
        }
    }
    return parts;
}

bool SameParts(const std::vector<std::u16string_view>& a, const std::vector<std::u16string_view>& b,
               const SameNamePart& same) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}

}  // namespace

std::optional<std::u16string> RelativeName(std::u16string_view path, std::u16string_view folder,
                                           const SameNamePart& same) {
    const PathParts file = SplitPath(path), from = SplitPath(folder);
    if (file.names.empty() || !SameParts(file.root, from.root, same)) return std::nullopt;
    // The file's own name is never shared with a folder of `from`.
    size_t common = 0;
    while (common < from.names.size() && common + 1 < file.names.size() && same(from.names[common], file.names[common]))
        ++common;
    std::u16string name;
    for (size_t up = common; up < from.names.size(); ++up) name += u"../";
    for (size_t i = common; i < file.names.size(); ++i) {
        if (i > common) name += u'/';
        name += file.names[i];
    }
    return name;
}
