// Runs a program of the build to its end and collects what it printed.
#pragma once

#include <windows.h>

#include <string>

struct CChildProcess
{
    DWORD dwExitCode = 0;
    DWORD dwStartError = 0; // why the last start failed, when it did
    std::string strOut;     // line ends as "\n"
    std::string strErr;

    // Runs the named program from the tests' own folder; false if it could not start.
    bool Run(const std::string& strProgram, const std::string& strArguments, DWORD dwTimeoutMs = 60000);
    // Runs a whole command line as the system would, finding the program in it.
    bool RunCommandLine(const std::string& strCommandLine, DWORD dwTimeoutMs = 60000);
    // The same for a command line that may name paths outside the ANSI code page.
    bool RunCommandLine(const std::wstring& strCommandLine, DWORD dwTimeoutMs = 60000);

    static std::string BinDir();
};
