#include "markup/host/GdiPainter.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/host/CachedFont.h"
#include "markup/host/LinearGradient.h"
#include "markup/model/Brush.h"
#include "toolkit/GdiHandles.h"
#include "toolkit/ImageStoreImage.h"
#include "toolkit/ThemeHandle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
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

CXTPMarkupGdiPainter::CXTPMarkupGdiPainter() : m_hDC(::CreateCompatibleDC(nullptr)), m_bOwnsDC(TRUE)
{
    Initialize();
}

CXTPMarkupGdiPainter::CXTPMarkupGdiPainter(HDC hDC) : m_hDC(hDC), m_bOwnsDC(FALSE)
{
    Initialize();
}

void CXTPMarkupGdiPainter::Initialize()
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

CXTPMarkupGdiPainter::~CXTPMarkupGdiPainter()
{
    SetFont(nullptr);
    if (m_bOwnsDC && m_hDC)
        ::DeleteDC(m_hDC);
}

BOOL CXTPMarkupGdiPainter::IsTransient() const
{
    return FALSE;
}

void CXTPMarkupGdiPainter::ReadClipBox()
{
    if (::GetClipBox(m_hDC, &m_rcClipBox) == ERROR)
        ::SetRectEmpty(&m_rcClipBox);
}

SIZE CXTPMarkupGdiPainter::LogicalToDevice(SIZE sz) const
{
    // An extent is never 0 on a working DC; a DC that could not be read keeps
    // the identity.
    const int nWindowX = std::abs(m_szWindowExt.cx), nWindowY = std::abs(m_szWindowExt.cy);
    return SIZE{nWindowX ? ::MulDiv(sz.cx, std::abs(m_szViewportExt.cx), nWindowX) : sz.cx,
                nWindowY ? ::MulDiv(sz.cy, std::abs(m_szViewportExt.cy), nWindowY) : sz.cy};
}

POINT CXTPMarkupGdiPainter::OffsetViewportOrigin(POINT ptOffset)
{
    const POINT ptPrevious = m_ptViewportOrg;
    const SIZE szDevice = LogicalToDevice(SIZE{ptOffset.x, ptOffset.y});
    m_ptViewportOrg.x += szDevice.cx;
    m_ptViewportOrg.y += szDevice.cy;
    ::SetViewportOrgEx(m_hDC, m_ptViewportOrg.x, m_ptViewportOrg.y, nullptr);
    ReadClipBox();
    return ptPrevious;
}

void CXTPMarkupGdiPainter::SetViewportOrigin(POINT ptOrigin)
{
    m_ptViewportOrg = ptOrigin;
    ::SetViewportOrgEx(m_hDC, ptOrigin.x, ptOrigin.y, nullptr);
    ReadClipBox();
}

void CXTPMarkupGdiPainter::ApplyViewportOrigin(POINT ptOrigin)
{
    ::SetViewportOrgEx(m_hDC, ptOrigin.x, ptOrigin.y, nullptr);
}

HRGN CXTPMarkupGdiPainter::SaveClipRegion()
{
    HRGN hrgn = ::CreateRectRgn(0, 0, 0, 0);
    if (!hrgn)
        return nullptr;
    if (::GetClipRgn(m_hDC, hrgn) == 1)
        return hrgn;
    ::DeleteObject(hrgn);
    return NoClipRegion();
}

void CXTPMarkupGdiPainter::IntersectClipRect(const RECT& rc)
{
    ::IntersectClipRect(m_hDC, rc.left, rc.top, rc.right, rc.bottom);
    ReadClipBox();
}

void CXTPMarkupGdiPainter::RestoreClipRegion(HRGN hrgnSaved)
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

void CXTPMarkupGdiPainter::FillRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom)
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

void CXTPMarkupGdiPainter::FillSolidRect(int nLeft, int nTop, int nRight, int nBottom, COLORREF clr)
{
    PaintSolid(clr, RECT{nLeft, nTop, nRight, nBottom});
}

void CXTPMarkupGdiPainter::DrawRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom)
{
    FillRectangle(pBrush, nLeft, nTop, nRight, nTop + 1);
    FillRectangle(pBrush, nLeft, nTop, nLeft + 1, nBottom);
    FillRectangle(pBrush, nLeft, nBottom - 1, nRight, nBottom);
    FillRectangle(pBrush, nRight - 1, nTop, nRight, nBottom);
}

