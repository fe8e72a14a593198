#include "framework/Application.h"

#include <commctrl.h>

CApplication* CApplication::s_pCurrent = nullptr;

CApplication::CApplication()
{
    s_pCurrent = this;
}

CApplication::~CApplication()
{
    if (s_pCurrent == this)
        s_pCurrent = nullptr;
}

int CApplication::Run(HINSTANCE hInstance)
{
    m_hInstance = hInstance;
    // The common controls (and their visual styles, with the manifest's
    // version 6) must be registered before the first dialog is made.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (!InitInstance())
        return 0;
    return RunMessageLoop();
}

int CApplication::RunMessageLoop()
{
    MSG msg;
    while (::GetMessageW(&msg, NULL, 0, 0) > 0)
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
