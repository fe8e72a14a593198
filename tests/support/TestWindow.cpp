#include "support/TestWindow.h"

HWND CreateTestWindow(LPCSTR lpszClass, WNDPROC pfnWndProc, int x, int y, int cx, int cy, void* pUserData,
                      UINT nClassStyle, DWORD dwExtraStyle)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = pfnWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = lpszClass;
    wc.style = nClassStyle;
    RegisterClassA(&wc); // fails harmlessly once the class exists
    HWND hWnd = CreateWindowExA(0, lpszClass, "", WS_POPUP | dwExtraStyle, x, y, cx, cy, nullptr, nullptr, wc.hInstance,
                                nullptr);
    if (!hWnd)
        return nullptr;
    SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pUserData));
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    return hWnd;
}

void PumpMessagesFor(DWORD dwMs)
{
    const DWORD dwEnd = GetTickCount() + dwMs;
    MSG msg;
    while (static_cast<LONG>(dwEnd - GetTickCount()) > 0)
    {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
}
