#include "app/DialogDpiLayout.h"

#include "ButtonTestIds.h"

#include <gtest/gtest.h>

namespace
{
INT_PTR CALLBACK PlainDialogProc(HWND, UINT nMessage, WPARAM, LPARAM)
{
    return nMessage == WM_INITDIALOG;
}

// The button test's dialog (a font and two buttons) in a frame of its own.
class DialogDpiLayoutTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hFrame =
            ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 400, 200, NULL, NULL, NULL, NULL);
        m_hDialog = ::CreateDialogParamW(::GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_BUTTON_TEST), m_hFrame,
                                         &PlainDialogProc, 0);
        ASSERT_NE(m_hDialog, HWND(NULL));
    }
    void TearDown() override { ::DestroyWindow(m_hFrame); }

    RECT PlaceNow(int nId) const
    {
        RECT rc = {};
        ::GetWindowRect(::GetDlgItem(m_hDialog, nId), &rc);
        ::MapWindowPoints(NULL, m_hDialog, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    LONG FontHeight(int nId) const
    {
        LOGFONTW lf = {};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(m_hDialog, nId, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf.lfHeight;
    }

    HWND m_hFrame = NULL;
    HWND m_hDialog = NULL;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
} // namespace

TEST_F(DialogDpiLayoutTest, ControlsAndTheirFontScaleFromTheCapturedLayoutAndComeBackExactly)
{
    const RECT rcCaptured = PlaceNow(IDC_FACE);
    const LONG nCapturedFont = FontHeight(IDC_FACE);
    ASSERT_NE(nCapturedFont, 0);
    CDialogDpiLayout layout;
    layout.Capture(m_hDialog, 96);

    for (int nDpi : {120, 144, 192, 96})
    {
        layout.Apply(nDpi);
        const RECT rcExpected = {MulDiv(rcCaptured.left, nDpi, 96), MulDiv(rcCaptured.top, nDpi, 96),
                                 MulDiv(rcCaptured.right, nDpi, 96), MulDiv(rcCaptured.bottom, nDpi, 96)};
        EXPECT_TRUE(SameRect(PlaceNow(IDC_FACE), rcExpected)) << nDpi;
        EXPECT_TRUE(SameRect(layout.PlaceOf(::GetDlgItem(m_hDialog, IDC_FACE), nDpi), rcExpected)) << nDpi;
        EXPECT_EQ(FontHeight(IDC_FACE), MulDiv(nCapturedFont, nDpi, 96)) << nDpi;
        EXPECT_EQ(FontHeight(IDC_OTHER), FontHeight(IDC_FACE)) << nDpi;
    }
    // Back at the captured DPI, not a pixel off.
    EXPECT_TRUE(SameRect(PlaceNow(IDC_FACE), rcCaptured));
    EXPECT_TRUE(SameRect(layout.PlaceOf(m_hFrame, 144), RECT{})) << "not a control of the dialog";
}
