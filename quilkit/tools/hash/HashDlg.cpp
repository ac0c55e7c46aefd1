#include "HashDlg.h"

#include "framework/LanguageTable.h"
#include "text/WideText.h"

namespace {

// Longer clipboard text cannot be one digest; it is not copied out to find that.
constexpr size_t kLongestPaste = 1024;

int BoxOf(ChecksumAlgorithm algorithm) {
    switch (algorithm) {
        case ChecksumAlgorithm::Sha1:
            return IDC_SHA1;
        case ChecksumAlgorithm::Sha256:
            return IDC_SHA256;
        case ChecksumAlgorithm::Sha512:
            return IDC_SHA512;
        case ChecksumAlgorithm::Blake3:
            return IDC_BLAKE3;
        case ChecksumAlgorithm::Md5:
            break;
    }
    return IDC_MD5;
}

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
            size_t length = 0;
            while (length < capacity && length <= kLongestPaste && chars[length] != L'\0') ++length;
            if (length <= kLongestPaste) text.assign(chars, length);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::wstring ItemText(HWND item) {
    std::wstring text(size_t(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(item, &text[0], int(text.size()))));
    return text;
}

}  // namespace

LRESULT CHashDlg::OnInitDialog() {
    CenterWindow();
    SetCheck(IDC_MD5, m_md5 != 0);
    SetCheck(IDC_SHA1, m_sha1 != 0);
    SetCheck(IDC_SHA256, m_sha256 != 0);
    SetCheck(IDC_SHA512, m_sha512 != 0);
    SetCheck(IDC_BLAKE3, m_blake3 != 0);
    SetCheck(IDC_SUBFOLDERS, m_subFolders != 0);
    ApplyLanguageText(m_hWnd, IDC_SUBFOLDERS, kTextSubFolders);
    if (m_pasteExpected) FillExpectedFromClipboard();
    return TRUE;
}

// A digest the user just copied from a download page is the one to compare with.
void CHashDlg::FillExpectedFromClipboard() {
    const std::wstring text = ClipboardText(m_hWnd);
    std::string hex;
    ChecksumAlgorithm algorithm;
    if (!ReadPastedDigest(ToUtf16(text), hex, algorithm)) return;
    SetWindowTextW(GetDlgItem(IDC_EXPECTED), Widen(hex).c_str());
    ShowWindow(GetDlgItem(IDC_STATIC_PASTED), SW_SHOWNA);
    TickForExpected(algorithm);
}

void CHashDlg::TickForExpected(ChecksumAlgorithm algorithm) {
    const int box = BoxOf(algorithm);
    if (!IsChecked(box)) m_boxOfExpected = box;
    SetCheck(box, true);
}

void CHashDlg::OnOk() {
    const std::wstring typed = ItemText(GetDlgItem(IDC_EXPECTED));
    m_expected.clear();
    if (typed.find_first_not_of(L" \t") != std::wstring::npos) {
        if (!ReadPastedDigest(ToUtf16(typed), m_expected, m_expectedAlgorithm)) {
            const CUiTexts& texts = _Module.Texts();
            MessageBoxW(m_hWnd, texts.Text(IDS_BAD_DIGEST).c_str(), texts.Text(IDS_TITLE_ERROR).c_str(),
                        MB_OK | MB_ICONERROR);
            SetFocus(GetDlgItem(IDC_EXPECTED));
            return;
        }
        // Both are 64 digits long: the box says which was meant.
        if (m_expectedAlgorithm == ChecksumAlgorithm::Sha256 && IsChecked(IDC_BLAKE3))
            m_expectedAlgorithm = ChecksumAlgorithm::Blake3;
        TickForExpected(m_expectedAlgorithm);
    }
    m_subFolders = IsChecked(IDC_SUBFOLDERS) ? 1 : 0;
    m_md5 = IsChecked(IDC_MD5) ? 1 : 0;
    m_sha1 = IsChecked(IDC_SHA1) ? 1 : 0;
    m_sha256 = IsChecked(IDC_SHA256) ? 1 : 0;
    m_sha512 = IsChecked(IDC_SHA512) ? 1 : 0;
    m_blake3 = IsChecked(IDC_BLAKE3) ? 1 : 0;
    EndDialog(IDOK);
}
