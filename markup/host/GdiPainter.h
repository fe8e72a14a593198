// The GDI painter of the host: what elements draw and measure with, on a
// device context.
#pragma once

#include "markup/elements/Painter.h"

#include "toolkit/Msimg32Functions.h"

#include <windows.h>

class CXTPMarkupBrush;
class CXTPMarkupCachedFont;
class CXTPMarkupLinearGradientBrush;
class CXTPMarkupSolidColorBrush;
class CXTPImageStoreImage;
class CXTPThemeHandle;

// Wraps a GDI device context for the element tree: the coordinate origin and
// the clipping follow the element being drawn, rectangles are filled and
// outlined with markup brushes, text is measured and drawn in the font made
// current. Rectangles are left, top, right, bottom in logical units, right
// and bottom exclusive. Made on the stack for one pass; it reports no errors.
//
// Render brackets each element like this, and so leaves the DC as it found it:
//
//     POINT ptPrev = painter.OffsetViewportOrigin(ptOffset);
//     HRGN hrgnSaved = painter.SaveClipRegion();   // only when clipping
//     painter.IntersectClipRect(rcClip);
//     ... the element and its children draw ...
//     painter.RestoreClipRegion(hrgnSaved);
//     painter.SetViewportOrigin(ptPrev);
//
// Named apart from the element-side CXTPMarkupPainter it implements, which
// keeps elements free of GDI.
class CXTPMarkupGdiPainter : public CXTPMarkupPainter
{
public:
    // A measuring painter over a memory DC of its own, compatible with the
    // screen, deleted with the painter.
    CXTPMarkupGdiPainter();
    // A painter over the caller's DC, which must outlive it. Sets the DC's
    // background mode to TRANSPARENT and leaves it so.
    explicit CXTPMarkupGdiPainter(HDC hDC);
    // Puts back the font that was selected before the first SetFont.
    ~CXTPMarkupGdiPainter() override;
    CXTPMarkupGdiPainter(const CXTPMarkupGdiPainter&) = delete;
    CXTPMarkupGdiPainter& operator=(const CXTPMarkupGdiPainter&) = delete;

    // Every painter the host hands elements is one of these: controls that
    // draw system pieces of chrome reach them here.
    static CXTPMarkupGdiPainter* Of(CXTPMarkupPainter* pPainter)
    {
        return static_cast<CXTPMarkupGdiPainter*>(pPainter);
    }

    // The output DC, for drawing the painter does not offer (shapes, images).
    HDC GetHdc() const { return m_hDC; }

    // Whether layout results measured with this painter must not be kept.
    // A painter that answers TRUE also widens the gradients' work area by a
    // pixel on each side.
    BOOL IsTransient() const override;

    // --- Origin --------------------------------------------------------------

    // A logical size in device units, by the extents read at construction.
    SIZE LogicalToDevice(SIZE sz) const;
    // Moves the origin by a logical offset; answers the origin before the move.
    POINT OffsetViewportOrigin(POINT ptOffset) override;
    // Puts the origin (device units) back to one OffsetViewportOrigin answered.
    void SetViewportOrigin(POINT ptOrigin) override;
    // Sets the DC's origin only; the painter's own record and clip box stay.
    virtual void ApplyViewportOrigin(POINT ptOrigin);
    POINT GetViewportOrigin() const { return m_ptViewportOrg; }

    // --- Clipping ------------------------------------------------------------

    // The visible part of the DC in the current element's coordinates; empty
    // when nothing is visible.
    const RECT& GetClipBox() const override { return m_rcClipBox; }

    // The DC's clipping, to hand back to RestoreClipRegion: a region the
    // caller then owns, NoClipRegion() when the DC has none, or null when no
    // region could be made (RestoreClipRegion then does nothing).
    HRGN SaveClipRegion() override;
    void IntersectClipRect(const RECT& rc) override;
    // Restores what SaveClipRegion answered and deletes that region.
    void RestoreClipRegion(HRGN hrgnSaved) override;
    // The marker SaveClipRegion answers for a DC without clipping.
    static HRGN NoClipRegion() { return reinterpret_cast<HRGN>(static_cast<INT_PTR>(-1)); }

    // --- Rectangles ----------------------------------------------------------

