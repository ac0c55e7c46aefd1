#include "LogRtf.h"

#include <cstdint>
#include <cstdio>

namespace {

// Colour 1 is the error red, colour 2 the success green; 0 is the automatic colour.
const char kColourTable[] = "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green153\\blue51;}";

const char* StartOf(LogFormat format) {
    switch (format) {
        case LogFormat::Success:
            return "\\b\\cf2 ";
        case LogFormat::Error:
        case LogFormat::Notice:
            return "\\b\\cf1 ";
        case LogFormat::Plain:
            break;
    }
    return "";
}

}  // namespace

CLogRtf::CLogRtf(const CHARFORMATW& normal, UINT codePage) {
    char start[128];
    snprintf(start, sizeof(start), "{\\rtf1\\ansi\\ansicpg%u\\deff0{\\fonttbl{\\f0\\fnil\\fcharset%u ", codePage,
             unsigned(normal.bCharSet));
    m_header = start;
    AppendEscaped(m_header, normal.szFaceName);
    m_header += ";}}";
    m_header += kColourTable;
    // The format's height is in twips, RTF's font size in half points.
    // \uc0: a \u character has no stand-in bytes after it.
    snprintf(start, sizeof(start), "\\uc0\\f0\\fs%ld\\b0\\cf0 ", long(normal.yHeight / 10));
    m_header += start;
}

std::string CLogRtf::Build(const std::vector<LogEntry>& batch) const {
    std::string rtf = m_header;
    for (const LogEntry& entry : batch) {
        const bool formatted = entry.format != LogFormat::Plain;
        rtf += StartOf(entry.format);
        AppendEscaped(rtf, entry.text);
        if (formatted) rtf += "\\b0\\cf0 ";
    }
    rtf += "}";
    return rtf;
}

// Characters outside ASCII go as \u with their UTF-16 unit: a double-byte character as
// code-page escapes would depend on how the reader pairs them (0x5C, a backslash, is a
// valid second byte in code page 932).
void CLogRtf::AppendEscaped(std::string& rtf, std::wstring_view text) {
    char unit[16];
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (c == L'\n' || c == L'\r') {
            rtf += "\\par\n";
        } else if (c == L'\\' || c == L'{' || c == L'}') {
            rtf += '\\';
            rtf += char(c);
        } else if (c >= 0x80 || c < 0x20) {
            // RTF takes the unit as a signed 16-bit number.
            snprintf(unit, sizeof(unit), "\\u%d ", int(static_cast<int16_t>(c)));
            rtf += unit;
        } else {
            rtf += char(c);
        }
    }
}
