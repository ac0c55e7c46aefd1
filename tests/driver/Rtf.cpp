// The log's text with its formats, as the log's own Select All + Copy puts it on the
// clipboard: bold and colour from the "Rich Text Format", the characters from the Unicode
// text (the RTF holds characters outside its code page by a best fit, "é" as "e" under code
// page 932, one for one).
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "Driver.h"

namespace driver {

namespace {

constexpr UINT kSelectAllCommand = 57642;
constexpr UINT kCopyCommand = 57634;
constexpr COLORREF kGreen = RGB(0, 153, 51);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct TextRun {
    std::wstring text;
    bool bold;
    COLORREF color;  // 0 for the automatic colour
};

// Just enough of an RTF reader for the log's copy: groups, bold, colours, paragraph ends,
// tabs, \'xx in the document's code page, \uN with \ucN's stand-ins; no other destination.
std::vector<TextRun> ReadRtf(const std::string& rtf) {
    struct State {
        bool bold = false;
        int color = 0;
        bool skip = false;  // inside a destination that is not text (font table, ...)
        bool colorTable = false;
    };
    std::vector<State> stack(1);
    std::vector<COLORREF> colors = {0};
    std::vector<TextRun> runs;
    UINT codePage = 1252;
    int fallbackLength = 1, fallbackLeft = 0;
    // A double-byte character comes as two escapes; groups and control words end the bytes.
    std::string bytes;
    auto append = [&](const std::wstring& text) {
        const State& state = stack.back();
        if (state.skip || text.empty()) return;
        const COLORREF color = size_t(state.color) < colors.size() ? colors[size_t(state.color)] : 0;
        if (!runs.empty() && runs.back().bold == state.bold && runs.back().color == color)
            runs.back().text += text;
        else
            runs.push_back({text, state.bold, color});
    };
    auto flush = [&] {
        append(Wide(FromCodePage(codePage, bytes)));
        bytes.clear();
    };
    auto byte = [&](char c) {
        if (fallbackLeft > 0)
            --fallbackLeft;
        else if (stack.back().colorTable)
            colors.resize(colors.size() + (c == ';'));  // the end of one colour of the table
        else if (!stack.back().skip)
            bytes += c;
    };
    for (size_t at = 0; at < rtf.size();) {
        const char c = rtf[at++];
        const char next = at < rtf.size() ? rtf[at] : '\0';
        if (c == '{' || c == '}') {
            flush();
            if (c == '{') stack.push_back(stack.back());
            if (c == '}' && stack.size() > 1) stack.pop_back();
        } else if (c == '\\' && next == '\'') {
            byte(char(strtol(rtf.substr(at + 1, 2).c_str(), nullptr, 16)));
            at += 3;
        } else if (c == '\\' && next == '*') {
            stack.back().skip = true;
            ++at;
        } else if (c == '\\' && isalpha(static_cast<unsigned char>(next))) {
            flush();
            const size_t start = at;
            while (at < rtf.size() && isalpha(static_cast<unsigned char>(rtf[at]))) ++at;
            const std::string word = rtf.substr(start, at - start);
            const char* end = rtf.c_str() + at;
            const bool hasParameter = *end == '-' || isdigit(static_cast<unsigned char>(*end));
            const long parameter = hasParameter ? strtol(end, const_cast<char**>(&end), 10) : 0;
            at = size_t(end - rtf.c_str());
            if (at < rtf.size() && rtf[at] == ' ') ++at;
            State& state = stack.back();
            if (word == "ansicpg") {
                codePage = UINT(parameter);
            } else if (word == "uc") {
                fallbackLength = int(parameter);
            } else if (word == "fonttbl" || word == "stylesheet" || word == "info" || word == "pict") {
                state.skip = true;
            } else if (word == "colortbl") {
                state.skip = state.colorTable = true;
            } else if (state.colorTable) {
                const int shift = word == "red" ? 0 : word == "green" ? 8 : word == "blue" ? 16 : -1;
                if (shift >= 0) colors.back() |= COLORREF(parameter) << shift;
            } else if (word == "b") {
                state.bold = !hasParameter || parameter != 0;
            } else if (word == "cf") {
                state.color = int(parameter);
            } else if (word == "plain") {
                state.bold = false;
                state.color = 0;
            } else if (word == "par" || word == "line" || word == "tab") {
                append(word == "tab" ? L"\t" : L"\r\n");
            } else if (word == "u") {  // a signed UTF-16 unit, then its stand-in
                append(std::wstring(1, wchar_t(parameter)));
                fallbackLeft = fallbackLength;
            }
        } else if (c == '\\') {
            if (next == '\\' || next == '{' || next == '}') byte(next);
            ++at;
        } else if (c != '\r' && c != '\n') {
            byte(c);
        }
    }
    flush();
    return runs;
}

// The clipboard's data in `format` up to its first zero unit, waited for: Wine's clipboard
// manager may hold the clipboard for a moment after a change.
std::string ClipboardData(UINT format, size_t unit, int timeoutMs) {
    std::string data;
    for (const DWORD start = GetTickCount(); int(GetTickCount() - start) < timeoutMs; Sleep(50)) {
        if (!OpenClipboard(nullptr)) continue;
        if (HANDLE handle = GetClipboardData(format)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(handle))) {
                data.assign(bytes, GlobalSize(handle) / unit * unit);
                GlobalUnlock(handle);
            }
        }
        CloseClipboard();
        size_t end = 0;
        while (end < data.size() && memcmp(data.data() + end, "\0\0", unit) != 0) end += unit;
        data.resize(end);
        if (!data.empty()) break;
    }
    return data;
}

