#include "markup/host/ScrollViewer.h"

#include "markup/elements/LayoutExtent.h"

#include "markup/elements/EventArgs.h"
#include "markup/host/ScrollBar.h"
#include "markup/host/ScrollBarGripper.h"

#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <algorithm>

IMPLEMENT_MARKUPCLASS(L"ScrollViewer", CXTPMarkupScrollViewer, CXTPMarkupContentControl)

CXTPMarkupDependencyProperty* CXTPMarkupScrollViewer::m_pVerticalScrollBarVisibilityProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupScrollViewer::m_pHorizontalScrollBarVisibilityProperty = nullptr;

void CXTPMarkupScrollViewer::RegisterMarkupProperties()
{
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupScrollViewer);
    m_pVerticalScrollBarVisibilityProperty = Property::Register(
        L"VerticalScrollBarVisibility", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
        new Options(nullptr, &CXTPMarkupConverter::ConvertScrollBarVisibility, Options::AffectsMeasure));
    m_pHorizontalScrollBarVisibilityProperty = Property::Register(
        L"HorizontalScrollBarVisibility", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
        new Options(nullptr, &CXTPMarkupConverter::ConvertScrollBarVisibility, Options::AffectsMeasure));
}

CXTPMarkupScrollViewer::CXTPMarkupScrollViewer()
    : m_pVerticalBar(nullptr), m_pHorizontalBar(nullptr), m_pGripper(nullptr), m_nHorizontalOffset(0),
      m_nVerticalOffset(0)
{
    SetValue(m_pClipToBoundsProperty, CXTPMarkupBool::CreateTrueValue());
}

CXTPMarkupScrollViewer::~CXTPMarkupScrollViewer()
{
    DropBar(m_pVerticalBar);
    DropBar(m_pHorizontalBar);
    SetGripper(FALSE);
}

int CXTPMarkupScrollViewer::GetVerticalScrollBarVisibility() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pVerticalScrollBarVisibilityProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupScrollBarVisible;
}

int CXTPMarkupScrollViewer::GetHorizontalScrollBarVisibility() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pHorizontalScrollBarVisibilityProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupScrollBarDisabled;
}

int CXTPMarkupScrollViewer::GetChildCount() const
{
    return (GetContent() ? 1 : 0) + (m_pVerticalBar ? 1 : 0) + (m_pHorizontalBar ? 1 : 0) + (m_pGripper ? 1 : 0);
}

CXTPMarkupVisual* CXTPMarkupScrollViewer::GetChild(int nIndex) const
{
    CXTPMarkupVisual* const children[] = {GetContent(), m_pVerticalBar, m_pHorizontalBar, m_pGripper};
    for (CXTPMarkupVisual* pChild : children)
    {
        if (pChild && nIndex-- == 0)
            return pChild;
    }
    return nullptr;
}

CXTPMarkupScrollBar* CXTPMarkupScrollViewer::EnsureBar(CXTPMarkupScrollBar*& pBar, int nOrientation)
{
    if (!pBar)
    {
        pBar = MarkupCast<CXTPMarkupScrollBar>(
            CXTPMarkupType::CreateObject(GetMarkupContext(), MARKUP_TYPE(CXTPMarkupScrollBar)));
        if (!pBar)
            return nullptr;
        pBar->SetOrientation(nOrientation);
        pBar->SetLogicalParent(this);
    }
    return pBar;
}

void CXTPMarkupScrollViewer::DropBar(CXTPMarkupScrollBar*& pBar)
{
    CXTPMarkupScrollBar* pOld = std::exchange(pBar, nullptr);
    if (!pOld)
        return;
    pOld->CancelTracking();
    pOld->SetLogicalParent(nullptr);
    pOld->Release();
}

void CXTPMarkupScrollViewer::SetGripper(BOOL bPresent)
{
    if (bPresent && !m_pGripper)
    {
        m_pGripper = MarkupCast<CXTPMarkupScrollBarGripper>(
            CXTPMarkupType::CreateObject(GetMarkupContext(), MARKUP_TYPE(CXTPMarkupScrollBarGripper)));
        if (m_pGripper)
            m_pGripper->SetLogicalParent(this);
    }
    else if (!bPresent && m_pGripper)
    {
        CXTPMarkupScrollBarGripper* pOld = std::exchange(m_pGripper, nullptr);
        pOld->SetLogicalParent(nullptr);
        pOld->Release();
    }
}

