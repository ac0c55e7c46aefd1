#pragma once
// The text of a list file: one path per line. Platform-free.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Converts bytes in the system's ANSI code page.
using AnsiDecoder = std::function<std::u16string(std::string_view)>;

std::vector<std::u16string> ParseListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi);
