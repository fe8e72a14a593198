#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring TestName()
{
    return L"Local\\Horaleon.test." + std::to_wstring(GetCurrentProcessId());
}

// A window that counts the wake-ups it receives.
struct CWakeCounter
{
    static LRESULT CALLBACK Proc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        if (nMessage == CSingleInstance::WakeMessage())
            ++s_nWakes;
        return DefWindowProcW(hWnd, nMessage, wParam, lParam);
    }
    static inline int s_nWakes = 0;
};

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}
} // namespace

TEST(SingleInstance, TheFirstCopyOwnsTheNameUntilItEnds)
{
    const std::wstring strName = TestName();
    {
        CSingleInstance first(strName.c_str());
        EXPECT_TRUE(first.IsFirst());
        CSingleInstance second(strName.c_str());
        EXPECT_FALSE(second.IsFirst());
        CSingleInstance third(strName.c_str());
        EXPECT_FALSE(third.IsFirst());
        // Without a published window there is nothing to wake.
        EXPECT_FALSE(second.WakeFirst(100));
    }
    CSingleInstance again(strName.c_str());
    EXPECT_TRUE(again.IsFirst());
}

TEST(SingleInstance, ALaterCopyWakesTheFirstCopysWindow)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &CWakeCounter::Proc;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"HoraleonWakeCounter";
    RegisterClassW(&windowClass);
    HWND hWnd =
        CreateWindowW(windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, windowClass.hInstance, NULL);
    ASSERT_NE(hWnd, HWND(NULL));

    const std::wstring strName = TestName();
    CSingleInstance first(strName.c_str());
    first.PublishWindow(hWnd);
    CSingleInstance second(strName.c_str());
    // Only the first copy's window counts.
    second.PublishWindow(NULL);
    EXPECT_TRUE(second.WakeFirst(100));
    Pump();
    EXPECT_EQ(CWakeCounter::s_nWakes, 1);

    DestroyWindow(hWnd);
    EXPECT_FALSE(second.WakeFirst(100));
}
