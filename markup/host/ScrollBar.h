// One scroll bar of a scroll viewer: arrows, page areas and a thumb along a
// vertical or horizontal axis, drawn in the system's visual style or the
// classic look, and worked with the mouse like the system's own bars (arrow
// and page clicks that repeat while held, thumb dragging that snaps back when
// the pointer strays far, Shift+click to jump). The commands go to the viewer
// that owns the bar.
#pragma once

#include "markup/host/Control.h"
#include "markup/host/Host.h"

#include "toolkit/ThemeHandle.h"

#include <memory>

class CXTPMarkupGdiPainter;
class CXTPMarkupScrollViewer;

class CXTPMarkupScrollBar : public CXTPMarkupControl, public CXTPMarkupMouseTracker
{
    DECLARE_MARKUPCLASS(CXTPMarkupScrollBar)
public:
    // The timer that repeats a held arrow or page, on the host's window.
    static constexpr UINT_PTR kRepeatTimerId = 63345;
    // How far each side of the bar the pointer may stray while dragging the
    // thumb before it snaps back: bar widths across the axis.
    static constexpr int kThumbTrackWidths = 8;

    enum Part
    {
        PartNone,
        PartFirstArrow, // up or left
        PartLastArrow,  // down or right
        PartPageUp,     // between the first arrow and the thumb
        PartPageDown,   // between the thumb and the last arrow
        PartThumb,
    };

    struct ScrollInfo
    {
        int nMin;
        int nMax;
        int nPage;
        int nPos;
    };

    // Pixel positions along the axis (y for a vertical bar, x for a
    // horizontal one), in the bar's own coordinates.
    struct Geometry
    {
        int nStart;      // S
        int nEnd;        // E
        int nArrow;      // arrow length
        int nTrackStart; // T1 = S + arrow
        int nTrackEnd;   // T2 = E - arrow
        int nThumbLength;
        int nThumbStart;
        int nThumbEnd;
        int nFreeTrack; // where the thumb's start can go beyond T1
    };

    CXTPMarkupScrollBar(); // vertical
    ~CXTPMarkupScrollBar() override;

    // SB_VERT or SB_HORZ.
    int GetOrientation() const { return m_nOrientation; }
    void SetOrientation(int nOrientation) { m_nOrientation = nOrientation; }

    // A change of the maximum, page or position re-arranges and repaints.
    void SetScrollInfo(int nMin, int nMax, int nPage, int nPos);
    const ScrollInfo& GetScrollInfo() const { return m_info; }
    // Something to scroll: maximum - minimum >= page. An inactive bar shows
    // its parts disabled and does not answer the mouse.
    BOOL IsActive() const { return m_info.nMax - m_info.nMin >= m_info.nPage; }

    // For the current size and scroll information; while the thumb is being
    // dragged, the thumb is where the pointer put it.
    Geometry GetGeometry() const;
    // Whether the thumb shows: an active bar with room for it.
    BOOL HasVisibleThumb(const Geometry& g) const;
    // The rectangle of a part in the bar's coordinates (empty for none).
    RECT GetPartRect(Part nPart) const;
    // The part under a point of the bar's coordinates: none for an inactive
    // bar or a point outside it.
    Part HitTestPart(POINT pt) const;

    Part GetHotPart() const { return m_nHotPart; }
    // The part drawn pushed: the tracked arrow or page while the pointer is
    // in its area, or the thumb while dragged.
    Part GetPressedPart() const;
    BOOL IsTracking() const { return m_pTracking != nullptr; }
    // Ends a mouse operation without its closing commands: the bar is going.
    void CancelTracking();

    BOOL OnTrackingMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void DrawContent(CXTPMarkupPainter* pPainter) override;

    void OnMouseMove(CXTPMarkupEventArgs* pArgs) override;
    void OnMouseLeave(CXTPMarkupEventArgs* pArgs) override;
    void OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs) override;

private:
    struct Tracking;

    BOOL IsVertical() const { return m_nOrientation == SB_VERT; }
    // A span along the axis across the whole bar.
    RECT AxisRect(int nFrom, int nTo) const;
    int AxisOf(POINT pt) const { return IsVertical() ? pt.y : pt.x; }
    // Window client coordinates to the bar's own.
    POINT FromClient(int x, int y) const;
    POINT CursorPoint() const;

    void SendCommand(int nCommand, int nValue);
    void SetHotPart(Part nPart);

    // The step at the button down.
    void FirstStep(POINT pt);
    // One step of an arrow or page operation at pt.
    void TrackRepeatStep(POINT pt, BOOL bTimer);
    // One step of thumb dragging at pt.
    void TrackThumbStep(POINT pt);
    int ThumbValue(int nThumbStart, const Geometry& g) const;
    // Ends the operation; bCompleted sends the closing commands.
    void EndTracking(BOOL bCompleted);

    void DrawThemed(CXTPMarkupGdiPainter* pPainter, const Geometry& g);
    void DrawClassic(CXTPMarkupGdiPainter* pPainter, const Geometry& g);

    int m_nOrientation;
    ScrollInfo m_info;
    Part m_nHotPart;
    std::unique_ptr<Tracking> m_pTracking; // during a mouse operation only
    CXTPThemeHandle m_theme;               // opened again at every measure
};
