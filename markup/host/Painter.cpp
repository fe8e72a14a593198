#include "markup/host/Painter.h"

#include "markup/host/CachedFont.h"
#include "markup/host/LinearGradient.h"
#include "markup/model/Brush.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ImageStoreImage.h"
#include "toolkit/ThemeHandle.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace
{
// A 16-bit vertex channel from a colour channel (0 to 255, or no number for
// end points too far apart for a double).
COLOR16 VertexChannel(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 255)
        return 0xFF00;
    return static_cast<COLOR16>(v * 256 + 0.5);
}

TRIVERTEX MakeVertex(LONG x, LONG y, const double rgb[3])
{
    return TRIVERTEX{x, y, VertexChannel(rgb[0]), VertexChannel(rgb[1]), VertexChannel(rgb[2]), 0};
}

// An axis-aligned gradient as GradientFill rectangles, one per run of pixels
// along the gradient that lie in the same segment (a solid end band or the
// blend of two stops). GradientFill colours a rectangle from its first pixel's
// colour towards the colour of the pixel after it; extending a blend that far
// may leave the range a vertex can hold, so each run's last pixel is a
// rectangle of its own and the run before it ends on that pixel's colour.
// Every pixel then gets the colour the bitmap fill computes, up to rounding.
// rc is the filled rectangle on the DC, rcArea the part to paint, relative
// to rc.
BOOL FillBands(HDC hDC, CXTPMsimg32Functions::PFNGRADIENTFILL pfnGradientFill, const CXTPMarkupLinearGradient& gradient,
               const RECT& rc, const RECT& rcArea)
{
    const BOOL bVertical = gradient.IsVertical();
    const int nFrom = bVertical ? rcArea.top : rcArea.left;
    const int nTo = bVertical ? rcArea.bottom : rcArea.right;
    auto parameterAt = [&](int n) { return bVertical ? gradient.ParameterAt(0, n) : gradient.ParameterAt(n, 0); };

    std::vector<TRIVERTEX> vertices;
    std::vector<GRADIENT_RECT> rects;
    // Pixels nStart to nEnd - 1 along the gradient, from one colour to the other.
    auto addRect = [&](int nStart, int nEnd, const double rgbStart[3], const double rgbEnd[3])
    {
        const ULONG nFirst = static_cast<ULONG>(vertices.size());
        if (bVertical)
        {
            vertices.push_back(MakeVertex(rc.left + rcArea.left, rc.top + nStart, rgbStart));
            vertices.push_back(MakeVertex(rc.left + rcArea.right, rc.top + nEnd, rgbEnd));
        }
        else
        {
            vertices.push_back(MakeVertex(rc.left + nStart, rc.top + rcArea.top, rgbStart));
            vertices.push_back(MakeVertex(rc.left + nEnd, rc.top + rcArea.bottom, rgbEnd));
        }
        rects.push_back(GRADIENT_RECT{nFirst, nFirst + 1});
    };

    int nStart = nFrom;
    int nSegment = gradient.SegmentOf(parameterAt(nFrom));
    for (int n = nFrom + 1; n <= nTo; ++n)
    {
        const int nNextSegment = n < nTo ? gradient.SegmentOf(parameterAt(n)) : -1;
        if (nNextSegment == nSegment)
            continue;
        double rgbStart[3], rgbLast[3];
        gradient.BlendAt(nSegment, parameterAt(nStart), rgbStart);
        gradient.BlendAt(nSegment, parameterAt(n - 1), rgbLast);
        if (n - 1 > nStart)
            addRect(nStart, n - 1, rgbStart, rgbLast);
        addRect(n - 1, n, rgbLast, rgbLast);
        nStart = n;
        nSegment = nNextSegment;
    }
    return pfnGradientFill(hDC, vertices.data(), static_cast<ULONG>(vertices.size()), rects.data(),
                           static_cast<ULONG>(rects.size()), bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

// Any gradient, computed pixel by pixel (once per row or column where the
// direction allows) into a bitmap of the area and copied to the DC.
void FillFromBitmap(HDC hDC, const CXTPMarkupLinearGradient& gradient, const RECT& rc, const RECT& rcArea)
{
    const int cx = rcArea.right - rcArea.left;
    const int cy = rcArea.bottom - rcArea.top;
    void* pvBits = nullptr;
    CXTPBitmapHandle bitmap(XTPCreateDIB32(cx, cy, &pvBits));
    if (!bitmap)
        return;
    RGBQUAD* pBits = static_cast<RGBQUAD*>(pvBits);

    if (gradient.IsVertical())
    {
        for (int y = 0; y < cy; ++y)
        {
            const RGBQUAD clr = gradient.ColorAt(gradient.ParameterAt(0, rcArea.top + y));
            std::fill_n(pBits + y * cx, cx, clr);
        }
    }
    else if (gradient.IsHorizontal())
    {
        for (int x = 0; x < cx; ++x)
            pBits[x] = gradient.ColorAt(gradient.ParameterAt(rcArea.left + x, 0));
        for (int y = 1; y < cy; ++y)
            std::copy_n(pBits, cx, pBits + y * cx);
    }
    else
    {
        for (int y = 0; y < cy; ++y)
        {
            RGBQUAD* pRow = pBits + y * cx;
            for (int x = 0; x < cx; ++x)
                pRow[x] = gradient.ColorAt(gradient.ParameterAt(rcArea.left + x, rcArea.top + y));
        }
    }

    CXTPMemoryDC dcBitmap(hDC);
    if (!dcBitmap.SelectBitmap(bitmap.Get()))
        return;
    ::BitBlt(hDC, rc.left + rcArea.left, rc.top + rcArea.top, cx, cy, dcBitmap.Get(), 0, 0, SRCCOPY);
}
} // namespace

CXTPMarkupPainter::CXTPMarkupPainter() : m_hDC(::CreateCompatibleDC(nullptr)), m_bOwnsDC(TRUE)
{
    Initialize();
}

CXTPMarkupPainter::CXTPMarkupPainter(HDC hDC) : m_hDC(hDC), m_bOwnsDC(FALSE)
{
    Initialize();
}

void CXTPMarkupPainter::Initialize()
{
    m_hAttribDC = m_hDC;
    m_pFont = nullptr;
    m_hSavedFont = nullptr;
    m_szWindowExt = SIZE{1, 1};
    m_szViewportExt = SIZE{1, 1};
    m_ptViewportOrg = POINT{0, 0};
    m_pfnGradientFill = CXTPMsimg32Functions::Get().m_pfnGradientFill;
    ::SetRectEmpty(&m_rcClipBox);
    if (!m_hDC)
        return;
    ::GetWindowExtEx(m_hDC, &m_szWindowExt);
    ::GetViewportExtEx(m_hDC, &m_szViewportExt);
    ::GetViewportOrgEx(m_hDC, &m_ptViewportOrg);
    ReadClipBox();
    ::SetBkMode(m_hDC, TRANSPARENT);
}

CXTPMarkupPainter::~CXTPMarkupPainter()
{
    SetFont(nullptr);
    if (m_bOwnsDC && m_hDC)
        ::DeleteDC(m_hDC);
}

BOOL CXTPMarkupPainter::IsTransient() const
{
    return FALSE;
}

void CXTPMarkupPainter::ReadClipBox()
{
    if (::GetClipBox(m_hDC, &m_rcClipBox) == ERROR)
        ::SetRectEmpty(&m_rcClipBox);
}

SIZE CXTPMarkupPainter::LogicalToDevice(SIZE sz) const
{
    // An extent is never 0 on a working DC; a DC that could not be read keeps
    // the identity.
    const int nWindowX = std::abs(m_szWindowExt.cx), nWindowY = std::abs(m_szWindowExt.cy);
    return SIZE{nWindowX ? ::MulDiv(sz.cx, std::abs(m_szViewportExt.cx), nWindowX) : sz.cx,
                nWindowY ? ::MulDiv(sz.cy, std::abs(m_szViewportExt.cy), nWindowY) : sz.cy};
}

POINT CXTPMarkupPainter::OffsetViewportOrigin(POINT ptOffset)
{
    const POINT ptPrevious = m_ptViewportOrg;
    const SIZE szDevice = LogicalToDevice(SIZE{ptOffset.x, ptOffset.y});
    m_ptViewportOrg.x += szDevice.cx;
    m_ptViewportOrg.y += szDevice.cy;
    ::SetViewportOrgEx(m_hDC, m_ptViewportOrg.x, m_ptViewportOrg.y, nullptr);
    ReadClipBox();
    return ptPrevious;
}

void CXTPMarkupPainter::SetViewportOrigin(POINT ptOrigin)
{
    m_ptViewportOrg = ptOrigin;
    ::SetViewportOrgEx(m_hDC, ptOrigin.x, ptOrigin.y, nullptr);
    ReadClipBox();
}

void CXTPMarkupPainter::ApplyViewportOrigin(POINT ptOrigin)
{
    ::SetViewportOrgEx(m_hDC, ptOrigin.x, ptOrigin.y, nullptr);
}

HRGN CXTPMarkupPainter::SaveClipRegion()
{
    HRGN hrgn = ::CreateRectRgn(0, 0, 0, 0);
    if (!hrgn)
        return nullptr;
    if (::GetClipRgn(m_hDC, hrgn) == 1)
        return hrgn;
    ::DeleteObject(hrgn);
    return NoClipRegion();
}

void CXTPMarkupPainter::IntersectClipRect(const RECT& rc)
{
    ::IntersectClipRect(m_hDC, rc.left, rc.top, rc.right, rc.bottom);
    ReadClipBox();
}

void CXTPMarkupPainter::RestoreClipRegion(HRGN hrgnSaved)
{
    if (!hrgnSaved)
        return;
    if (hrgnSaved == NoClipRegion())
    {
        ::ExtSelectClipRgn(m_hDC, nullptr, RGN_COPY);
    }
    else
    {
        ::ExtSelectClipRgn(m_hDC, hrgnSaved, RGN_COPY);
        ::DeleteObject(hrgnSaved);
    }
    ReadClipBox();
}

void CXTPMarkupPainter::FillRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom)
{
    const RECT rc = {nLeft, nTop, nRight, nBottom};
    if (const CXTPMarkupSolidColorBrush* pSolid = MarkupCast<CXTPMarkupSolidColorBrush>(pBrush))
    {
        if (pSolid->HasColor())
            PaintSolid(pSolid->GetColor(), rc);
    }
    else if (const CXTPMarkupLinearGradientBrush* pLinear = MarkupCast<CXTPMarkupLinearGradientBrush>(pBrush))
    {
        PaintLinearGradient(pLinear, rc);
    }
}

