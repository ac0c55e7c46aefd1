#pragma once
// A batch of log lines as one piece of Rich Text, so that the log takes a whole batch in
// one insertion: the formats of the log (plain, bold green, bold red) in the log's font.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "RunFeed.h"

class CLogRtf {
public:
    // `normal` is the control's default format; text is in code page `codePage`.
    CLogRtf(const CHARFORMATA& normal, UINT codePage);

    std::string Build(const std::vector<LogEntry>& batch) const;

private:
    std::wstring ToUtf16(const std::string& text) const;
    static void AppendEscaped(std::string& rtf, const std::wstring& text);

    UINT m_codePage;
    std::string m_header;
};
