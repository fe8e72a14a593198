#include "markup/host/ScrollBar.h"

#include "markup/elements/EventArgs.h"
#include "markup/host/GdiPainter.h"
#include "markup/host/ScrollViewer.h"

#include "markup/model/Type.h"

#include <vssym32.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupScrollBar, CXTPMarkupControl)

namespace
{
// The thumb of the visual style shows its gripping ridges only above this
// length.
constexpr int kMinThumbForGripper = 13;

// Arrow states of the style come in groups of four (normal, hot, pressed,
// disabled), one group per direction.
constexpr int kArrowUp = ABS_UPNORMAL;
constexpr int kArrowDown = ABS_DOWNNORMAL;
constexpr int kArrowLeft = ABS_LEFTNORMAL;
constexpr int kArrowRight = ABS_RIGHTNORMAL;

enum PartLook
{
    LookNormal = 0,
    LookHot = 1,
    LookPressed = 2,
    LookDisabled = 3,
};
} // namespace

struct CXTPMarkupScrollBar::Tracking
{
    int nCommand = SB_ENDSCROLL; // the repeated command, or SB_THUMBTRACK while dragging
    Part nPart = PartNone;
    BOOL bInArea = FALSE; // the pointer is in the repeating area
    HWND hWnd = nullptr;  // where the repeat timer runs
    int nGrabOffset = 0;  // thumb start minus the pointer
    int nStartThumb = 0;  // the thumb's start and the position when the drag began
    int nStartPos = 0;
    int nThumbStart = 0; // where the dragged thumb is drawn
    int nThumbValue = 0; // the last value sent
};

CXTPMarkupScrollBar::CXTPMarkupScrollBar() : m_nOrientation(SB_VERT), m_info{0, 0, 0, 0}, m_nHotPart(PartNone) {}

CXTPMarkupScrollBar::~CXTPMarkupScrollBar()
{
    // The host forgot this bar at its final release; the timer is its own.
    if (m_pTracking && m_pTracking->hWnd)
        KillTimer(m_pTracking->hWnd, kRepeatTimerId);
}

void CXTPMarkupScrollBar::SetScrollInfo(int nMin, int nMax, int nPage, int nPos)
{
    const BOOL bChanged = nMax != m_info.nMax || nPage != m_info.nPage || nPos != m_info.nPos;
    m_info = ScrollInfo{nMin, nMax, nPage, nPos};
    if (bChanged)
        InvalidateArrange();
}

CXTPMarkupScrollBar::Geometry CXTPMarkupScrollBar::GetGeometry() const
{
    Geometry g = {};
    const SIZE sz = GetArrangedSize();
    g.nStart = 0;
    g.nEnd = IsVertical() ? sz.cy : sz.cx;
    const int nMetric = GetSystemMetrics(IsVertical() ? SM_CYVSCROLL : SM_CXHSCROLL);
    g.nArrow = std::min(nMetric, (g.nEnd - g.nStart) / 2);
    g.nTrackStart = g.nStart + g.nArrow;
    g.nTrackEnd = g.nEnd - g.nArrow;

    const int nRange = m_info.nMax + 1 - m_info.nMin;
    g.nThumbLength = nMetric;
    if (m_info.nPage != 0 && nRange != 0)
        g.nThumbLength = std::max(MulDiv(g.nEnd - g.nStart - 2 * g.nArrow, m_info.nPage, nRange), nMetric / 2);
    g.nFreeTrack = g.nEnd - (g.nStart + g.nArrow + g.nThumbLength + g.nArrow);

    const int nPage = m_info.nPage != 0 ? m_info.nPage : 1;
    if (m_pTracking && m_pTracking->nPart == PartThumb)
        g.nThumbStart = m_pTracking->nThumbStart;
    else if (nRange == nPage)
        g.nThumbStart = g.nTrackStart;
    else
        g.nThumbStart = g.nTrackStart + MulDiv(m_info.nPos - m_info.nMin, g.nFreeTrack, nRange - nPage);
    g.nThumbEnd = g.nThumbStart + g.nThumbLength;
    return g;
}

RECT CXTPMarkupScrollBar::AxisRect(int nFrom, int nTo) const
{
    const SIZE sz = GetArrangedSize();
    return IsVertical() ? RECT{0, nFrom, sz.cx, nTo} : RECT{nFrom, 0, nTo, sz.cy};
}