SIZE CXTPMarkupScrollViewer::MeasureContent(CXTPMarkupPainter* pPainter, int cxAvailable, int cyAvailable)
{
    using XTPMarkupLayout::kUnbounded;
    CXTPMarkupUIElement* pContent = GetContent();
    if (!pContent)
        return SIZE{0, 0};

    const int nVertical = GetVerticalScrollBarVisibility();
    const int nHorizontal = GetHorizontalScrollBarVisibility();
    int cxContent = nHorizontal != xtpMarkupScrollBarDisabled ? kUnbounded : cxAvailable;
    int cyContent = kUnbounded;

    BOOL bVertical = nVertical == xtpMarkupScrollBarVisible;
    if (nVertical == xtpMarkupScrollBarAuto)
    {
        pContent->Measure(pPainter, cxContent, kUnbounded);
        bVertical = pContent->GetMeasuredSize().cy > cyAvailable;
    }
    int cxBar = 0;
    if (bVertical && EnsureBar(m_pVerticalBar, SB_VERT))
    {
        m_pVerticalBar->Measure(pPainter, cxAvailable, cyAvailable);
        cxBar = m_pVerticalBar->GetMeasuredSize().cx;
        if (cxContent != kUnbounded)
            cxContent = std::max(0, cxContent - cxBar);
    }
    else
    {
        DropBar(m_pVerticalBar);
        m_nVerticalOffset = 0;
        cyContent = nVertical == xtpMarkupScrollBarDisabled ? cyAvailable : kUnbounded;
    }

    BOOL bHorizontal = nHorizontal == xtpMarkupScrollBarVisible;
    if (nHorizontal == xtpMarkupScrollBarAuto)
    {
        pContent->Measure(pPainter, cxContent, cyContent);
        bHorizontal = pContent->GetMeasuredSize().cx > XTPMarkupLayout::Subtract(cxAvailable, cxBar);
    }
    int cyBar = 0;
    if (bHorizontal && EnsureBar(m_pHorizontalBar, SB_HORZ))
    {
        m_pHorizontalBar->Measure(pPainter, cxAvailable, cyAvailable);
        cyBar = m_pHorizontalBar->GetMeasuredSize().cy;
        if (cyContent != kUnbounded)
            cyContent = std::max(0, cyContent - cyBar);
    }
    else
    {
        DropBar(m_pHorizontalBar);
        m_nHorizontalOffset = 0;
    }

    SetGripper(m_pVerticalBar && m_pHorizontalBar);
    if (m_pGripper)
        m_pGripper->Measure(pPainter, cxBar, cyBar);

    pContent->Measure(pPainter, cxContent, cyContent);
    const SIZE szContent = pContent->GetMeasuredSize();
    return SIZE{std::min(cxAvailable, XTPMarkupLayout::Add(szContent.cx, cxBar)),
                std::min(cyAvailable, XTPMarkupLayout::Add(szContent.cy, cyBar))};
}

