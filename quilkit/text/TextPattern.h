#pragma once
// Filling a text's pattern: the one way the programs put numbers and names into the words
// of their string tables. No platform call, so the native tests use it too.
#include <initializer_list>
#include <string>
#include <string_view>

// `pattern` with each %1 to %9 replaced by that argument (empty past the last), %% by %.
std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);
