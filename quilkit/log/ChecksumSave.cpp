#include "ChecksumSave.h"

#include "framework/FileContents.h"
#include "framework/FileDialog.h"
#include "framework/LanguageTable.h"
#include "text/LongPath.h"
#include "text/WideText.h"

namespace {

// The messages' texts: English, and code page 932 bytes for Japanese.
struct MessageText {
    const wchar_t* english;
    const char* japanese;
};
const MessageText kOffVolume = {
    L" of the files are on another drive or share than the folder you save in, so no name relative to it reaches "
    L"them. The first:\n",
    " \x8C\xC2\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x95\xDB\x91\xB6\x90\xE6\x82\xCC\x83t\x83H\x83\x8B\x83_\x81["
    "\x82\xC6\x82\xCD\x95\xCA\x82\xCC\x83h\x83\x89\x83"
    "C\x83u\x82\xA9\x8B\xA4\x97L\x83t\x83H\x83\x8B\x83_\x81[\x82\xC9\x82\xA0\x82\xE9\x82\xBD\x82\xDF\x81"
    "A\x82\xBB\x82\xCC\x83t\x83H\x83\x8B\x83_\x81["
    "\x82\xA9\x82\xE7\x82\xCC\x91\x8A\x91\xCE\x83p\x83X\x82\xC5\x8F\x91\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x81"
    "B\x8D\xC5\x8F\x89\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B:\n"};  //  個のファイルが保存先のフォルダーとは別のドライブか共有フォルダーにあるため、そのフォルダーからの相対パスで書けません。最初のファイル:
const MessageText kFullPaths = {
    L"\n\nSave them with their full paths? Only Verify Checksums reads such names, and only for files on this "
    L"computer. Choose No to pick another folder.",
    "\n\n\x8A\xAE\x91S\x82\xC8\x83p\x83X\x82\xC5\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB7\x82\xA9? "
    "\x82\xB1\x82\xCC\x82\xE6\x82\xA4\x82\xC8\x96\xBC\x91O\x82\xF0\x93\xC7\x82\xDF\x82\xE9\x82\xCC\x82\xCD Verify "
    "Checksums \x82\xBE\x82\xAF\x82\xC5\x81"
    "A\x82\xB1\x82\xCC\x83R\x83\x93\x83s\x83\x85\x81[\x83^\x81[\x8F\xE3\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xC9\x8C\xC0\x82\xE7\x82\xEA\x82\xDC\x82\xB7\x81"
    "B\x95\xCA\x82\xCC\x83t\x83H\x83\x8B\x83_\x81[\x82\xF0\x91I\x82\xD4\x82\xC9\x82\xCD [\x82\xA2\x82\xA2\x82\xA6] "
    "\x82\xF0\x91I\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B"};  // 完全なパスで保存しますか? このような名前を読めるのは Verify Checksums
           // だけで、このコンピューター上のファイルに限られます。別のフォルダーを選ぶには [いいえ] を選んでください。
const MessageText kCannotSave = {L"Cannot save ", ""};
const MessageText kCannotSaveEnd = {
    L":\n", " \x82\xC9\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1:\n"};  //  に保存できません:
const MessageText kUnchanged = {
    L"\n\nNothing there has changed. Choose another name or folder, or Cancel.",
    "\n\n\x82\xBB\x82\xB1\x82\xC9\x82\xA0\x82\xE9\x82\xE0\x82\xCC\x82\xCD\x89\xBD\x82\xE0\x95\xCF\x82\xED\x82\xC1\x82"
    "\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81"
    "B\x95\xCA\x82\xCC\x96\xBC\x91O\x82\xA9\x83t\x83H\x83\x8B\x83_\x81[\x82\xF0\x91I\x82\xD4\x82\xA9\x81"
    "A\x83L\x83\x83\x83\x93\x83Z\x83\x8B\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B"};  // そこにあるものは何も変わっていません。別の名前かフォルダーを選ぶか、キャンセルしてください。
const MessageText kReadOnly = {L"The file is read-only.",
                               "\x83t\x83@\x83"
                               "C\x83\x8B\x82\xCD\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97p\x82\xC5\x82\xB7\x81"
                               "B"};  // ファイルは読み取り専用です。

std::wstring TextOf(const MessageText& text) {
    return LanguageTexts() ? FromCodePage(932, text.japanese) : std::wstring(text.english);
}

// The system's words for `error`, in the user's language.
std::wstring Reason(DWORD error) {
    if (error == ERROR_FILE_READ_ONLY) return TextOf(kReadOnly);
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = length ? std::wstring(text, length) : L"Error " + std::to_wstring(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n')) reason.pop_back();
    return reason;
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

}  // namespace

std::wstring CChecksumSave::Run(HWND owner) {
    std::wstring folder = m_checksums.CommonFolder(), name = m_checksums.DefaultFileName();
    for (;;) {
        CFileDialog dialog(L"", 0, L"Checksum files\0*.sha512;*.sha256;*.sha1;*.md5\0All files (*.*)\0*.*\0");
        if (dialog.DoModalSave(owner, L"Save Checksums As", folder, name) != IDOK) return {};
        const std::wstring target = dialog.FileName();
        folder = ParentFolder(target);
        name = FileNameOf(target);
        if (AcceptsFullPaths(owner, target) && Write(owner, target)) return target;
    }
}

bool CChecksumSave::AcceptsFullPaths(HWND owner, const std::wstring& target) const {
    const std::vector<std::wstring> off = m_checksums.OffVolume(ParentFolder(FullPathName(target)));
    if (off.empty()) return true;
    const std::wstring question = std::to_wstring(off.size()) + TextOf(kOffVolume) + off.front() + TextOf(kFullPaths);
    return MessageBoxW(owner, question.c_str(), L"Save Checksums As", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
           IDYES;
}

// UTF-8 without a byte-order mark and LF line ends, as GNU's tools write and read them.
bool CChecksumSave::Write(HWND owner, const std::wstring& target) const {
    if (ReplaceWholeFile(target, ToCodePage(CP_UTF8, m_checksums.Text(L"\n", target)))) return true;
    const DWORD error = GetLastError();
    const std::wstring message =
        TextOf(kCannotSave) + target + TextOf(kCannotSaveEnd) + Reason(error) + TextOf(kUnchanged);
    MessageBoxW(owner, message.c_str(), L"Error", MB_OK | MB_ICONERROR);
    return false;
}