    // Fills with a solid colour or a linear gradient; a null brush, a solid
    // brush without a colour, a gradient without stops and an empty
    // rectangle paint nothing. Every fill is opaque.
    void FillRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom) override;
    using CXTPMarkupPainter::FillRectangle;
    void FillSolidRect(int nLeft, int nTop, int nRight, int nBottom, COLORREF clr) override;
    // A one-pixel outline just inside the rectangle: the top, left, bottom and
    // right edges, in this order, each filled as a rectangle of its own (a
    // gradient runs along each edge separately).
    void DrawRectangle(CXTPMarkupBrush* pBrush, int nLeft, int nTop, int nRight, int nBottom);
    // The same outline in one colour.
    void DrawRectangle(const RECT& rc, COLORREF clr);

    // --- Figures --------------------------------------------------------------

    // Outlines are solid pens nThickness wide in the stroke's colour (a brush
    // other than a solid one draws black); no stroke or a thickness below 1
    // draws no outline. Fills are solid in the fill's colour. Pens and brushes
    // live for the one call and the DC gets its previous ones back.
    void DrawPolygon(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness,
                     CXTPMarkupBrush* pFill) override;
    void DrawPolyline(const POINT* pPoints, int nCount, CXTPMarkupBrush* pStroke, int nThickness) override;
    void DrawEllipse(const RECT& rc, CXTPMarkupBrush* pStroke, int nThickness, CXTPMarkupBrush* pFill) override;
    void DrawLine(int x1, int y1, int x2, int y2, CXTPMarkupBrush* pStroke, int nThickness) override;
    // Figures whose pen or points reach far beyond the clip box are filled
    // row by row over the clip box alone, so that their cost follows what
    // can be seen rather than their size.

    // --- Pictures ----------------------------------------------------------------

    // The picture stretched to cx by cy at (x, y), blended by its own alpha.
    void DrawImage(CXTPImageStoreImage* pImage, int x, int y, int cx, int cy) override;

    // --- Control chrome --------------------------------------------------------

    // The system's own pieces of controls, in the current element's
    // coordinates (the DC's origin follows the element).
    void DrawFrameControl(const RECT& rc, UINT nType, UINT nState);
    // DrawEdge; with BF_ADJUST rc becomes the area inside the edge.
    void DrawEdge(RECT& rc, UINT nEdge, UINT nFlags);
    void InvertRect(const RECT& rc);
    // The dotted focus rectangle, drawn with a white text colour on a black
    // background so it shows the same on every face; the DC's colours are
    // put back.
    void DrawFocusRect(const RECT& rc);
    // A part of an open theme in a state; false (nothing drawn) when the
    // theme is closed or refuses.
    bool DrawThemeBackground(const CXTPThemeHandle& theme, int nPart, int nState, const RECT& rc);

    // --- Text ----------------------------------------------------------------

    // A cached font listed nowhere.
    CXTPMarkupFont* CreateUnsharedFont(const LOGFONTA& lf) override;
    // Makes a font current for measuring and drawing; null puts back the font
    // the DC had before. The painter holds a reference to the current font,
    // which is always a cached font: the host and this class make every font.
    void SetFont(CXTPMarkupFont* pFont) override;
    CXTPMarkupCachedFont* GetFont() const { return m_pFont; } // borrowed

    // Size of the first nCount characters in the current font.
    SIZE GetTextExtent(LPCWSTR lpszText, int nCount) const override;
    // How many of the first nCount UTF-16 units fit in nMaxExtent in the
    // current font, in one pass over them: where a long text wraps. Callers
    // that must cut at whole characters check the answer's last unit.
    int GetTextFit(LPCWSTR lpszText, int nCount, int nMaxExtent) const override;
    BOOL GetTextExtents(LPCWSTR lpszText, int nCount, int* pExtents, SIZE& sz) const override;
    // Metrics of the current font (the text block takes its descent).
    BOOL GetTextMetrics(TEXTMETRICW& tm) const override;
    // Draws the characters with their cell's top-left corner at the
    // rectangle's top-left corner; no clipping to the rectangle, no
    // background, the DC's text colour.
    void DrawTextLine(LPCWSTR lpszText, int nCount, const RECT& rc) override;
    // Sets the DC's text colour; answers the previous one.
    COLORREF SetTextColor(COLORREF clr) override;

    // Selects an object into the output and attribute DCs; answers the object
    // the attribute DC (or else the output DC) held before.
    virtual HGDIOBJ SelectGdiObject(HGDIOBJ hObject);

    // Axis-aligned gradients go through msimg32's GradientFill when the system
    // has it, and are computed into a bitmap otherwise (as every other
    // direction is). Replaces the entry point for this painter; null forces
    // the bitmap.
    void SetGradientFill(CXTPMsimg32Functions::PFNGRADIENTFILL pfnGradientFill) { m_pfnGradientFill = pfnGradientFill; }

private:
    void Initialize();
    void ReadClipBox();
    void PaintSolid(COLORREF clr, const RECT& rc);
    void PaintLinearGradient(const CXTPMarkupLinearGradientBrush* pBrush, const RECT& rc);
    // The visible rows of a wide pen drawn along the points.
    void FillFigureOutline(const POINT* pPoints, int nCount, bool bClosed, CXTPMarkupBrush* pStroke, int nThickness);

    HDC m_hDC;       // output
    HDC m_hAttribDC; // text measurement
    CXTPMarkupCachedFont* m_pFont;
    HFONT m_hSavedFont;
    SIZE m_szWindowExt;
    SIZE m_szViewportExt;
    POINT m_ptViewportOrg;
    RECT m_rcClipBox;
    BOOL m_bOwnsDC;
    CXTPMsimg32Functions::PFNGRADIENTFILL m_pfnGradientFill;
};
