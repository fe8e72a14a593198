#include "ButtonTestIds.h"
#include "app/Button.h"
#include "support/DibCanvas.h"
#include "support/GdiObjectCount.h"
#include "support/TestWindow.h"

#include <gtest/gtest.h>
#include <uxtheme.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
// Remembers the face each paint handed to the caption.
class CRecordingButton : public CXTPButton
{
public:
    CXTPButtonTheme::Face m_face = {};
    // What the button hears when it asks for its user-interface state. Wine
    // keeps no such state and always answers 0, so the test plays the system.
    LRESULT m_nUiState = 0;

protected:
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override
    {
        if (nMessage != WM_QUERYUISTATE)
            return CXTPButton::OnWndMsg(nMessage, wParam, lParam, lResult);
        lResult = m_nUiState;
        return true;
    }

    void DrawCaption(HDC hDC, const CXTPButtonTheme::Face& face) override
    {
        m_face = face;
        CXTPButton::DrawCaption(hDC, face);
    }
};

std::vector<std::pair<UINT, UINT>> g_notifications; // (control id, code)

INT_PTR CALLBACK HostDialogProc(HWND, UINT nMessage, WPARAM wParam, LPARAM)
{
    if (nMessage == WM_INITDIALOG)
        return TRUE;
    if (nMessage == WM_COMMAND)
    {
        g_notifications.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Where people can look at the faces: build/screenshots beside build/bin.
std::string ScreenshotDir()
{
    char szPath[MAX_PATH] = {};
    ::GetModuleFileNameA(NULL, szPath, MAX_PATH);
    std::string strDir(szPath);
    strDir.resize(strDir.find_last_of('\\'));
    strDir.resize(strDir.find_last_of('\\') + 1);
    strDir += "screenshots\\";
    ::CreateDirectoryA(strDir.c_str(), NULL);
    return strDir;
}

// The test dialogs' top-level window, made once: without a window manager,
// Wine waits two seconds for every top-level window that goes away.
HWND Frame()
{
    static HWND hFrame = NULL;
    if (hFrame == NULL)
    {
        hFrame = CreateTestWindow("HoraleonButtonTestFrame", DefWindowProcA, 200, 200, 300, 150, nullptr, 0,
                                  WS_BORDER | WS_CLIPCHILDREN);
        ::SetForegroundWindow(hFrame);
    }
    return hFrame;
}

// A dialog from the test template with its push button taken over.
class ButtonTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_notifications.clear();
        m_hDialog = ::CreateDialogParamW(::GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_BUTTON_TEST), Frame(),
                                         &HostDialogProc, 0);
        ASSERT_NE(m_hDialog, HWND(NULL));
        ASSERT_TRUE(m_button.SubclassDlgItem(IDC_FACE, m_hDialog));
        ::ShowWindow(m_hDialog, SW_SHOW);
        ::SetForegroundWindow(Frame());
        ::SetFocus(::GetDlgItem(m_hDialog, IDC_OTHER));
        MoveCursorAway();
        Pump(50);
    }

    void TearDown() override { ::DestroyWindow(m_hDialog); }

    bool PumpUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs = 3000)
    {
        const DWORD dwStart = ::GetTickCount();
        for (;;)
        {
            MSG msg;
            while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
                if (!::IsDialogMessageW(m_hDialog, &msg))
                {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            if (condition())
                return true;
            if (::GetTickCount() - dwStart > dwTimeoutMs)
                return false;
            ::Sleep(5);
        }
    }

    void Pump(DWORD dwMs)
    {
        const DWORD dwStart = ::GetTickCount();
        PumpUntil([&] { return ::GetTickCount() - dwStart >= dwMs; });
    }

    // The screen after every pending paint, and as it is now.
    std::unique_ptr<CDibCanvas> Painted()
    {
        ::UpdateWindow(m_button);
        return CDibCanvas::FromScreen(m_button);
    }
    std::unique_ptr<CDibCanvas> Screen() { return CDibCanvas::FromScreen(m_button); }

    POINT Centre() const
    {
        RECT rc;
        ::GetWindowRect(m_button, &rc);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    void MoveCursorAway() { ::SetCursorPos(5, 5); }

    bool StyleActive()
    {
        CXTPButtonTheme theme;
        theme.RefreshMetrics(m_button);
        return theme.IsVisualStyle();
    }

    void ShowFocusCues(bool bShow)
    {
        m_button.m_nUiState = bShow ? 0 : UISF_HIDEFOCUS | UISF_HIDEACCEL;
        m_button.Invalidate(FALSE);
    }

    HWND m_hDialog = NULL;
    CRecordingButton m_button;
};

bool Distinct(const std::vector<std::unique_ptr<CDibCanvas>>& faces, size_t i, size_t j)
{
    return !faces[i]->SameAs(*faces[j]);
}
} // namespace

