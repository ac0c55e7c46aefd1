#include "LogRtf.h"

#include <cstdio>

namespace {

// Colour 1 is the error red, colour 2 the success green; 0 is the automatic colour.
const char kColourTable[] = "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green153\\blue51;}";

const char* StartOf(LogFormat format) {
    switch (format) {
        case LogFormat::Success:
            return "\\b\\cf2 ";
        case LogFormat::Error:
            return "\\b\\cf1 ";
        case LogFormat::Plain:
            break;
    }
    return "";
}

}  // namespace

CLogRtf::CLogRtf(const CHARFORMATA& normal, UINT codePage) {
    char start[128];
    snprintf(start, sizeof(start), "{\\rtf1\\ansi\\ansicpg%u\\deff0{\\fonttbl{\\f0\\fnil\\fcharset%u ", codePage,
             unsigned(normal.bCharSet));
    m_header = start;
    AppendEscaped(m_header, normal.szFaceName);
    m_header += ";}}";
    m_header += kColourTable;
    // The format's height is in twips, RTF's font size in half points.
    snprintf(start, sizeof(start), "\\f0\\fs%ld\\b0\\cf0 ", long(normal.yHeight / 10));
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

void CLogRtf::AppendEscaped(std::string& rtf, const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r') {
            rtf += "\\par\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += char(c);
        } else if (c >= 0x80 || c < 0x20) {
            // Bytes of the code page, double-byte characters included, as RTF escapes.
            rtf += "\\'";
            rtf += kHex[c >> 4];
            rtf += kHex[c & 15];
        } else {
            rtf += char(c);
        }
    }
}
