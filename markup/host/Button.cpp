#include "markup/host/Button.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/host/GdiPainter.h"

#include "markup/model/Brush.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include "toolkit/HlsColor.h"

#include <algorithm>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"Button", CXTPMarkupButton, CXTPMarkupButtonBase)

namespace
{
// The chrome around the content: two pixels of edge and two of space on
// every side, besides the padding.
constexpr int kChromeWidth = 4;

constexpr int kPartPushButton = 1; // BP_PUSHBUTTON
constexpr int kStateNormal = 1;    // PBS_NORMAL
constexpr int kStateHot = 2;       // PBS_HOT
constexpr int kStatePressed = 3;   // PBS_PRESSED

struct Shades
{
    COLORREF clrLight;
    COLORREF clrShadow;
    COLORREF clrDark;
};

// The edges of a face of the button's own colour, lit the way the system's
// edges light its face.
Shades ShadesOf(COLORREF clrFace)
{
    const DWORD dwHls = RgbToHls(clrFace);
    const DWORD dwLight = (dwHls >> 16) & 0xFF;
    const DWORD dwHueSaturation = dwHls & 0xFFFF;
    Shades shades;
    shades.clrLight = HlsToRgb((((dwLight + 240) / 2) << 16) | dwHueSaturation);
    shades.clrShadow = HlsToRgb((static_cast<DWORD>(MulDiv(static_cast<int>(dwLight), 2, 3)) << 16) | dwHueSaturation);
    shades.clrDark =
        RGB(GetRValue(shades.clrShadow) / 2, GetGValue(shades.clrShadow) / 2, GetBValue(shades.clrShadow) / 2);
    return shades;
}
} // namespace

CXTPMarkupButton::CXTPMarkupButton() {}

SIZE CXTPMarkupButton::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    OpenTheme();
    const CXTPMarkupThickness* pPadding = GetPadding();
    const int cxExtra = Add(Add(pPadding->GetLeft(), pPadding->GetRight()), 2 * kChromeWidth);
    const int cyExtra = Add(Add(pPadding->GetTop(), pPadding->GetBottom()), 2 * kChromeWidth);
    CXTPMarkupUIElement* pContent = GetContent();
    if (!pContent)
        return {cxExtra, cyExtra};
    pContent->Measure(pPainter, std::max(0, Subtract(cxConstraint, cxExtra)),
                      std::max(0, Subtract(cyConstraint, cyExtra)));
    const SIZE szContent = pContent->GetMeasuredSize();
    return {Add(szContent.cx, cxExtra), Add(szContent.cy, cyExtra)};
}

SIZE CXTPMarkupButton::ArrangeContent(int cx, int cy)
{
    if (CXTPMarkupUIElement* pContent = GetContent())
    {
        RECT rc = {0, 0, cx, cy};
        // A styled face shows the press itself; classic edges need the
        // content to move with them.
        if (IsPressed() && (!GetTheme().IsOpen() || GetBackground()))
            OffsetRect(&rc, 1, 1);
        rc = CXTPMarkupThickness::DeflateRect(rc, GetPadding());
        rc.left = Add(rc.left, kChromeWidth);
        rc.top = Add(rc.top, kChromeWidth);
        rc.right = std::max(Subtract(rc.right, kChromeWidth), static_cast<int>(rc.left));
        rc.bottom = std::max(Subtract(rc.bottom, kChromeWidth), static_cast<int>(rc.top));
        pContent->Arrange(rc);
    }
    return {cx, cy};
}

void CXTPMarkupButton::DrawContent(CXTPMarkupPainter* pMarkupPainter)
{
    CXTPMarkupGdiPainter* pPainter = CXTPMarkupGdiPainter::Of(pMarkupPainter);
    const int cx = m_szArranged.cx;
    const int cy = m_szArranged.cy;
    if (cx <= 0 || cy <= 0)
        return;
    const RECT rc = {0, 0, cx, cy};
    const BOOL bPressed = IsPressed();

    Shades shades;
    if (CXTPMarkupBrush* pBackground = GetBackground())
    {
        pPainter->FillRectangle(pBackground, rc);
        const CXTPMarkupSolidColorBrush* pSolid = MarkupCast<CXTPMarkupSolidColorBrush>(pBackground);
        shades = ShadesOf(pSolid ? pSolid->GetColor() : RGB(0, 0, 0));
    }
    else
    {
        const int nState = bPressed ? kStatePressed : IsMouseOver() ? kStateHot : kStateNormal;
        if (GetTheme().IsOpen() && pPainter->DrawThemeBackground(GetTheme(), kPartPushButton, nState, rc))
            return;
        shades = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_3DDKSHADOW)};
        pPainter->FillSolidRect(0, 0, cx, cy, GetSysColor(COLOR_BTNFACE));
    }

    if (bPressed)
    {
        pPainter->DrawRectangle(rc, GetSysColor(COLOR_WINDOWFRAME));
        pPainter->DrawRectangle(RECT{1, 1, cx - 1, cy - 1}, shades.clrShadow);
        return;
    }
    pPainter->FillSolidRect(0, 0, cx, 1, shades.clrLight);
    pPainter->FillSolidRect(0, 0, 1, cy, shades.clrLight);
    pPainter->FillSolidRect(1, cy - 2, cx - 1, cy - 1, shades.clrShadow);
    pPainter->FillSolidRect(cx - 2, 1, cx - 1, cy - 1, shades.clrShadow);
    pPainter->FillSolidRect(0, cy - 1, cx - 1, cy, shades.clrDark);
    pPainter->FillSolidRect(cx - 1, 0, cx, cy, shades.clrDark);
}

void CXTPMarkupButton::DrawFocusCue(CXTPMarkupPainter* pMarkupPainter)
{
    CXTPMarkupGdiPainter* pPainter = CXTPMarkupGdiPainter::Of(pMarkupPainter);
    RECT rc = {0, 0, m_szArranged.cx, m_szArranged.cy};
    InflateRect(&rc, -3, -3);
    if (rc.right > rc.left && rc.bottom > rc.top)
        pPainter->DrawFocusRect(rc);
}