RECT CXTPMarkupScrollBar::GetPartRect(Part nPart) const
{
    const Geometry g = GetGeometry();
    switch (nPart)
    {
    case PartFirstArrow: return AxisRect(g.nStart, g.nTrackStart);
    case PartLastArrow: return AxisRect(g.nTrackEnd, g.nEnd);
    case PartPageUp: return AxisRect(g.nTrackStart, g.nThumbStart);
    case PartPageDown: return AxisRect(g.nThumbEnd, g.nTrackEnd);
    case PartThumb: return AxisRect(g.nThumbStart, g.nThumbEnd);
    default: return RECT{0, 0, 0, 0};
    }
}

CXTPMarkupScrollBar::Part CXTPMarkupScrollBar::HitTestPart(POINT pt) const
{
    const SIZE sz = GetArrangedSize();
    if (!IsActive() || pt.x < 0 || pt.y < 0 || pt.x >= sz.cx || pt.y >= sz.cy)
        return PartNone;
    const Geometry g = GetGeometry();
    const int a = AxisOf(pt);
    if (a < g.nTrackStart)
        return PartFirstArrow;
    if (a >= g.nTrackEnd)
        return PartLastArrow;
    if (a < g.nThumbStart)
        return PartPageUp;
    if (a < g.nThumbEnd)
        return PartThumb;
    return PartPageDown;
}

CXTPMarkupScrollBar::Part CXTPMarkupScrollBar::GetPressedPart() const
{
    if (!m_pTracking)
        return PartNone;
    return m_pTracking->nPart == PartThumb || m_pTracking->bInArea ? m_pTracking->nPart : PartNone;
}

POINT CXTPMarkupScrollBar::FromClient(int x, int y) const
{
    for (const CXTPMarkupVisual* pVisual = this; pVisual; pVisual = pVisual->GetParentVisual())
    {
        x -= pVisual->GetOffset().x;
        y -= pVisual->GetOffset().y;
    }
    return POINT{x, y};
}

POINT CXTPMarkupScrollBar::CursorPoint() const
{
    POINT pt = {-1, -1};
    CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this);
    if (!pHost || !pHost->GetHwnd() || !GetCursorPos(&pt))
        return POINT{INT_MIN / 2, INT_MIN / 2};
    ScreenToClient(pHost->GetHwnd(), &pt);
    return FromClient(pt.x, pt.y);
}

void CXTPMarkupScrollBar::SendCommand(int nCommand, int nValue)
{
    if (CXTPMarkupScrollViewer* pViewer = MarkupCast<CXTPMarkupScrollViewer>(GetLogicalParent()))
        pViewer->Scroll(nCommand, m_nOrientation, nValue);
}

void CXTPMarkupScrollBar::SetHotPart(Part nPart)
{
    if (nPart == m_nHotPart)
        return;
    m_nHotPart = nPart;
    InvalidateVisual();
}

SIZE CXTPMarkupScrollBar::MeasureContent(CXTPMarkupPainter* /*pPainter*/, int /*cxConstraint*/, int /*cyConstraint*/)
{
    // Open closes what was open first: a bar measured again and again holds
    // one handle.
    CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this);
    m_theme.Open(pHost ? pHost->GetHwnd() : nullptr, L"SCROLLBAR");
    return IsVertical() ? SIZE{GetSystemMetrics(SM_CXVSCROLL), 0} : SIZE{0, GetSystemMetrics(SM_CYHSCROLL)};
}

SIZE CXTPMarkupScrollBar::ArrangeContent(int cx, int cy)
{
    return SIZE{cx, cy};
}

// --- Mouse -------------------------------------------------------------------

void CXTPMarkupScrollBar::OnMouseMove(CXTPMarkupEventArgs* pArgs)
{
    if (!m_pTracking)
        SetHotPart(HitTestPart(FromClient(pArgs->m_x, pArgs->m_y)));
    pArgs->m_bHandled = TRUE;
}

void CXTPMarkupScrollBar::OnMouseLeave(CXTPMarkupEventArgs* pArgs)
{
    SetHotPart(PartNone);
    CXTPMarkupControl::OnMouseLeave(pArgs);
}