SIZE CXTPMarkupScrollViewer::ArrangeContent(int cx, int cy)
{
    CXTPMarkupUIElement* pContent = GetContent();
    const SIZE szMeasured = pContent ? pContent->GetMeasuredSize() : SIZE{0, 0};
    const int cxContent = szMeasured.cx;
    const int cyContent = szMeasured.cy;
    const int cxBar = m_pVerticalBar ? m_pVerticalBar->GetMeasuredSize().cx : 0;
    const int cyBar = m_pHorizontalBar ? m_pHorizontalBar->GetMeasuredSize().cy : 0;
    const int cxView = cx - cxBar;
    const int cyView = cy - cyBar;

    if (m_pVerticalBar)
    {
        // Content that shrank, or a viewport that grew, pulls the view back
        // so that no empty space shows below the content.
        if (m_nVerticalOffset > 0 && cyContent < static_cast<long long>(cyView) + m_nVerticalOffset)
            m_nVerticalOffset = std::max(0, cyContent - cyView);
        m_pVerticalBar->SetScrollInfo(0, cyContent - 1, cyView, m_nVerticalOffset);
        m_pVerticalBar->Arrange(RECT{cx - cxBar, 0, cx, cyView});
    }
    if (m_pHorizontalBar)
    {
        if (m_nHorizontalOffset > 0 && cxContent < static_cast<long long>(cxView) + m_nHorizontalOffset)
            m_nHorizontalOffset = std::max(0, cxContent - cxView);
        m_pHorizontalBar->SetScrollInfo(0, cxContent - 1, cxView, m_nHorizontalOffset);
        m_pHorizontalBar->Arrange(RECT{0, cy - cyBar, cxView, cy});
    }
    if (m_pGripper)
        m_pGripper->Arrange(RECT{cx - cxBar, cy - cyBar, cx, cy});

    if (pContent)
    {
        RECT rc = {0, 0, std::max(cxView, cxContent), std::max(cyView, cyContent)};
        OffsetRect(&rc, -m_nHorizontalOffset, -m_nVerticalOffset);
        pContent->Arrange(rc);
    }
    return SIZE{cx, cy};
}

int CXTPMarkupScrollViewer::LastPosition(const CXTPMarkupScrollBar* pBar)
{
    if (!pBar)
        return 0;
    const CXTPMarkupScrollBar::ScrollInfo& info = pBar->GetScrollInfo();
    return std::max(0, info.nMax - (info.nPage >= 2 ? info.nPage - 1 : 0));
}

void CXTPMarkupScrollViewer::Scroll(int nCommand, int nOrientation, int nValue)
{
    const CXTPMarkupScrollBar* pBar = nOrientation == SB_VERT ? m_pVerticalBar : m_pHorizontalBar;
    if (!pBar)
        return;
    const CXTPMarkupScrollBar::ScrollInfo& info = pBar->GetScrollInfo();
    const int nLast = LastPosition(pBar);
    // Steps are summed wide: near the end of content about 2^31 pixels tall
    // a 32-bit sum would wrap round to the top.
    const long long nFrom = info.nPos;
    int nPos = info.nPos;
    switch (nCommand)
    {
    case SB_LINEUP: nPos = XTPMarkupLayout::Clamp(std::max(0LL, nFrom - kLineStep)); break;
    case SB_LINEDOWN: nPos = XTPMarkupLayout::Clamp(std::min<long long>(nLast, nFrom + kLineStep)); break;
    case SB_PAGEUP: nPos = XTPMarkupLayout::Clamp(std::max(0LL, nFrom - info.nPage)); break;
    case SB_PAGEDOWN: nPos = XTPMarkupLayout::Clamp(std::min<long long>(nLast, nFrom + info.nPage)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: nPos = nValue; break;
    case SB_TOP: nPos = 0; break;
    case SB_BOTTOM: nPos = nLast; break;
    default: return;
    }
    SetScrollOffset(nOrientation, nPos);
}

void CXTPMarkupScrollViewer::SetScrollOffset(int nOrientation, int nOffset)
{
    const BOOL bVertical = nOrientation == SB_VERT;
    const int nLast = LastPosition(bVertical ? m_pVerticalBar : m_pHorizontalBar);
    nOffset = std::clamp(nOffset, 0, nLast);
    int& nCurrent = bVertical ? m_nVerticalOffset : m_nHorizontalOffset;
    if (nOffset == nCurrent)
        return;
    nCurrent = nOffset;
    InvalidateArrange();
}

void CXTPMarkupScrollViewer::OnMouseWheel(CXTPMarkupEventArgs* pArgs)
{
    SetScrollOffset(SB_VERT, XTPMarkupLayout::Clamp(static_cast<long long>(m_nVerticalOffset)
                                                    + (pArgs->m_nWheelDelta < 0 ? kWheelStep : -kWheelStep)));
    pArgs->m_bHandled = TRUE;
}
