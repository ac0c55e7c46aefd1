// Just enough of an RTF reader for the log's clipboard text: groups, bold, the colour
// table and the foreground colour, paragraph ends and escaped characters.
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

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
                Text(stack.back(), std::string(1, c));
            }
        }
        return m_runs;
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
                Text(state, std::string(1, char(byte)));
            } else if (c == '*') {
                state.skip = true;
            } else if (c == '\\' || c == '{' || c == '}') {
                Text(state, std::string(1, c));
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
            Text(state, "\r\n");
        } else if (word == "tab") {
            Text(state, "\t");
        } else if (word == "u") {
            // A character outside the code page: keep a marker, skip its fallback.
            Text(state, "?");
            if (m_pos < m_rtf.size() && m_rtf[m_pos] != '\\' && m_rtf[m_pos] != '{') ++m_pos;
        }
    }

    void Text(const State& state, const std::string& text) {
        if (state.colorTable) {
            // Each ';' ends one colour of the table.
            if (text == ";") m_colors.push_back(0);
            return;
        }
        if (state.skip) return;
        const COLORREF color =
            (state.color > 0 && size_t(state.color) < m_colors.size()) ? m_colors[size_t(state.color)] : 0;
        if (!m_runs.empty() && m_runs.back().bold == state.bold && m_runs.back().color == color) {
            m_runs.back().text += text;
        } else {
            m_runs.push_back({text, state.bold, color});
        }
    }

    const std::string& m_rtf;
    size_t m_pos = 0;
    std::vector<COLORREF> m_colors = {0};
    std::vector<TextRun> m_runs;
};

}  // namespace

std::vector<TextRun> ParseRtf(const std::string& rtf) { return RtfReader(rtf).Read(); }

}  // namespace driver