void CXTPMarkupScrollBar::OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs)
{
    pArgs->m_bHandled = TRUE;
    if (!IsActive() || m_pTracking)
        return;
    const POINT pt = FromClient(pArgs->m_x, pArgs->m_y);
    const Part nPart = HitTestPart(pt);
    if (nPart == PartNone)
        return;

    CXTPMarkupPtr<CXTPMarkupScrollBar> self = CXTPMarkupPtr<CXTPMarkupScrollBar>::AddRefOf(this);
    CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this);
    const Geometry g = GetGeometry();
    const BOOL bShift = GetKeyState(VK_SHIFT) < 0;
    std::unique_ptr<Tracking> pTracking(new Tracking());
    pTracking->hWnd = pHost ? pHost->GetHwnd() : nullptr;

    const BOOL bDrag = nPart == PartThumb || (bShift && (nPart == PartPageUp || nPart == PartPageDown));
    if (bDrag)
    {
        // A thumb filling the track has nowhere to go.
        if (g.nThumbLength >= g.nTrackEnd - g.nTrackStart)
            return;
        pTracking->nCommand = SB_THUMBTRACK;
        pTracking->nPart = PartThumb;
        pTracking->nStartThumb = g.nThumbStart;
        pTracking->nStartPos = m_info.nPos;
        pTracking->nThumbStart = g.nThumbStart;
        pTracking->nThumbValue = m_info.nPos;
        // Shift centres the thumb on the pointer.
        pTracking->nGrabOffset = bShift ? -(g.nThumbLength / 2) : g.nThumbStart - AxisOf(pt);
    }
    else
    {
        static const int kCommands[] = {SB_ENDSCROLL, SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN};
        pTracking->nCommand = kCommands[nPart];
        pTracking->nPart = nPart;
    }
    m_pTracking = std::move(pTracking);
    m_nHotPart = PartNone;
    if (bDrag)
        SendCommand(SB_THUMBTRACK, m_info.nPos);

    if (!m_pTracking->hWnd)
    {
        // Nothing can tell a window-less bar that the button went up: one
        // step and done.
        FirstStep(pt);
        EndTracking(TRUE);
        return;
    }
    pHost->BeginTracking(this, this);
    FirstStep(pt);
    InvalidateVisual();
}

BOOL CXTPMarkupScrollBar::OnTrackingMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pTracking)
        return FALSE;
    const BOOL bDrag = m_pTracking->nPart == PartThumb;
    const POINT pt = FromClient(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message)
    {
    case WM_TIMER:
        if (wParam != kRepeatTimerId)
            return FALSE;
        if (!bDrag)
            TrackRepeatStep(CursorPoint(), TRUE);
        return TRUE;
    case WM_MOUSEMOVE:
        if (!bDrag)
            TrackRepeatStep(pt, FALSE);
        else if (!(wParam & MK_LBUTTON))
            EndTracking(TRUE); // the button went up where nobody saw it
        else
            TrackThumbStep(pt);
        return TRUE;
    case WM_LBUTTONUP:
        if (bDrag)
            TrackThumbStep(pt);
        EndTracking(TRUE);
        return TRUE;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: EndTracking(FALSE); return FALSE;
    default: return TRUE; // other buttons wait for the operation to end
    }
}

void CXTPMarkupScrollBar::FirstStep(POINT pt)
{
    if (m_pTracking->nPart == PartThumb)
        TrackThumbStep(pt);
    else
        TrackRepeatStep(pt, FALSE);
}

void CXTPMarkupScrollBar::TrackRepeatStep(POINT pt, BOOL bTimer)
{
    // Page areas end at the thumb as it is now, so that a held page click
    // stops once the thumb reaches the pointer.
    const RECT rcArea = GetPartRect(m_pTracking->nPart);
    const BOOL bInArea = PtInRect(&rcArea, pt);
    const BOOL bEntered = bInArea && !m_pTracking->bInArea;
    if (bInArea != m_pTracking->bInArea)
    {
        m_pTracking->bInArea = bInArea;
        InvalidateVisual();
    }
    if (!bInArea || (!bTimer && !bEntered))
        return;

    const HWND hWnd = m_pTracking->hWnd;
    SendCommand(m_pTracking->nCommand, 0);
    // The first repeat, also after coming back into the area, waits a
    // little longer than a double click would.
    const UINT nDelay = bTimer && !bEntered ? GetDoubleClickTime() / 10 : GetDoubleClickTime() * 4 / 5;
    if (hWnd && m_pTracking)
        SetTimer(hWnd, kRepeatTimerId, nDelay, nullptr);
}

