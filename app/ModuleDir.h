// The folder the executable lives in, where the program keeps its settings.
#pragma once

#include <windows.h>

#include <string>

// The executable's folder with its trailing backslash; empty until
// InitModuleDir has run at application start.
extern std::string g_strModuleDir;

// The platform's module path query, replaceable so that tests can feed it
// the awkward paths real systems produce.
using ModuleFileNameFunction = DWORD(WINAPI*)(HMODULE, LPSTR, DWORD);

// The executable's full path (at most MAX_PATH bytes). FALSE when the path
// does not fit; strPath then holds the terminated, truncated part.
BOOL ReadModulePath(std::string& strPath, ModuleFileNameFunction pfnModuleFileName = &::GetModuleFileNameA);

// The path up to and including its last backslash, found byte by byte in the
// ANSI code page so that the trail byte of a double-byte character (0x5C is
// one in code page 936) is not taken for a separator. Empty without one.
std::string DirectoryOfPath(LPCSTR pszPath);

void InitModuleDir();
