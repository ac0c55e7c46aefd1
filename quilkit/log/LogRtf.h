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
    // `normal` is the control's default format; `codePage` the one the header names.
    CLogRtf(const CHARFORMATW& normal, UINT codePage);

    std::string Build(const std::vector<LogEntry>& batch) const;

private:
    static void AppendEscaped(std::string& rtf, std::wstring_view text);

    std::string m_header;
};
