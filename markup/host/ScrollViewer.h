// Shows its content through a viewport, with a vertical and a horizontal
// scroll bar when asked for or when the content does not fit, and scrolls it
// by the bars and the mouse wheel.
#pragma once

#include "markup/host/ContentControl.h"

class CXTPMarkupScrollBar;
class CXTPMarkupScrollBarGripper;

class CXTPMarkupScrollViewer : public CXTPMarkupContentControl
{
    DECLARE_MARKUPCLASS(CXTPMarkupScrollViewer)
public:
    // Pixels one wheel message scrolls, whatever its delta.
    static constexpr int kWheelStep = 48;
    // Pixels an arrow click scrolls.
    static constexpr int kLineStep = 16;

    // Enum (xtpMarkupScrollBar...), re-measure. Unset, the vertical one reads
    // Visible and the horizontal one Disabled.
    static CXTPMarkupDependencyProperty* m_pVerticalScrollBarVisibilityProperty;
    static CXTPMarkupDependencyProperty* m_pHorizontalScrollBarVisibilityProperty;
    static void RegisterMarkupProperties();

    CXTPMarkupScrollViewer();
    ~CXTPMarkupScrollViewer() override;

    int GetVerticalScrollBarVisibility() const;
    int GetHorizontalScrollBarVisibility() const;

    // A command of a bar (SB_LINEUP ... SB_ENDSCROLL) for orientation SB_VERT
    // or SB_HORZ; nValue is the thumb value of SB_THUMBPOSITION and
    // SB_THUMBTRACK.
    void Scroll(int nCommand, int nOrientation, int nValue);
    // Moves the content to nOffset, kept between 0 and the last position of
    // that orientation's bar (0 without one).
    void SetScrollOffset(int nOrientation, int nOffset);
    int GetVerticalOffset() const { return m_nVerticalOffset; }
    int GetHorizontalOffset() const { return m_nHorizontalOffset; }

    // Borrowed; null when the last measure left them out.
    CXTPMarkupScrollBar* GetVerticalScrollBar() const { return m_pVerticalBar; }
    CXTPMarkupScrollBar* GetHorizontalScrollBar() const { return m_pHorizontalBar; }
    CXTPMarkupScrollBarGripper* GetGripper() const { return m_pGripper; }

    // The content, the vertical bar, the horizontal bar and the gripper,
    // each when present.
    int GetChildCount() const override;
    CXTPMarkupVisual* GetChild(int nIndex) const override;

protected:
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    SIZE ArrangeContent(int cx, int cy) override;
    void OnMouseWheel(CXTPMarkupEventArgs* pArgs) override;

private:
    // The bar of that orientation, made when missing.
    CXTPMarkupScrollBar* EnsureBar(CXTPMarkupScrollBar*& pBar, int nOrientation);
    void DropBar(CXTPMarkupScrollBar*& pBar);
    void SetGripper(BOOL bPresent);
    // The furthest the content can scroll: maximum - page + 1, at least 0.
    static int LastPosition(const CXTPMarkupScrollBar* pBar);

    CXTPMarkupScrollBar* m_pVerticalBar;    // held
    CXTPMarkupScrollBar* m_pHorizontalBar;  // held
    CXTPMarkupScrollBarGripper* m_pGripper; // held
    int m_nHorizontalOffset;
    int m_nVerticalOffset;
};