void CXTPMarkupGdiPainter::DrawFrameControl(const RECT& rc, UINT nType, UINT nState)
{
    RECT rcFrame = rc;
    ::DrawFrameControl(m_hDC, &rcFrame, nType, nState);
}

void CXTPMarkupGdiPainter::DrawEdge(RECT& rc, UINT nEdge, UINT nFlags)
{
    ::DrawEdge(m_hDC, &rc, nEdge, nFlags);
}

void CXTPMarkupGdiPainter::InvertRect(const RECT& rc)
{
    ::InvertRect(m_hDC, &rc);
}

void CXTPMarkupGdiPainter::DrawFocusRect(const RECT& rc)
{
    const COLORREF clrText = ::SetTextColor(m_hDC, RGB(255, 255, 255));
    const COLORREF clrBack = ::SetBkColor(m_hDC, RGB(0, 0, 0));
    ::DrawFocusRect(m_hDC, &rc);
    ::SetTextColor(m_hDC, clrText);
    ::SetBkColor(m_hDC, clrBack);
}

bool CXTPMarkupGdiPainter::DrawThemeBackground(const CXTPThemeHandle& theme, int nPart, int nState, const RECT& rc)
{
    return theme.DrawBackground(m_hDC, nPart, nState, rc);
}

void CXTPMarkupGdiPainter::DrawRectangle(const RECT& rc, COLORREF clr)
{
    FillSolidRect(rc.left, rc.top, rc.right, rc.top + 1, clr);
    FillSolidRect(rc.left, rc.top, rc.left + 1, rc.bottom, clr);
    FillSolidRect(rc.left, rc.bottom - 1, rc.right, rc.bottom, clr);
    FillSolidRect(rc.right - 1, rc.top, rc.right, rc.bottom, clr);
}

void CXTPMarkupGdiPainter::PaintSolid(COLORREF clr, const RECT& rcFill)
{
    // The text call would fill an inverted rectangle after swapping its sides.
    if (rcFill.right <= rcFill.left || rcFill.bottom <= rcFill.top)
        return;
    // Only what can be seen reaches GDI: an unbounded side moved by the
    // origin would wrap round and fill nothing.
    RECT rc;
    if (!::IntersectRect(&rc, &rcFill, &m_rcClipBox))
        return;
    // An opaque text call with no text fills with the background colour and
    // needs no GDI brush.
    const COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, clrOld);
}