void CXTPMarkupPainter::FillSolidRect(int nLeft, int nTop, int nRight, int nBottom, COLORREF clr)
{
    PaintSolid(clr, RECT{nLeft, nTop, nRight, nBottom});
}

void CXTPMarkupPainter::DrawRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom)
{
    FillRectangle(pBrush, nLeft, nTop, nRight, nTop + 1);
    FillRectangle(pBrush, nLeft, nTop, nLeft + 1, nBottom);
    FillRectangle(pBrush, nLeft, nBottom - 1, nRight, nBottom);
    FillRectangle(pBrush, nRight - 1, nTop, nRight, nBottom);
}

void CXTPMarkupPainter::DrawFrameControl(const RECT& rc, UINT nType, UINT nState)
{
    RECT rcFrame = rc;
    ::DrawFrameControl(m_hDC, &rcFrame, nType, nState);
}

void CXTPMarkupPainter::DrawEdge(RECT& rc, UINT nEdge, UINT nFlags)
{
    ::DrawEdge(m_hDC, &rc, nEdge, nFlags);
}

void CXTPMarkupPainter::InvertRect(const RECT& rc)
{
    ::InvertRect(m_hDC, &rc);
}

void CXTPMarkupPainter::DrawFocusRect(const RECT& rc)
{
    const COLORREF clrText = ::SetTextColor(m_hDC, RGB(255, 255, 255));
    const COLORREF clrBack = ::SetBkColor(m_hDC, RGB(0, 0, 0));
    ::DrawFocusRect(m_hDC, &rc);
    ::SetTextColor(m_hDC, clrText);
    ::SetBkColor(m_hDC, clrBack);
}

