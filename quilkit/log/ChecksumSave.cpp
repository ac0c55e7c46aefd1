#include "ChecksumSave.h"

#include "framework/FileContents.h"
#include "framework/FileDialog.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "resource.h"

namespace {

// The system's words for `error`, in the user's language.
std::wstring Reason(DWORD error, const CUiTexts& texts) {
    if (error == ERROR_FILE_READ_ONLY) return texts.Text(IDS_SAVE_READ_ONLY);
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason =
        length ? std::wstring(text, length) : texts.Format(IDS_SAVE_ERROR_CODE, {std::to_wstring(error)});
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n')) reason.pop_back();
    return reason;
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// The save dialog's file types: their names in the user's words, their patterns as they are.
// Each name and pattern ends in a NUL, the list in a second (the string's own).
std::wstring FileTypes(const CUiTexts& texts) {
    static constexpr wchar_t kChecksumPatterns[] = L"*.sha512;*.sha256;*.sha1;*.md5";
    static constexpr wchar_t kAllPatterns[] = L"*.*";
    std::wstring types;
    for (const std::wstring& part : {texts.Text(IDS_SAVE_FILTER_CHECKSUMS), std::wstring(kChecksumPatterns),
                                     texts.Text(IDS_SAVE_FILTER_ALL), std::wstring(kAllPatterns)})
        types.append(part).push_back(L'\0');
    return types;
}

}  // namespace

std::wstring CChecksumSave::Run(HWND owner) {
    std::wstring folder = m_checksums.CommonFolder(), name = m_checksums.DefaultFileName();
    for (;;) {
        const std::wstring types = FileTypes(m_texts);
        CFileDialog dialog(L"", 0, types.c_str());
        if (dialog.DoModalSave(owner, m_texts.Text(IDS_SAVE_TITLE).c_str(), folder, name) != IDOK) return {};
        const std::wstring target = dialog.FileName();
        folder = ParentFolder(target);
        name = FileNameOf(target);
        if (AcceptsFullPaths(owner, target) && Write(owner, target)) return target;
    }
}

bool CChecksumSave::AcceptsFullPaths(HWND owner, const std::wstring& target) const {
    const std::vector<std::wstring> off = m_checksums.OffVolume(ParentFolder(FullPathName(target)));
    if (off.empty()) return true;
    const std::wstring question = m_texts.Format(IDS_SAVE_OFF_VOLUME, {std::to_wstring(off.size()), off.front()});
    return MessageBoxW(owner, question.c_str(), m_texts.Text(IDS_SAVE_TITLE).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// UTF-8 without a byte-order mark and LF line ends, as GNU's tools write and read them.
bool CChecksumSave::Write(HWND owner, const std::wstring& target) const {
    if (ReplaceWholeFile(target, ToCodePage(CP_UTF8, m_checksums.Text(L"\n", target)))) return true;
    const DWORD error = GetLastError();
    const std::wstring message = m_texts.Format(IDS_SAVE_CANNOT, {target, Reason(error, m_texts)});
    MessageBoxW(owner, message.c_str(), m_texts.Text(IDS_SAVE_ERROR_TITLE).c_str(), MB_OK | MB_ICONERROR);
    return false;
}
