#pragma once
// The text of a list file, one path per line, up to the first empty line: UTF-8 after a
// byte-order mark (WTF-8, so that a name with a lone surrogate comes back whole), else
// the system's ANSI code page.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// decodeAnsi converts bytes in the system's ANSI code page (supplied by the Windows side)
using AnsiDecoder = std::function<std::u16string(std::string_view)>;
std::vector<std::u16string> ParseListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi);