bool CXTPMarkupPainter::DrawThemeBackground(const CXTPThemeHandle& theme, int nPart, int nState, const RECT& rc)
{
    return theme.DrawBackground(m_hDC, nPart, nState, rc);
}

void CXTPMarkupPainter::DrawRectangle(const RECT& rc, COLORREF clr)
{
    FillSolidRect(rc.left, rc.top, rc.right, rc.top + 1, clr);
    FillSolidRect(rc.left, rc.top, rc.left + 1, rc.bottom, clr);
    FillSolidRect(rc.left, rc.bottom - 1, rc.right, rc.bottom, clr);
    FillSolidRect(rc.right - 1, rc.top, rc.right, rc.bottom, clr);
}

void CXTPMarkupPainter::PaintSolid(COLORREF clr, const RECT& rc)
{
    // The text call would fill an inverted rectangle after swapping its sides.
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    // An opaque text call with no text fills with the background colour and
    // needs no GDI brush.
    const COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, clrOld);
}

void CXTPMarkupPainter::PaintLinearGradient(const CXTPMarkupLinearGradientBrush* pBrush, const RECT& rc)
{
    const CXTPMarkupGradientStopCollection* pStops = pBrush->GetGradientStops();
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (pStops->GetCount() == 0 || cx <= 0 || cy <= 0)
        return;
    if (pStops->GetCount() == 1)
    {
        PaintSolid(pStops->GetStop(0)->GetColor(), rc);
        return;
    }

    const CXTPMarkupLinearGradient gradient(pBrush, cx, cy);
    if (gradient.IsDegenerate())
        return;

    // Only the visible part is computed and copied.
    RECT rcArea = m_rcClipBox;
    if (IsTransient())
        ::InflateRect(&rcArea, 1, 1);
    ::OffsetRect(&rcArea, -rc.left, -rc.top);
    const RECT rcWhole = {0, 0, cx, cy};
    if (!::IntersectRect(&rcArea, &rcArea, &rcWhole))
        return;

    if ((gradient.IsVertical() || gradient.IsHorizontal()) && m_pfnGradientFill
        && FillBands(m_hDC, m_pfnGradientFill, gradient, rc, rcArea))
        return;
    FillFromBitmap(m_hDC, gradient, rc, rcArea);
}

