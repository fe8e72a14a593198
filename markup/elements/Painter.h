// What elements draw and measure with. The element tree only names these
// operations; the host's GDI painter (CXTPMarkupGdiPainter) carries them
// out, so that only the host touches GDI.
#pragma once

#include "markup/elements/Font.h"

#include <windows.h>

class CXTPMarkupBrush;
class CXTPImageStoreImage;

// The drawing context of one measuring or painting pass of a markup tree:
// the coordinate origin and the clipping follow the element being drawn.
// Rectangles are left, top, right, bottom in logical units, right and bottom
// exclusive. See CXTPMarkupGdiPainter for what each operation does.
class CXTPMarkupPainter
{
public:
    virtual ~CXTPMarkupPainter() = default;

    // Whether layout results measured with this painter must not be kept.
    virtual BOOL IsTransient() const = 0;

    virtual POINT OffsetViewportOrigin(POINT ptOffset) = 0;
    virtual void SetViewportOrigin(POINT ptOrigin) = 0;

    virtual const RECT& GetClipBox() const = 0;
    virtual HRGN SaveClipRegion() = 0;
    virtual void IntersectClipRect(const RECT& rc) = 0;
    virtual void RestoreClipRegion(HRGN hrgnSaved) = 0;

    virtual void FillRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom) = 0;
    void FillRectangle(CXTPMarkupBrush* pBrush, const RECT& rc)
    {
        FillRectangle(pBrush, rc.left, rc.top, rc.right, rc.bottom);
    }
    virtual void FillSolidRect(int nLeft, int nTop, int nRight, int nBottom, COLORREF clr) = 0;

    virtual void DrawPolygon(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness,
                             CXTPMarkupBrush* pFill) = 0;
    virtual void DrawPolyline(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness) = 0;
    virtual void DrawEllipse(const RECT& rc, CXTPMarkupBrush* pStroke, int nThickness, CXTPMarkupBrush* pFill) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2, CXTPMarkupBrush* pStroke, int nThickness) = 0;

    virtual void DrawImage(CXTPImageStoreImage* pImage, int x, int y, int cx, int cy) = 0;

    // A font of this painter's making, shared with nobody: for elements
    // without a context to share fonts in. One reference for the caller.
    virtual CXTPMarkupFont* CreateUnsharedFont(const LOGFONTA& lf) = 0;
    // Makes a font current for measuring and drawing; null puts back the
    // font the device had before.
    virtual void SetFont(CXTPMarkupFont* pFont) = 0;
    virtual SIZE GetTextExtent(LPCWSTR lpszText, int nCount) const = 0;
    virtual int GetTextFit(LPCWSTR lpszText, int nCount, int nMaxExtent) const = 0;
    // The widths of the text's first 1, 2, ... nCount characters into
    // pExtents, each the width GetTextExtent gives that much of the text;
    // FALSE if the device could not tell.
    virtual BOOL GetTextExtents(LPCWSTR lpszText, int nCount, int* pExtents, SIZE& sz) const = 0;
    virtual BOOL GetTextMetrics(TEXTMETRICW& tm) const = 0;
    virtual void DrawTextLine(LPCWSTR lpszText, int nCount, const RECT& rc) = 0;
    virtual COLORREF SetTextColor(COLORREF clr) = 0;
};
