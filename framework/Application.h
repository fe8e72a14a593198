// The program's one application object: its start, and the end of the program.
#pragma once

#include <windows.h>

class CWindow;

class CApplication
{
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    static CApplication* GetCurrent() { return s_pCurrent; }

    // Called by the program's entry; the process's exit code.
    int Run(HINSTANCE hInstance);

    HINSTANCE m_hInstance = NULL;
    CWindow* m_pMainWnd = nullptr;

protected:
    // Sets the program up; false ends the program when it returns.
    virtual BOOL InitInstance() = 0;
    // Runs the program's message loop after a true InitInstance.
    virtual int RunMessageLoop();

private:
    static CApplication* s_pCurrent;
};
