// Conversions between the ANSI code page and UTF-16.
#pragma once

#include <string>

std::wstring AnsiToWide(const char* psz);
std::wstring AnsiToWide(const std::string& str);
std::string WideToAnsi(const wchar_t* psz);
std::string WideToAnsi(const std::wstring& str);