std::vector<TextRun> ReadLogRuns(HWND log) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMessageW(log, WM_COMMAND, kSelectAllCommand, 0);
    // A copy made while Wine's clipboard manager held the clipboard is lost: copy again.
    std::string rtf;
    for (int attempt = 0; attempt < 5 && rtf.empty(); ++attempt) {
        SendMessageW(log, WM_COMMAND, kCopyCommand, 0);
        rtf = ClipboardData(RegisterClipboardFormatW(L"Rich Text Format"), 1, kDefaultTimeoutMs / 5);
    }
    std::vector<TextRun> runs = ReadRtf(rtf);
    const std::string unicode = ClipboardData(CF_UNICODETEXT, sizeof(wchar_t), 1000);
    std::wstring text(reinterpret_cast<const wchar_t*>(unicode.data()), unicode.size() / sizeof(wchar_t));
    size_t total = 0;
    for (const TextRun& run : runs) total += run.text.size();
    // The Unicode copy may lack the control's final paragraph mark, which the RTF has.
    if (text.size() + 2 == total) text += L"\r\n";
    if (text.size() != total) return runs;
    size_t at = 0;
    for (TextRun& run : runs) {
        run.text = text.substr(at, run.text.size());
        at += run.text.size();
    }
    return runs;
}

}  // namespace

std::string ReadLogMarked(HWND log) {
    // The copied RTF ends with the control's final paragraph mark, which the text lacks
    // (WM_GETTEXT cannot tell: under code page 932 Wine gives nothing for double-byte text).
    const std::vector<TextRun> runs = ReadLogRuns(log);
    size_t left = 0;
    for (const TextRun& run : runs) left += run.text.size();
    left -= std::min<size_t>(left, 2);
    std::string marked;
    for (const TextRun& run : runs) {
        const std::string text = Utf8(run.text.substr(0, left));
        left -= std::min(left, run.text.size());
        const std::string tag = !run.bold && !run.color           ? ""
                                : run.bold && run.color == kGreen ? "G"
                                : run.bold && run.color == kRed   ? "R"
                                                                  : "?";
        marked += tag.empty() || text.empty() ? text : "<" + tag + ">" + text + "</" + tag + ">";
    }
    return marked;
}

}  // namespace driver
