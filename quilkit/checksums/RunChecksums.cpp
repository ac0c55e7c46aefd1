#include "RunChecksums.h"

#include <windows.h>

#include "text/LongPath.h"
#include "text/WideText.h"
#include "ChecksumFileText.h"
#include "RelativeName.h"

namespace {

bool SameFolderName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

bool SameNameOnDisk(std::u16string_view a, std::u16string_view b) { return SameFolderName(ToWide(a), ToWide(b)); }

// The longest leading run of whole folder names that `a` and `b` share.
std::wstring CommonPrefix(const std::wstring& a, const std::wstring& b) {
    size_t common = 0;
    for (size_t i = 0; i <= a.size() && i <= b.size(); ++i) {
        const bool aEnds = i == a.size() || a[i] == L'\\', bEnds = i == b.size() || b[i] == L'\\';
        if (aEnds && bEnds && SameFolderName(std::wstring_view(a).substr(0, i), std::wstring_view(b).substr(0, i)))
            common = i;
        if (aEnds != bEnds) break;
    }
    return a.substr(0, common);
}

}  // namespace

void CRunChecksums::SetSelection(const std::vector<std::wstring>& selected) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commonFolder.clear();
    if (selected.size() == 1) {
        const DWORD attributes = GetFileAttributesW(FileSystemPath(selected[0]).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            m_commonFolder = selected[0];
            while (m_commonFolder.size() > 3 && m_commonFolder.back() == L'\\') m_commonFolder.pop_back();
            return;
        }
    }
    for (size_t i = 0; i < selected.size(); ++i) {
        const std::wstring parent = ParentFolder(selected[i]);
        m_commonFolder = i == 0 ? parent : CommonPrefix(m_commonFolder, parent);
    }
    // "E:" alone would name the drive's current folder.
    if (m_commonFolder.size() == 2 && m_commonFolder[1] == L':') m_commonFolder += L'\\';
}

void CRunChecksums::Add(DigestKind kind, const std::wstring& path, const std::string& hex) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_kind = kind;
    m_entries.push_back({path, hex});
}

bool CRunChecksums::Empty() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.empty();
}

std::wstring CRunChecksums::CommonFolder() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commonFolder;
}

std::wstring CRunChecksums::DefaultFileName() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    switch (m_kind) {
        case DigestKind::Blake3:
            return L"checksums.b3";
        case DigestKind::Sha512:
            return L"checksums.sha512";
        case DigestKind::Sha256:
            return L"checksums.sha256";
        case DigestKind::Sha1:
            return L"checksums.sha1";
        case DigestKind::Md5:
            break;
    }
    return L"checksums.md5";
}

std::wstring CRunChecksums::NameFrom(const std::wstring& folder, const std::wstring& path) {
    const std::optional<std::u16string> relative = RelativeName(ToUtf16(path), ToUtf16(folder), SameNameOnDisk);
    std::wstring name = relative ? ToWide(*relative) : path;
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    return name;
}

std::wstring CRunChecksums::Text(std::wstring_view lineEnd, const std::wstring& savedAs) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::wstring savedPath = savedAs.empty() ? savedAs : FullPathName(savedAs);
    const std::wstring folder = savedAs.empty() ? m_commonFolder : ParentFolder(savedPath);
    std::wstring text;
    for (const Entry& entry : m_entries) {
        if (!savedPath.empty() && SameFolderName(FullPathName(entry.path), savedPath)) continue;
        // b3sum --check reads two blanks only, where GNU's tools also take " *".
        text += Widen(LowercaseHex(entry.hex)) + (m_kind == DigestKind::Blake3 ? L"  " : L" *") +
                NameFrom(folder, entry.path);
        text += lineEnd;
    }
    return text;
}

std::vector<std::wstring> CRunChecksums::OffVolume(const std::wstring& folder) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::wstring> paths;
    for (const Entry& entry : m_entries)
        if (!RelativeName(ToUtf16(entry.path), ToUtf16(folder), SameNameOnDisk)) paths.push_back(entry.path);
    return paths;
}