void CXTPMarkupPainter::SetFont(CXTPMarkupCachedFont* pFont)
{
    if (!m_hDC || pFont == m_pFont)
        return;
    if (pFont)
    {
        // The saved font is the one the DC had before the first SetFont; later
        // replacements are fonts this painter selected itself.
        HGDIOBJ hPrevious = SelectGdiObject(pFont->GetFont());
        if (!m_hSavedFont)
            m_hSavedFont = static_cast<HFONT>(hPrevious);
        pFont->AddRef();
    }
    else if (m_hSavedFont)
    {
        SelectGdiObject(m_hSavedFont);
        m_hSavedFont = nullptr;
    }
    if (m_pFont)
        m_pFont->Release();
    m_pFont = pFont;
}

SIZE CXTPMarkupPainter::GetTextExtent(LPCWSTR lpszText, int nCount) const
{
    SIZE sz = {0, 0};
    if (lpszText && nCount > 0)
        ::GetTextExtentPoint32W(m_hAttribDC, lpszText, nCount, &sz);
    return sz;
}

int CXTPMarkupPainter::GetTextFit(LPCWSTR lpszText, int nCount, int nMaxExtent) const
{
    if (!lpszText || nCount <= 0 || nMaxExtent < 0)
        return 0;
    INT nFit = 0;
    SIZE sz = {0, 0};
    if (!::GetTextExtentExPointW(m_hAttribDC, lpszText, nCount, nMaxExtent, &nFit, nullptr, &sz))
        return 0;
    return nFit;
}

