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

// Just enough of an RTF reader for the log's copy: groups, bold, the colour table and the
// foreground colour, paragraph ends and tabs, escaped characters (\'xx in the document's code
// page, \uN as UTF-16 with \ucN's stand-ins); destinations that are not text are skipped.
class RtfReader {
public:
    explicit RtfReader(const std::string& rtf) : m_rtf(rtf) {}

    std::vector<TextRun> Read() {
        std::vector<State> stack(1);
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf[m_pos++];
            if (c == '{' || c == '}') {
                FlushBytes();
                if (c == '{') stack.push_back(stack.back());
                if (c == '}' && stack.size() > 1) stack.pop_back();
            } else if (c == '\\') {
                ControlWord(stack.back());
            } else if (c != '\r' && c != '\n') {
                Byte(stack.back(), c);
            }
        }
        FlushBytes();
        return m_runs;
    }

private:
    struct State {
        bool bold = false;
        int color = 0;
        bool skip = false;  // inside a destination that is not text (font table, ...)
        bool colorTable = false;
    };

    void ControlWord(State& state) {
        const char c = m_pos < m_rtf.size() ? m_rtf[m_pos++] : '\0';
        if (c == '\'') {
            Byte(state, char(strtol(m_rtf.substr(m_pos, 2).c_str(), nullptr, 16)));
            m_pos += 2;
        } else if (c == '*') {
            state.skip = true;
        } else if (c == '\\' || c == '{' || c == '}') {
            Byte(state, c);
        } else if (isalpha(static_cast<unsigned char>(c))) {
            // Formats change only here and at groups: the bytes before are one run's.
            FlushBytes();
            const size_t start = m_pos - 1;
            while (m_pos < m_rtf.size() && isalpha(static_cast<unsigned char>(m_rtf[m_pos]))) ++m_pos;
            const std::string word = m_rtf.substr(start, m_pos - start);
            const char* end = m_rtf.c_str() + m_pos;
            const bool hasParameter = *end == '-' || isdigit(static_cast<unsigned char>(*end));
            const long parameter = hasParameter ? strtol(end, const_cast<char**>(&end), 10) : 0;
            m_pos = size_t(end - m_rtf.c_str());
            if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ') ++m_pos;
            Apply(state, word, hasParameter, parameter);
        }
    }

    void Apply(State& state, const std::string& word, bool hasParameter, long parameter) {
        if (word == "ansicpg") {
            m_codePage = UINT(parameter);
        } else if (word == "uc") {
            m_fallbackLength = int(parameter);
        } else if (word == "fonttbl" || word == "stylesheet" || word == "info" || word == "pict") {
            state.skip = true;
        } else if (word == "colortbl") {
            state.skip = state.colorTable = true;
            m_colors.assign(1, 0);
        } else if (state.colorTable) {
            const int shift = word == "red" ? 0 : word == "green" ? 8 : word == "blue" ? 16 : -1;
            if (shift >= 0) m_colors.back() |= COLORREF(parameter) << shift;
        } else if (word == "b") {
            state.bold = !hasParameter || parameter != 0;
        } else if (word == "cf") {
            state.color = int(parameter);
        } else if (word == "plain") {
            state.bold = false;
            state.color = 0;
        } else if (word == "par" || word == "line" || word == "tab") {
            Append(state, word == "tab" ? L"\t" : L"\r\n");
        } else if (word == "u") {
            // A UTF-16 unit as a signed number, followed by its stand-in for older readers.
            Append(state, std::wstring(1, wchar_t(parameter)));
            m_fallbackLeft = m_fallbackLength;
        }
    }

    // A character of the text as a byte of the code page: a double-byte character comes as
    // two escapes, so the bytes become characters only together.
    void Byte(const State& state, char c) {
        if (m_fallbackLeft > 0) {
            --m_fallbackLeft;
        } else if (state.colorTable) {
            if (c == ';') m_colors.push_back(0);  // the end of one colour of the table
        } else if (!state.skip) {
            m_bytes += c;
            m_bytesState = state;
        }
    }

    void FlushBytes() {
        if (m_bytes.empty()) return;
        Append(m_bytesState, Wide(FromCodePage(m_codePage, m_bytes)));
        m_bytes.clear();
    }

    void Append(const State& state, const std::wstring& text) {
        if (state.skip || state.colorTable) return;
        const COLORREF color =
            (state.color > 0 && size_t(state.color) < m_colors.size()) ? m_colors[size_t(state.color)] : 0;
        if (!m_runs.empty() && m_runs.back().bold == state.bold && m_runs.back().color == color)
            m_runs.back().text += text;
        else
            m_runs.push_back({text, state.bold, color});
    }

    const std::string& m_rtf;
    size_t m_pos = 0;
    UINT m_codePage = 1252;
    int m_fallbackLength = 1;
    int m_fallbackLeft = 0;
    std::string m_bytes;
    State m_bytesState;
    std::vector<COLORREF> m_colors = {0};
    std::vector<TextRun> m_runs;
};

// The clipboard's data in `format`, up to its first zero byte (of `unit` bytes); waits for
// it a while, as Wine's clipboard manager may hold the clipboard for a moment after a change.
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
    std::vector<TextRun> runs = RtfReader(rtf).Read();
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
    // The copied RTF ends with the control's final paragraph mark, which the text lacks.
    // (WM_GETTEXT cannot tell the text's length: under code page 932 Wine answers it with
    // nothing once the text holds a double-byte character.)
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