int CXTPMarkupScrollBar::ThumbValue(int nThumbStart, const Geometry& g) const
{
    if (nThumbStart < g.nTrackStart || g.nFreeTrack <= 0)
        return m_info.nMin;
    if (nThumbStart - g.nTrackStart <= g.nFreeTrack)
    {
        const int nSpan = m_info.nMax - m_info.nMin - (m_info.nPage > 0 ? m_info.nPage - 1 : 0);
        return m_info.nMin + MulDiv(nSpan, nThumbStart - g.nTrackStart, g.nFreeTrack);
    }
    return m_info.nPage > 0 ? m_info.nMax - m_info.nPage + 1 : m_info.nMax;
}

void CXTPMarkupScrollBar::TrackThumbStep(POINT pt)
{
    const Geometry g = GetGeometry();
    const SIZE sz = GetArrangedSize();
    RECT rcTrack = {0, 0, sz.cx, sz.cy};
    if (IsVertical())
        InflateRect(&rcTrack, kThumbTrackWidths * sz.cx, 2 * GetSystemMetrics(SM_CYVTHUMB));
    else
        InflateRect(&rcTrack, 2 * GetSystemMetrics(SM_CXHTHUMB), kThumbTrackWidths * sz.cy);

    Tracking& t = *m_pTracking;
    int nValue = t.nStartPos;
    if (PtInRect(&rcTrack, pt))
    {
        t.nThumbStart =
            std::clamp(AxisOf(pt) + t.nGrabOffset, g.nTrackStart, g.nTrackStart + std::max(0, g.nFreeTrack));
        nValue = ThumbValue(t.nThumbStart, g);
    }
    else
    {
        // Too far away: the thumb, and the view, go back to where they were.
        t.nThumbStart = t.nStartThumb;
    }
    if (nValue != t.nThumbValue)
    {
        t.nThumbValue = nValue;
        SendCommand(SB_THUMBTRACK, nValue);
    }
    InvalidateVisual();
}

void CXTPMarkupScrollBar::EndTracking(BOOL bCompleted)
{
    if (!m_pTracking)
        return;
    CXTPMarkupPtr<CXTPMarkupScrollBar> self = CXTPMarkupPtr<CXTPMarkupScrollBar>::AddRefOf(this);
    std::unique_ptr<Tracking> pTracking = std::move(m_pTracking);
    if (pTracking->hWnd)
        KillTimer(pTracking->hWnd, kRepeatTimerId);
    if (CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this))
        pHost->EndTracking(this);
    if (bCompleted)
    {
        if (pTracking->nPart == PartThumb)
        {
            SendCommand(SB_THUMBPOSITION, pTracking->nThumbValue);
            InvalidateVisual();
        }
        SendCommand(SB_ENDSCROLL, 0);
    }
    m_nHotPart = HitTestPart(CursorPoint());
    InvalidateVisual();
}

void CXTPMarkupScrollBar::CancelTracking()
{
    EndTracking(FALSE);
}

// --- Drawing -----------------------------------------------------------------

BOOL CXTPMarkupScrollBar::HasVisibleThumb(const Geometry& g) const
{
    return IsActive() && g.nThumbLength < g.nTrackEnd - g.nTrackStart;
}

void CXTPMarkupScrollBar::DrawContent(CXTPMarkupPainter* pMarkupPainter)
{
    CXTPMarkupGdiPainter* pPainter = CXTPMarkupGdiPainter::Of(pMarkupPainter);
    const Geometry g = GetGeometry();
    if (m_theme.IsOpen())
        DrawThemed(pPainter, g);
    else
        DrawClassic(pPainter, g);
}