BOOL CXTPMarkupPainter::GetTextMetrics(TEXTMETRICW& tm) const
{
    return ::GetTextMetricsW(m_hAttribDC, &tm);
}

void CXTPMarkupPainter::DrawTextLine(LPCWSTR lpszText, int nCount, const RECT& rc)
{
    if (lpszText && nCount > 0)
        ::ExtTextOutW(m_hDC, rc.left, rc.top, 0, nullptr, lpszText, static_cast<UINT>(nCount), nullptr);
}

COLORREF CXTPMarkupPainter::SetTextColor(COLORREF clr)
{
    return ::SetTextColor(m_hDC, clr);
}

HGDIOBJ CXTPMarkupPainter::SelectGdiObject(HGDIOBJ hObject)
{
    HGDIOBJ hPrevious = nullptr;
    if (m_hDC && m_hDC != m_hAttribDC)
        hPrevious = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC)
        hPrevious = ::SelectObject(m_hAttribDC, hObject);
    return hPrevious;
}

namespace
{
COLORREF FigureColor(const CXTPMarkupBrush* pBrush)
{
    const CXTPMarkupSolidColorBrush* pSolid = MarkupCast<CXTPMarkupSolidColorBrush>(pBrush);
    return pSolid ? pSolid->GetColor() : RGB(0, 0, 0);
}

// The pen and brush of one figure, selected for its drawing; the stock null
// pen or brush stands in for a missing one, so GDI draws no default black.
class CFigureTools
{
public:
    CFigureTools(HDC hDC, CXTPMarkupBrush* pStroke, int nThickness, CXTPMarkupBrush* pFill)
        : m_hPen(pStroke && nThickness > 0 ? ::CreatePen(PS_SOLID, nThickness, FigureColor(pStroke)) : nullptr),
          m_hBrush(pFill ? ::CreateSolidBrush(FigureColor(pFill)) : nullptr),
          m_selectPen(hDC, m_hPen ? static_cast<HGDIOBJ>(m_hPen.Get()) : ::GetStockObject(NULL_PEN)),
          m_selectBrush(hDC, m_hBrush ? static_cast<HGDIOBJ>(m_hBrush.Get()) : ::GetStockObject(NULL_BRUSH))
    {
    }

private:
    // Declared before the selections, so that they are put back first.
    CXTPGdiObject<HPEN> m_hPen;
    CXTPGdiObject<HBRUSH> m_hBrush;
    CXTPSelectObject m_selectPen;
    CXTPSelectObject m_selectBrush;
};
} // namespace

void CXTPMarkupPainter::DrawPolygon(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness,
                                    CXTPMarkupBrush* pFill)
{
    if (!pPoints || nCount <= 0)
        return;
    CFigureTools tools(m_hDC, pStroke, nThickness, pFill);
    ::Polygon(m_hDC, pPoints, nCount);
}

void CXTPMarkupPainter::DrawPolyline(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness)
{
    if (!pPoints || nCount <= 0)
        return;
    CFigureTools tools(m_hDC, pStroke, nThickness, nullptr);
    ::Polyline(m_hDC, pPoints, nCount);
}

void CXTPMarkupPainter::DrawEllipse(const RECT& rc, CXTPMarkupBrush* pStroke, int nThickness, CXTPMarkupBrush* pFill)
{
    CFigureTools tools(m_hDC, pStroke, nThickness, pFill);
    ::Ellipse(m_hDC, rc.left, rc.top, rc.right, rc.bottom);
}

void CXTPMarkupPainter::DrawLine(int x1, int y1, int x2, int y2, CXTPMarkupBrush* pStroke, int nThickness)
{
    CFigureTools tools(m_hDC, pStroke, nThickness, nullptr);
    ::MoveToEx(m_hDC, x1, y1, nullptr);
    ::LineTo(m_hDC, x2, y2);
}

void CXTPMarkupPainter::DrawImage(CXTPImageStoreImage* pImage, int x, int y, int cx, int cy)
{
    if (pImage)
        pImage->Draw(m_hDC, x, y, cx, cy);
}
