// The program's 8-bit texts are code page 936, whatever the system's ANSI
// code page: they reach the platform's wide-character calls through these.
#pragma once

#include <windows.h>

#include <string>

inline constexpr UINT kProgramCodePage = 936;

std::wstring WidenProgramText(const char* pszText);
