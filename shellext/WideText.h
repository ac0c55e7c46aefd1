#pragma once
// Wide strings for paths of any length Windows allows (32,767 characters): every buffer
// grows until what it receives fits, and the text conversions never drop a character.
#include <windows.h>

#include <string>

// The full path of `module`; empty when it cannot be read.
std::wstring ModuleFileName(HMODULE module);

// The user's temporary folder, with its final backslash; empty when it cannot be read.
std::wstring TempFolder();

// The part of `path` up to and including its last backslash.
std::wstring FolderOf(const std::wstring& path);

// `path` in the \\?\ form that the file functions take beyond MAX_PATH characters;
// shorter paths are returned as they are, so they keep the usual name normalisation.
std::wstring ExtendedLengthPath(const std::wstring& path);

// Conversions that fail rather than substitute: UTF-8 cannot carry a lone surrogate, an
// ANSI code page cannot carry characters outside it.
bool ToUtf8(const std::wstring& wide, std::string& utf8);
bool FromCodePage(const char* text, UINT codePage, std::wstring& wide);
bool ToCodePage(const wchar_t* text, UINT codePage, std::string& narrow);
