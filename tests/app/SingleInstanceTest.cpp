#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
int s_nWakes = 0;

LRESULT CALLBACK CountWakes(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    s_nWakes += nMessage == CSingleInstance::WakeMessage();
    return DefWindowProcW(hWnd, nMessage, wParam, lParam);
}
} // namespace

TEST(SingleInstance, TheFirstCopyOwnsTheNameAndLaterCopiesWakeItsWindow)
{
    const std::wstring strName = L"Local\\Horaleon.test." + std::to_wstring(GetCurrentProcessId());
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &CountWakes;
    windowClass.lpszClassName = L"HoraleonWakeCounter";
    RegisterClassW(&windowClass);
    HWND hWnd = CreateWindowW(windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hWnd, HWND(NULL));
    {
        CSingleInstance first(strName.c_str());
        CSingleInstance second(strName.c_str());
        EXPECT_TRUE(first.IsFirst());
        EXPECT_FALSE(second.IsFirst());
        // Nothing to wake before the first copy's window exists.
        EXPECT_FALSE(second.WakeFirst(100));

        first.PublishWindow(hWnd);
        second.PublishWindow(NULL); // only the first copy's window counts
        EXPECT_TRUE(second.WakeFirst(100));
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        EXPECT_EQ(s_nWakes, 1);
        DestroyWindow(hWnd);
        EXPECT_FALSE(second.WakeFirst(100));
    }
    EXPECT_TRUE(CSingleInstance(strName.c_str()).IsFirst());
}