void CXTPMarkupGdiPainter::PaintLinearGradient(const CXTPMarkupLinearGradientBrush* pBrush, const RECT& rc)
{
    const CXTPMarkupGradientStopCollection* pStops = pBrush->GetGradientStops();
    // An unbounded side past a negative one would wrap round the difference.
    const int cx = static_cast<int>(std::min<long long>(static_cast<long long>(rc.right) - rc.left, INT_MAX));
    const int cy = static_cast<int>(std::min<long long>(static_cast<long long>(rc.bottom) - rc.top, INT_MAX));
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

CXTPMarkupFont* CXTPMarkupGdiPainter::CreateUnsharedFont(const LOGFONTA& lf)
{
    return new CXTPMarkupCachedFont(lf);
}

void CXTPMarkupGdiPainter::SetFont(CXTPMarkupFont* pMarkupFont)
{
    CXTPMarkupCachedFont* pFont = static_cast<CXTPMarkupCachedFont*>(pMarkupFont);
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

SIZE CXTPMarkupGdiPainter::GetTextExtent(LPCWSTR lpszText, int nCount) const
{
    SIZE sz = {0, 0};
    if (lpszText && nCount > 0)
        ::GetTextExtentPoint32W(m_hAttribDC, lpszText, nCount, &sz);
    return sz;
}

int CXTPMarkupGdiPainter::GetTextFit(LPCWSTR lpszText, int nCount, int nMaxExtent) const
{
    if (!lpszText || nCount <= 0 || nMaxExtent < 0)
        return 0;
    INT nFit = 0;
    SIZE sz = {0, 0};
    if (!::GetTextExtentExPointW(m_hAttribDC, lpszText, nCount, nMaxExtent, &nFit, nullptr, &sz))
        return 0;
    return nFit;
}

BOOL CXTPMarkupGdiPainter::GetTextExtents(LPCWSTR lpszText, int nCount, int* pExtents, SIZE& sz) const
{
    return lpszText && nCount > 0 && ::GetTextExtentExPointW(m_hAttribDC, lpszText, nCount, 0, nullptr, pExtents, &sz);
}

BOOL CXTPMarkupGdiPainter::GetTextMetrics(TEXTMETRICW& tm) const
{
    return ::GetTextMetricsW(m_hAttribDC, &tm);
}

void CXTPMarkupGdiPainter::DrawTextLine(LPCWSTR lpszText, int nCount, const RECT& rc)
{
    if (lpszText && nCount > 0)
        ::ExtTextOutW(m_hDC, rc.left, rc.top, 0, nullptr, lpszText, static_cast<UINT>(nCount), nullptr);
}

COLORREF CXTPMarkupGdiPainter::SetTextColor(COLORREF clr)
{
    return ::SetTextColor(m_hDC, clr);
}

HGDIOBJ CXTPMarkupGdiPainter::SelectGdiObject(HGDIOBJ hObject)
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

namespace
{
// A figure whose pen or points reach further than this beyond the visible box
// is not handed to GDI, which would rasterise all of it (minutes and hundreds
// of megabytes for a pen three million pixels wide); its visible rows are
// filled span by span instead.
constexpr double kMaxGdiReach = 2048;

struct CRange
{
    double from = 1;
    double to = 0;
    bool IsEmpty() const { return from > to; }
    void Unite(const CRange& other)
    {
        if (other.IsEmpty())
            return;
        if (IsEmpty())
            *this = other;
        else
        {
            from = std::min(from, other.from);
            to = std::max(to, other.to);
        }
    }
    void Intersect(double a, double b)
    {
        from = std::max(from, std::min(a, b));
        to = std::min(to, std::max(a, b));
    }
};

// Where the row through y crosses the disc of radius r around (cx, cy). Like
// GDI, a figure covers the pixel centres from its top or left edge up to,
// but not including, its bottom or right edge.
CRange DiscRow(double cx, double cy, double r, double y)
{
    const double dy = y - cy;
    if (dy < -r || dy >= r)
        return {};
    const double half = std::sqrt(r * r - dy * dy);
    return {cx - half, cx + half};
}

// Where the row through y crosses the points within r of the segment from a
// to b: GDI's wide pen with round ends. The shape is convex, so its row is
// one range, the union of the two end discs' and the band's between them.
CRange CapsuleRow(POINT a, POINT b, double r, double y)
{
    if (y < std::min(a.y, b.y) - r || y >= std::max(a.y, b.y) + r)
        return {};
    CRange row = DiscRow(a.x, a.y, r, y);
    row.Unite(DiscRow(b.x, b.y, r, y));
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
        return row;
    const double ry = y - a.y;
    CRange band{-1e300, 1e300};
    // Across the segment: |dx * ry - dy * (x - ax)| <= r * length.
    if (dy != 0)
    {
        const double x0 = a.x + dx * ry / dy, half = r * length / std::fabs(dy);
        band.Intersect(x0 - half, x0 + half);
    }
    else if (ry < -r || ry >= r)
        return row;
    // Along it: 0 <= dx * (x - ax) + dy * ry <= length^2.
    if (dx != 0)
        band.Intersect(a.x - dy * ry / dx, a.x + (length * length - dy * ry) / dx);
    else if (dy * ry < 0 || dy * ry > length * length)
        return row;
    row.Unite(band);
    return row;
}

// Where the row through y crosses the ellipse with centre (cx, cy) and radii
// (rx, ry); empty for a radius below 0.
CRange EllipseRow(double cx, double cy, double rx, double ry, double y)
{
    if (rx < 0 || ry < 0)
        return {};
    const double dy = y - cy;
    if (dy < -ry || dy >= ry)
        return {};
    const double half = ry > 0 ? rx * std::sqrt(1 - (dy / ry) * (dy / ry)) : rx;
    return {cx - half, cx + half};
}

// Fills the pixels whose centres fall in rows of ranges, within the visible
// box, joining equal spans of consecutive rows into one rectangle.
class CSpanFill
{
public:
    CSpanFill(CXTPMarkupGdiPainter* pPainter, COLORREF clr) : m_pPainter(pPainter), m_clr(clr) {}
    ~CSpanFill() { Flush(); }
    CSpanFill(const CSpanFill&) = delete;
    CSpanFill& operator=(const CSpanFill&) = delete;

    void Add(int y, const CRange& range)
    {
        const RECT& rcClip = m_pPainter->GetClipBox();
        if (range.IsEmpty())
            return;
        const double from = std::max<double>(std::ceil(range.from), rcClip.left);
        const double to = std::min<double>(std::ceil(range.to), rcClip.right);
        if (from >= to)
            return;
        const RECT rc = {static_cast<int>(from), y, static_cast<int>(to), y + 1};
        if (m_bPending && rc.left == m_rc.left && rc.right == m_rc.right && rc.top == m_rc.bottom)
        {
            m_rc.bottom = rc.bottom;
            return;
        }
        Flush();
        m_rc = rc;
        m_bPending = true;
    }

private:
    void Flush()
    {
        if (m_bPending)
            m_pPainter->FillSolidRect(m_rc.left, m_rc.top, m_rc.right, m_rc.bottom, m_clr);
        m_bPending = false;
    }

    CXTPMarkupGdiPainter* m_pPainter;
    COLORREF m_clr;
    RECT m_rc = {0, 0, 0, 0};
    bool m_bPending = false;
};

// Whether the points, widened by a pen's half width, stay close enough to
// the visible box for GDI.
bool IsWithinGdiReach(const RECT& rcClip, const POINT* pPoints, int nCount, double penHalf)
{
    const double reach = kMaxGdiReach - penHalf;
    if (reach < 0)
        return false;
    for (int i = 0; i < nCount; i++)
    {
        if (pPoints[i].x < rcClip.left - reach || pPoints[i].x > rcClip.right + reach
            || pPoints[i].y < rcClip.top - reach || pPoints[i].y > rcClip.bottom + reach)
            return false;
    }
    return true;
}

double PenHalf(const CXTPMarkupBrush* pStroke, int nThickness)
{
    return pStroke && nThickness > 0 ? nThickness / 2.0 : 0;
}
} // namespace

void CXTPMarkupGdiPainter::FillFigureOutline(const POINT* pPoints, int nCount, bool bClosed, CXTPMarkupBrush* pStroke,
                                             int nThickness)
{
    if (!pStroke || nThickness <= 0 || nCount <= 0)
        return;
    // A thin pen still covers the pixels its line passes through.
    const double r = std::max(0.5, nThickness / 2.0);
    // Only segments whose pen reaches the visible box are looked at per row.
    std::vector<std::pair<POINT, POINT>> segments;
    const int nSegments = nCount == 1 ? 1 : bClosed ? nCount : nCount - 1;
    for (int i = 0; i < nSegments; i++)
    {
        const POINT a = pPoints[i], b = pPoints[(i + 1) % nCount];
        if (std::max(a.x, b.x) + r >= m_rcClipBox.left && std::min(a.x, b.x) - r < m_rcClipBox.right
            && std::max(a.y, b.y) + r >= m_rcClipBox.top && std::min(a.y, b.y) - r < m_rcClipBox.bottom)
            segments.push_back({a, b});
    }
    CSpanFill spans(this, FigureColor(pStroke));
    for (int y = m_rcClipBox.top; y < m_rcClipBox.bottom; y++)
    {
        for (const auto& segment : segments)
            spans.Add(y, CapsuleRow(segment.first, segment.second, r, y));
    }
}

void CXTPMarkupGdiPainter::DrawPolygon(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness,
                                       CXTPMarkupBrush* pFill)
{
    if (!pPoints || nCount <= 0)
        return;
    if (IsWithinGdiReach(m_rcClipBox, pPoints, nCount, PenHalf(pStroke, nThickness)))
    {
        CFigureTools tools(m_hDC, pStroke, nThickness, pFill);
        ::Polygon(m_hDC, pPoints, nCount);
        return;
    }
    if (pFill)
    {
        // Rows cross the edges; the fill mode pairs the crossings up.
        const bool bWinding = ::GetPolyFillMode(m_hDC) == WINDING;
        CSpanFill spans(this, FigureColor(pFill));
        std::vector<std::pair<double, int>> crossings;
        for (int y = m_rcClipBox.top; y < m_rcClipBox.bottom; y++)
        {
            crossings.clear();
            for (int i = 0; i < nCount; i++)
            {
                const POINT a = pPoints[i], b = pPoints[(i + 1) % nCount];
                if ((a.y <= y) == (b.y <= y))
                    continue;
                crossings.push_back(
                    {a.x + (double(b.x) - a.x) * (y - double(a.y)) / (double(b.y) - a.y), b.y > a.y ? 1 : -1});
            }
            std::sort(crossings.begin(), crossings.end());
            int nWinding = 0;
            for (size_t i = 0; i + 1 < crossings.size(); i++)
            {
                nWinding += bWinding ? crossings[i].second : 1;
                if (bWinding ? nWinding != 0 : (nWinding & 1) != 0)
                    spans.Add(y, CRange{crossings[i].first, crossings[i + 1].first});
            }
        }
    }
    FillFigureOutline(pPoints, nCount, true, pStroke, nThickness);
}

void CXTPMarkupGdiPainter::DrawPolyline(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness)
{
    if (!pPoints || nCount <= 0)
        return;
    if (IsWithinGdiReach(m_rcClipBox, pPoints, nCount, PenHalf(pStroke, nThickness)))
    {
        CFigureTools tools(m_hDC, pStroke, nThickness, nullptr);
        ::Polyline(m_hDC, pPoints, nCount);
        return;
    }
    if (nCount >= 2)
        FillFigureOutline(pPoints, nCount, false, pStroke, nThickness);
}

void CXTPMarkupGdiPainter::DrawEllipse(const RECT& rc, CXTPMarkupBrush* pStroke, int nThickness, CXTPMarkupBrush* pFill)
{
    const POINT corners[] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    const double penHalf = PenHalf(pStroke, nThickness);
    if (IsWithinGdiReach(m_rcClipBox, corners, 2, penHalf))
    {
        CFigureTools tools(m_hDC, pStroke, nThickness, pFill);
        ::Ellipse(m_hDC, rc.left, rc.top, rc.right, rc.bottom);
        return;
    }
    // The pen runs along the ellipse inside the rectangle, half inside and
    // half outside it; the fill is what the pen leaves inside.
    const double cx = (double(rc.left) + rc.right - 1) / 2, cy = (double(rc.top) + rc.bottom - 1) / 2;
    const double rx = (double(rc.right) - rc.left - 1) / 2, ry = (double(rc.bottom) - rc.top - 1) / 2;
    if (rx < 0 || ry < 0)
        return;
    if (pFill)
    {
        CSpanFill spans(this, FigureColor(pFill));
        for (int y = m_rcClipBox.top; y < m_rcClipBox.bottom; y++)
            spans.Add(y, EllipseRow(cx, cy, rx - penHalf, ry - penHalf, y));
    }
    if (penHalf > 0)
    {
        CSpanFill spans(this, FigureColor(pStroke));
        for (int y = m_rcClipBox.top; y < m_rcClipBox.bottom; y++)
        {
            const CRange outer = EllipseRow(cx, cy, rx + penHalf, ry + penHalf, y);
            const CRange inner = EllipseRow(cx, cy, rx - penHalf, ry - penHalf, y);
            if (inner.IsEmpty())
                spans.Add(y, outer);
            else
            {
                spans.Add(y, CRange{outer.from, inner.from});
                spans.Add(y, CRange{inner.to, outer.to});
            }
        }
    }
}

void CXTPMarkupGdiPainter::DrawLine(int x1, int y1, int x2, int y2, CXTPMarkupBrush* pStroke, int nThickness)
{
    const POINT points[] = {{x1, y1}, {x2, y2}};
    if (IsWithinGdiReach(m_rcClipBox, points, 2, PenHalf(pStroke, nThickness)))
    {
        CFigureTools tools(m_hDC, pStroke, nThickness, nullptr);
        ::MoveToEx(m_hDC, x1, y1, nullptr);
        ::LineTo(m_hDC, x2, y2);
        return;
    }
    FillFigureOutline(points, 2, false, pStroke, nThickness);
}

void CXTPMarkupGdiPainter::DrawImage(CXTPImageStoreImage* pImage, int x, int y, int cx, int cy)
{
    if (!pImage)
        return;
    // A picture of an unbounded extent has no scale to keep: it is stretched
    // over what can be seen of it instead, so that the origin added to its far
    // side cannot wrap round.
    using XTPMarkupLayout::kUnboundedThreshold;
    if (static_cast<long long>(x) + cx > kUnboundedThreshold && (cx = m_rcClipBox.right - x) <= 0)
        return;
    if (static_cast<long long>(y) + cy > kUnboundedThreshold && (cy = m_rcClipBox.bottom - y) <= 0)
        return;
    pImage->Draw(m_hDC, x, y, cx, cy);
}
