// The folder the executable lives in, where the program keeps its settings.
#pragma once

#include <windows.h>

#include <string>

// The executable's folder with its trailing backslash; empty until
// InitModuleDir has run at application start. UTF-16, so that a folder named
// outside the ANSI code page keeps every letter.
extern std::wstring g_strModuleDir;

// The platform's module path query, replaceable so that tests can feed it
// the awkward paths real systems produce.
using ModuleFileNameFunction = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);

// The executable's full path (at most MAX_PATH characters). FALSE when the
// path does not fit; strPath then holds the terminated, truncated part.
BOOL ReadModulePath(std::wstring& strPath, ModuleFileNameFunction pfnModuleFileName = &::GetModuleFileNameW);

// The path up to and including its last backslash; empty without one.
std::wstring DirectoryOfPath(const std::wstring& strPath);

void InitModuleDir();