TEST_F(ButtonTest, EachStateHasItsOwnFaceInBothLooks)
{
    const char* kStates[] = {"normal", "hot", "pressed", "focused", "disabled", "default"};
    CDibCanvas gallery(6 * 100 + 10, 2 * 70 + 10);
    gallery.Fill(::GetSysColor(COLOR_BTNFACE));
    for (int nLook = 0; nLook < 2; ++nLook)
    {
        const bool bClassic = nLook == 0;
        if (!bClassic && !StyleActive())
            GTEST_SKIP() << "no visual style active";
        m_button.GetTheme().SetClassicLook(bClassic);
        m_button.Invalidate(FALSE);

        std::vector<std::unique_ptr<CDibCanvas>> faces;
        std::vector<CXTPButtonTheme::Face> captions;
        auto take = [&]
        {
            faces.push_back(Painted());
            captions.push_back(m_button.m_face);
        };
        take();
        ::SetCursorPos(Centre().x, Centre().y);
        ASSERT_TRUE(PumpUntil([&] { return m_button.IsHot() != FALSE; }));
        take();
        MoveCursorAway();
        ASSERT_TRUE(PumpUntil([&] { return !m_button.IsHot(); }));
        ::SendMessageW(m_button, BM_SETSTATE, TRUE, 0);
        take();
        ::SendMessageW(m_button, BM_SETSTATE, FALSE, 0);
        ::SetFocus(m_button);
        take();
        ::SetFocus(::GetDlgItem(m_hDialog, IDC_OTHER));
        ::EnableWindow(m_button, FALSE);
        take();
        ::EnableWindow(m_button, TRUE);
        ::SendMessageW(m_button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        take();
        ::SendMessageW(m_button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);

        for (size_t i = 1; i < faces.size(); ++i)
            EXPECT_TRUE(Distinct(faces, 0, i)) << kStates[i] << (bClassic ? " classic" : " styled");
        EXPECT_TRUE(Distinct(faces, 1, 2)) << "hot and pressed";
        EXPECT_TRUE(Distinct(faces, 3, 5)) << "focused and default";

        // The caption takes the colour of its state.
        const COLORREF clrNormal = captions[0].clrText, clrDisabled = captions[4].clrText;
        EXPECT_NE(clrNormal, clrDisabled);
        EXPECT_GT(faces[0]->Count(clrNormal, captions[0].rcText), 0);
        EXPECT_GT(faces[4]->Count(clrDisabled, captions[4].rcText), 0);
        EXPECT_EQ(faces[4]->Count(clrNormal, captions[4].rcText), 0);

        for (size_t i = 0; i < faces.size(); ++i)
            faces[i]->CopyTo(gallery, 10 + 100 * static_cast<int>(i), 10 + 70 * nLook);
    }
    gallery.SaveBmp(ScreenshotDir() + "button-states.bmp");
}

TEST_F(ButtonTest, StateChangesNeverShowTheStockFace)
{
    if (!StyleActive())
        GTEST_SKIP() << "the stock face is told apart by the visual style";
    // Each change is drawn by the next paint only; the stock button, left to
    // itself, would have painted its classic face at once.
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"pressed", [&] { ::SendMessageW(m_button, BM_SETSTATE, TRUE, 0); }},
        {"released", [&] { ::SendMessageW(m_button, BM_SETSTATE, FALSE, 0); }},
        {"default", [&] { ::SendMessageW(m_button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); }},
        {"focused", [&] { ::SetFocus(m_button); }},
        {"disabled", [&] { ::EnableWindow(m_button, FALSE); }},
        {"new text", [&] { ::SetWindowTextW(m_button, L"Again"); }},
    };
    for (const auto& change : changes)
    {
        const std::unique_ptr<CDibCanvas> pBefore = Painted();
        change.second();
        EXPECT_TRUE(Screen()->SameAs(*pBefore)) << change.first;
        EXPECT_FALSE(Painted()->SameAs(*pBefore)) << change.first;
    }
    EXPECT_EQ(m_button.GetWindowText(), L"Again");
    EXPECT_NE(::GetWindowLongPtrW(m_button, GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(ButtonTest, FocusRectangleFollowsTheFlagAndTheUserInterfaceState)
{
    ::SetFocus(m_button);
    ShowFocusCues(true);
    m_button.Invalidate(FALSE);
    const std::unique_ptr<CDibCanvas> pFramed = Painted();
    const RECT rcFocus = m_button.m_face.rcFocus;

    m_button.m_bDrawFocusFrame = FALSE;
    m_button.Invalidate(FALSE);
    const std::unique_ptr<CDibCanvas> pPlain = Painted();
    ASSERT_FALSE(pFramed->SameAs(*pPlain));
    for (int y = 0; y < pPlain->Height(); ++y)
        for (int x = 0; x < pPlain->Width(); ++x)
        {
            if (pFramed->Color(x, y) != pPlain->Color(x, y))
            {
                ASSERT_TRUE(x == rcFocus.left || x == rcFocus.right - 1 || y == rcFocus.top || y == rcFocus.bottom - 1)
                    << x << "," << y;
            }
        }

    // Hidden cues: no frame, and no mnemonic underline either.
    m_button.m_bDrawFocusFrame = TRUE;
    ShowFocusCues(false);
    const std::unique_ptr<CDibCanvas> pHidden = Painted();
    EXPECT_FALSE(pHidden->SameAs(*pFramed));
    EXPECT_FALSE(pHidden->SameAs(*pPlain)) << "the underline of the S in &Sync";
    m_button.m_bDrawFocusFrame = FALSE;
    ShowFocusCues(true);
    m_button.Invalidate(FALSE);
    EXPECT_TRUE(Painted()->SameAs(*pPlain));
}

TEST_F(ButtonTest, HotTrackingEndsWithTheLeaveNotification)
{
    EXPECT_FALSE(m_button.IsHot());
    const std::unique_ptr<CDibCanvas> pNormal = Painted();
    ::SetCursorPos(Centre().x, Centre().y);
    ASSERT_TRUE(PumpUntil([&] { return m_button.IsHot() != FALSE; }));
    EXPECT_FALSE(Painted()->SameAs(*pNormal));
    // Only the leave notification tells that the mouse went.
    MoveCursorAway();
    ASSERT_TRUE(PumpUntil([&] { return !m_button.IsHot(); }));
    EXPECT_TRUE(Painted()->SameAs(*pNormal));
    // And tracking starts again on the next visit.
    ::SetCursorPos(Centre().x, Centre().y);
    EXPECT_TRUE(PumpUntil([&] { return m_button.IsHot() != FALSE; }));
    MoveCursorAway();
    EXPECT_TRUE(PumpUntil([&] { return !m_button.IsHot(); }));
}

TEST_F(ButtonTest, MouseAndSpaceClicksReachTheDialog)
{
    const std::pair<UINT, UINT> kClicked = {IDC_FACE, BN_CLICKED};
    auto clicks = [&] { return std::count(g_notifications.begin(), g_notifications.end(), kClicked); };

    ::SetCursorPos(Centre().x, Centre().y);
    INPUT mouse[2] = {};
    mouse[0].type = mouse[1].type = INPUT_MOUSE;
    mouse[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    mouse[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, mouse, sizeof(INPUT)), 2u);
    ASSERT_TRUE(PumpUntil([&] { return clicks() == 1; }));
    EXPECT_EQ(::GetFocus(), m_button.m_hWnd);

    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_SPACE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(::SendInput(2, keys, sizeof(INPUT)), 2u);
    ASSERT_TRUE(PumpUntil([&] { return clicks() == 2; }));
}

TEST_F(ButtonTest, ThemeChangeSwitchesTheLook)
{
    if (!StyleActive())
        GTEST_SKIP() << "no visual style active";
    const std::unique_ptr<CDibCanvas> pStyled = Painted();
    m_button.GetTheme().SetClassicLook(true);
    m_button.Invalidate(FALSE);
    const std::unique_ptr<CDibCanvas> pClassic = Painted();
    m_button.GetTheme().SetClassicLook(false);
    ASSERT_FALSE(pStyled->SameAs(*pClassic));

    // No style for this window: WM_THEMECHANGED must drop the old style data.
    ASSERT_EQ(::SetWindowTheme(m_button, L" ", L" "), S_OK);
    Pump(20);
    EXPECT_TRUE(Painted()->SameAs(*pClassic));
    ASSERT_EQ(::SetWindowTheme(m_button, NULL, NULL), S_OK);
    Pump(20);
    EXPECT_TRUE(Painted()->SameAs(*pStyled));
}

TEST_F(ButtonTest, ManyPaintsLeaveNoGdiObjects)
{
    auto paintAll = [&]
    {
        for (bool bClassic : {true, false})
        {
            m_button.GetTheme().SetClassicLook(bClassic);
            for (BOOL bPressed : {FALSE, TRUE})
            {
                ::SendMessageW(m_button, BM_SETSTATE, bPressed, 0);
                ::RedrawWindow(m_button, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
                CDibCanvas::FromPrintClient(m_button);
            }
            ::SetFocus(m_button);
            ::RedrawWindow(m_button, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
            ::SetFocus(::GetDlgItem(m_hDialog, IDC_OTHER));
            ::EnableWindow(m_button, FALSE);
            ::RedrawWindow(m_button, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
            ::EnableWindow(m_button, TRUE);
        }
    };
    auto paintHotAndNot = [&]
    {
        paintAll();
        // Hot until told otherwise: the cursor is elsewhere, so no leave comes.
        ::SendMessageW(m_button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        paintAll();
        ::SendMessageW(m_button, WM_MOUSELEAVE, 0, 0);
    };
    paintHotAndNot(); // caches of the system fill on first use
    const DWORD nBefore = CountGdiObjects();
    for (int i = 0; i < 50; ++i)
        paintHotAndNot();
    EXPECT_EQ(CountGdiObjects(), nBefore);
}

TEST_F(ButtonTest, AMarkupCaptionKeepsItsMarkupAndShowsReadersItsText)
{
    m_button.UseMarkupCaption(TRUE);
    const std::wstring strMarkup = L"<StackPanel><Image Width='32' Height='32'/><TextBlock FontSize='18'>"
                                   L"\x7acb\x5373\x6821\x65f6</TextBlock></StackPanel>"; // 立即校时
    ::SetWindowTextW(m_button, strMarkup.c_str());
    EXPECT_EQ(m_button.GetWindowText(), L"\x7acb\x5373\x6821\x65f6");
    EXPECT_EQ(m_button.GetCaptionMarkup(), strMarkup);

    // The caption follows the DPI it is laid out for.
    m_button.SetDpi(144);
    EXPECT_EQ(m_button.GetCaptionMarkup(), strMarkup);
    m_button.UseMarkupCaption(FALSE);
    EXPECT_EQ(m_button.GetCaptionMarkup(), L"");
}
