#include "toolkit/ButtonTheme.h"

#include "toolkit/GdiHandles.h"

#include <vssym32.h>

namespace
{
// Share of the selection colour mixed into a hot classic face: enough to see
// where the mouse is, little enough to stay a button face.
const int kHotTintPercent = 15;

COLORREF Mix(COLORREF clrBase, COLORREF clrTint, int nPercent)
{
    auto channel = [&](int nBase, int nTint) { return static_cast<BYTE>(nBase + (nTint - nBase) * nPercent / 100); };
    return RGB(channel(GetRValue(clrBase), GetRValue(clrTint)), channel(GetGValue(clrBase), GetGValue(clrTint)),
               channel(GetBValue(clrBase), GetBValue(clrTint)));
}

RECT Deflated(RECT rc, int n)
{
    ::InflateRect(&rc, -n, -n);
    return rc;
}

COLORREF ClassicTextColor(const CXTPButtonTheme::State& state)
{
    return ::GetSysColor(state.bDisabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
}
} // namespace

void CXTPButtonTheme::RefreshMetrics(HWND hWnd)
{
    m_style.Open(hWnd, L"BUTTON");
}

CXTPButtonTheme::Face CXTPButtonTheme::DrawFace(HDC hDC, HWND hWnd, const RECT& rc, const State& state) const
{
    return IsVisualStyle() ? DrawStyledFace(hDC, hWnd, rc, state) : DrawClassicFace(hDC, rc, state);
}

CXTPButtonTheme::Face CXTPButtonTheme::DrawClassicFace(HDC hDC, const RECT& rc, const State& state) const
{
    // A default button, and the focused one that acts as default, wears a dark outer frame.
    RECT rcFace = rc;
    const bool bFramed = state.bDefault || state.bFocused;
    if (bFramed)
    {
        ::FrameRect(hDC, &rcFace, ::GetSysColorBrush(COLOR_WINDOWFRAME));
        ::InflateRect(&rcFace, -1, -1);
    }

    UINT uState = DFCS_BUTTONPUSH;
    if (state.bPressed)
        uState |= bFramed ? DFCS_FLAT : DFCS_PUSHED;
    RECT rcEdge = rcFace;
    ::DrawFrameControl(hDC, &rcEdge, DFC_BUTTON, uState);

    if (state.bHot && !state.bPressed && !state.bDisabled)
    {
        CXTPGdiObject<HBRUSH> brush(
            ::CreateSolidBrush(Mix(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_HIGHLIGHT), kHotTintPercent)));
        const RECT rcInside = Deflated(rcFace, 2);
        ::FillRect(hDC, &rcInside, brush.Get());
    }

    Face face;
    face.rcText = Deflated(rcFace, 2);
    if (state.bPressed)
        ::OffsetRect(&face.rcText, 1, 1);
    face.rcFocus = Deflated(rcFace, 3);
    face.clrText = ClassicTextColor(state);
    return face;
}

CXTPButtonTheme::Face CXTPButtonTheme::DrawStyledFace(HDC hDC, HWND hWnd, const RECT& rc, const State& state) const
{
    int nState = PBS_NORMAL;
    if (state.bDisabled)
        nState = PBS_DISABLED;
    else if (state.bPressed)
        nState = PBS_PRESSED;
    else if (state.bHot)
        nState = PBS_HOT;
    else if (state.bDefault || state.bFocused)
        nState = PBS_DEFAULTED;

    if (m_style.IsPartiallyTransparent(BP_PUSHBUTTON, nState) && !CXTPThemeHandle::DrawParentBackground(hWnd, hDC, rc))
        ::FillRect(hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    m_style.DrawBackground(hDC, BP_PUSHBUTTON, nState, rc);

    Face face;
    face.rcText = m_style.GetContentRect(hDC, BP_PUSHBUTTON, nState, rc);
    face.rcFocus = face.rcText;
    if (!m_style.GetColor(BP_PUSHBUTTON, nState, TMT_TEXTCOLOR, face.clrText))
        face.clrText = ClassicTextColor(state);
    return face;
}

void CXTPButtonTheme::DrawFocus(HDC hDC, const Face& face) const
{
    // The dotted frame inverts what lies under it; the colours fix its pattern.
    const COLORREF clrOldText = ::SetTextColor(hDC, RGB(0, 0, 0));
    const COLORREF clrOldBack = ::SetBkColor(hDC, RGB(255, 255, 255));
    ::DrawFocusRect(hDC, &face.rcFocus);
    ::SetTextColor(hDC, clrOldText);
    ::SetBkColor(hDC, clrOldBack);
}