void CXTPMarkupScrollBar::DrawThemed(CXTPMarkupGdiPainter* pPainter, const Geometry& g)
{
    const BOOL bActive = IsActive();
    const Part nPressed = GetPressedPart();
    auto lookOf = [&](Part nPart)
    {
        if (!bActive)
            return LookDisabled;
        // The whole track of a bar without a thumb is no part of its own.
        if (nPart == PartNone)
            return LookNormal;
        if (nPart == nPressed)
            return LookPressed;
        if (!m_pTracking && nPart == m_nHotPart)
            return LookHot;
        return LookNormal;
    };
    auto draw = [&](int nPart, int nState, const RECT& rc)
    {
        if (!IsRectEmpty(&rc))
            pPainter->DrawThemeBackground(m_theme, nPart, nState, rc);
    };

    const BOOL bVertical = IsVertical();
    draw(SBP_ARROWBTN, (bVertical ? kArrowUp : kArrowLeft) + lookOf(PartFirstArrow), AxisRect(g.nStart, g.nTrackStart));
    draw(SBP_ARROWBTN, (bVertical ? kArrowDown : kArrowRight) + lookOf(PartLastArrow), AxisRect(g.nTrackEnd, g.nEnd));

    // The style names its track parts the other way round from the areas:
    // the page-up (or page-left) area is its "lower" track, parts 6 and 4,
    // and the page-down (or page-right) area its "upper" one, parts 7 and 5.
    const int nPageUpTrack = bVertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ;
    const int nPageDownTrack = bVertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ;
    if (!HasVisibleThumb(g))
    {
        draw(nPageUpTrack, SCRBS_NORMAL + lookOf(PartNone), AxisRect(g.nTrackStart, g.nTrackEnd));
        return;
    }
    draw(nPageUpTrack, SCRBS_NORMAL + lookOf(PartPageUp), AxisRect(g.nTrackStart, g.nThumbStart));
    draw(nPageDownTrack, SCRBS_NORMAL + lookOf(PartPageDown), AxisRect(g.nThumbEnd, g.nTrackEnd));
    const RECT rcThumb = AxisRect(g.nThumbStart, g.nThumbEnd);
    const int nThumbState = SCRBS_NORMAL + lookOf(PartThumb);
    draw(bVertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, nThumbState, rcThumb);
    if (g.nThumbLength > kMinThumbForGripper)
        draw(bVertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ, nThumbState, rcThumb);
}

void CXTPMarkupScrollBar::DrawClassic(CXTPMarkupGdiPainter* pPainter, const Geometry& g)
{
    const BOOL bActive = IsActive();
    const Part nPressed = GetPressedPart();
    const BOOL bVertical = IsVertical();
    const UINT nInactive = bActive ? 0 : DFCS_INACTIVE;
    pPainter->DrawFrameControl(AxisRect(g.nStart, g.nTrackStart), DFC_SCROLL,
                               (bVertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | nInactive
                                   | (nPressed == PartFirstArrow ? DFCS_PUSHED : 0));
    pPainter->DrawFrameControl(AxisRect(g.nTrackEnd, g.nEnd), DFC_SCROLL,
                               (bVertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | nInactive
                                   | (nPressed == PartLastArrow ? DFCS_PUSHED : 0));

    // The track is what the desktop window answers for scroll bars: usually
    // a dither of these two colours. Its window procedure is run here rather
    // than sent the message, since it may belong to another process, where
    // this DC means nothing.
    HDC hDC = pPainter->GetHdc();
    const COLORREF clrOldBk = SetBkColor(hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
    const COLORREF clrOldText = SetTextColor(hDC, GetSysColor(COLOR_BTNFACE));
    HWND hDesktop = GetDesktopWindow();
    HBRUSH hTrack = reinterpret_cast<HBRUSH>(DefWindowProcA(
        hDesktop, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hDesktop)));
    if (!hTrack || GetObjectType(hTrack) != OBJ_BRUSH)
        hTrack = GetSysColorBrush(COLOR_SCROLLBAR);

    const BOOL bThumb = HasVisibleThumb(g);
    const RECT rcPageUp = AxisRect(g.nTrackStart, bThumb ? g.nThumbStart : g.nTrackEnd);
    const RECT rcPageDown = bThumb ? AxisRect(g.nThumbEnd, g.nTrackEnd) : RECT{0, 0, 0, 0};
    if (!IsRectEmpty(&rcPageUp))
        FillRect(hDC, &rcPageUp, hTrack);
    if (!IsRectEmpty(&rcPageDown))
        FillRect(hDC, &rcPageDown, hTrack);
    SetBkColor(hDC, clrOldBk);
    SetTextColor(hDC, clrOldText);
    if (nPressed == PartPageUp && !IsRectEmpty(&rcPageUp))
        pPainter->InvertRect(rcPageUp);
    if (nPressed == PartPageDown && !IsRectEmpty(&rcPageDown))
        pPainter->InvertRect(rcPageDown);

    if (!bThumb)
        return;
    RECT rcThumb = AxisRect(g.nThumbStart, g.nThumbEnd);
    pPainter->FillSolidRect(rcThumb.left, rcThumb.top, rcThumb.right, rcThumb.bottom, GetSysColor(COLOR_BTNFACE));
    pPainter->DrawEdge(rcThumb, EDGE_RAISED, BF_RECT | BF_ADJUST);
}
