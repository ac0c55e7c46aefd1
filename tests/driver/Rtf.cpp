// Just enough of an RTF reader for the log's clipboard text: groups, bold, the colour
// table and the foreground colour, paragraph ends, escaped characters (\'xx in the
// document's code page, \uN as UTF-16) and \ucN's fallbacks.
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

#include "Driver.h"

namespace driver {

namespace {

struct State {
    bool bold = false;
    int color = 0;
    bool skip = false;  // inside a destination that is not text (font table, ...)
    bool colorTable = false;
};

class RtfReader {
public:
    explicit RtfReader(const std::string& rtf) : m_rtf(rtf) {}

    std::vector<TextRun> Read() {
        std::vector<State> stack(1);
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf[m_pos++];
            if (c == '{') {
                stack.push_back(stack.back());
            } else if (c == '}') {
                if (stack.size() > 1) stack.pop_back();
            } else if (c == '\\') {
                ControlWord(stack.back());
            } else if (c == '\r' || c == '\n') {
                continue;
            } else {
                Character(stack.back(), c);
            }
        }
        FlushBytes();
        std::vector<TextRun> runs;
        for (const WideRun& run : m_runs) runs.push_back({Utf8(run.text), run.bold, run.color});
        return runs;
    }

private:
    void ControlWord(State& state) {
        if (m_pos >= m_rtf.size()) return;
        const char c = m_rtf[m_pos];
        if (!isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            if (c == '\'') {
                const int byte = int(strtol(m_rtf.substr(m_pos, 2).c_str(), nullptr, 16));
                m_pos += 2;
                if (TakeFallback()) return;
                if (state.skip || state.colorTable) return;
                if (m_bytes.empty()) m_bytesState = state;
                m_bytes += char(byte);
            } else if (c == '*') {
                state.skip = true;
            } else if (c == '\\' || c == '{' || c == '}') {
                Character(state, c);
            }
            return;
        }
        const size_t start = m_pos;
        while (m_pos < m_rtf.size() && isalpha(static_cast<unsigned char>(m_rtf[m_pos]))) ++m_pos;
        const std::string word = m_rtf.substr(start, m_pos - start);
        bool hasParameter = false;
        long parameter = 0;
        if (m_pos < m_rtf.size() && (m_rtf[m_pos] == '-' || isdigit(static_cast<unsigned char>(m_rtf[m_pos])))) {
            char* end = nullptr;
            parameter = strtol(m_rtf.c_str() + m_pos, &end, 10);
            m_pos = size_t(end - m_rtf.c_str());
            hasParameter = true;
        }
        if (m_pos < m_rtf.size() && m_rtf[m_pos] == ' ') ++m_pos;
        Apply(state, word, hasParameter, parameter);
    }

    void Apply(State& state, const std::string& word, bool hasParameter, long parameter) {
        if (word == "ansicpg" && hasParameter) m_codePage = UINT(parameter);
        if (word == "uc" && hasParameter) m_fallbackLength = int(parameter);
        if (word == "fonttbl" || word == "stylesheet" || word == "info" || word == "pict") {
            state.skip = true;
        } else if (word == "colortbl") {
            state.skip = true;
            state.colorTable = true;
            m_colors.assign(1, 0);
        } else if (state.colorTable) {
            if (word == "red") m_colors.back() |= COLORREF(parameter);
            if (word == "green") m_colors.back() |= COLORREF(parameter) << 8;
            if (word == "blue") m_colors.back() |= COLORREF(parameter) << 16;
        } else if (word == "b") {
            state.bold = !hasParameter || parameter != 0;
        } else if (word == "cf") {
            state.color = int(parameter);
        } else if (word == "plain") {
            state.bold = false;
            state.color = 0;
        } else if (word == "par" || word == "line") {
            Text(state, L"\r\n");
        } else if (word == "tab") {
            Text(state, L"\t");
        } else if (word == "u") {
            // A UTF-16 unit, as a signed number, followed by its stand-in for older readers.
            Text(state, std::wstring(1, wchar_t(parameter < 0 ? parameter + 65536 : parameter)));
            m_fallbackLeft = m_fallbackLength;
        }
    }

    // Stand-in characters after \u are read but not text.
    bool TakeFallback() {
        if (m_fallbackLeft == 0) return false;
        --m_fallbackLeft;
        return true;
    }

    void Character(const State& state, char c) {
        if (TakeFallback()) return;
        if (state.colorTable) {
            // Each ';' ends one colour of the table.
            if (c == ';') m_colors.push_back(0);
            return;
        }
        Text(state, std::wstring(1, wchar_t(static_cast<unsigned char>(c))));
    }

    // Bytes of \'xx escapes make characters only together: a double-byte character
    // comes as two escapes.
    void FlushBytes() {
        if (m_bytes.empty()) return;
        const std::string bytes = std::move(m_bytes);
        m_bytes.clear();
        std::wstring text(bytes.size(), L'\0');
        const int length =
            MultiByteToWideChar(m_codePage, 0, bytes.data(), int(bytes.size()), &text[0], int(text.size()));
        text.resize(size_t(length > 0 ? length : 0));
        AppendRun(m_bytesState, text);
    }

    void Text(const State& state, const std::wstring& text) {
        FlushBytes();
        if (state.colorTable || state.skip) return;
        AppendRun(state, text);
    }

    void AppendRun(const State& state, const std::wstring& text) {
        const COLORREF color =
            (state.color > 0 && size_t(state.color) < m_colors.size()) ? m_colors[size_t(state.color)] : 0;
        if (!m_runs.empty() && m_runs.back().bold == state.bold && m_runs.back().color == color) {
            m_runs.back().text += text;
        } else {
            m_runs.push_back({text, state.bold, color});
        }
    }

    struct WideRun {
        std::wstring text;
        bool bold;
        COLORREF color;
    };

    const std::string& m_rtf;
    size_t m_pos = 0;
    UINT m_codePage = 1252;
    int m_fallbackLength = 1;
    int m_fallbackLeft = 0;
    std::string m_bytes;
    State m_bytesState;
    std::vector<COLORREF> m_colors = {0};
    std::vector<WideRun> m_runs;
};

}  // namespace

std::vector<TextRun> ParseRtf(const std::string& rtf) { return RtfReader(rtf).Read(); }

}  // namespace driver
