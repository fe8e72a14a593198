#include "markup/elements/WrapPanel.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/UIElementCollection.h"

#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <algorithm>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"WrapPanel", CXTPMarkupWrapPanel, CXTPMarkupPanel)

CXTPMarkupDependencyProperty* CXTPMarkupWrapPanel::m_pOrientationProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupWrapPanel::m_pItemWidthProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupWrapPanel::m_pItemHeightProperty = nullptr;

void CXTPMarkupWrapPanel::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupWrapPanel);
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;

    // A record of its own: the same name and texts as the stack panel's, but
    // another default.
    m_pOrientationProperty =
        Property::Register(L"Orientation", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                           new Options(nullptr, &CXTPMarkupConverter::ConvertOrientation, Options::AffectsMeasure));
    m_pItemWidthProperty = Property::Register(L"ItemWidth", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                              new Options(nullptr, Options::AffectsMeasure));
    m_pItemHeightProperty = Property::Register(L"ItemHeight", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                               new Options(nullptr, Options::AffectsMeasure));
}

CXTPMarkupWrapPanel::CXTPMarkupWrapPanel() {}

int CXTPMarkupWrapPanel::GetOrientation() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pOrientationProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupOrientationHorizontal;
}

BOOL CXTPMarkupWrapPanel::GetItemExtent(const CXTPMarkupDependencyProperty* pProperty, int& nExtent) const
{
    const CXTPMarkupInt* pValue = MarkupCast<CXTPMarkupInt>(GetValue(pProperty));
    if (!pValue)
        return FALSE;
    // A negative slot would lay items out backwards over each other.
    nExtent = std::max(0, static_cast<int>(*pValue));
    return TRUE;
}

SIZE CXTPMarkupWrapPanel::GetItemSize(const CXTPMarkupUIElement* pChild) const
{
    SIZE szItem = pChild->GetMeasuredSize();
    int nExtent;
    if (GetItemExtent(m_pItemWidthProperty, nExtent))
        szItem.cx = nExtent;
    if (GetItemExtent(m_pItemHeightProperty, nExtent))
        szItem.cy = nExtent;
    return szItem;
}

SIZE CXTPMarkupWrapPanel::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    const BOOL bHorizontal = GetOrientation() == xtpMarkupOrientationHorizontal;
    const int nLineLimit = bHorizontal ? cxConstraint : cyConstraint;
    int cxChild = cxConstraint;
    int cyChild = cyConstraint;
    GetItemExtent(m_pItemWidthProperty, cxChild);
    GetItemExtent(m_pItemHeightProperty, cyChild);

    int nLineLength = 0;
    int nLineThickness = 0;
    int nFinishedThickness = 0;
    int nLongestLine = 0;
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        pChild->Measure(pPainter, cxChild, cyChild);
        const SIZE szItem = GetItemSize(pChild);
        const int nAlong = bHorizontal ? szItem.cx : szItem.cy;
        const int nAcross = bHorizontal ? szItem.cy : szItem.cx;
        if (Add(nLineLength, nAlong) > nLineLimit)
        {
            nLongestLine = std::max(nLongestLine, nLineLength);
            nFinishedThickness = Add(nFinishedThickness, nLineThickness);
            nLineLength = nAlong;
            nLineThickness = nAcross;
        }
        else
        {
            nLineLength = Add(nLineLength, nAlong);
            nLineThickness = std::max(nLineThickness, nAcross);
        }
    }
    nLongestLine = std::max(nLongestLine, nLineLength);
    const int nThickness = Add(nFinishedThickness, nLineThickness);
    return bHorizontal ? SIZE{nLongestLine, nThickness} : SIZE{nThickness, nLongestLine};
}

SIZE CXTPMarkupWrapPanel::ArrangeContent(int cx, int cy)
{
    const BOOL bHorizontal = GetOrientation() == xtpMarkupOrientationHorizontal;
    const int nLineLimit = bHorizontal ? cx : cy;
    int nLineStart = 0;
    int nLineLength = 0;
    int nLineThickness = 0;
    int nLinePosition = 0;
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    const int nCount = pChildren->GetCount();
    for (int i = 0; i < nCount; ++i)
    {
        const CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        const SIZE szItem = GetItemSize(pChild);
        const int nAlong = bHorizontal ? szItem.cx : szItem.cy;
        const int nAcross = bHorizontal ? szItem.cy : szItem.cx;
        if (Add(nLineLength, nAlong) > nLineLimit)
        {
            ArrangeLine(bHorizontal, nLinePosition, nLineThickness, nLineStart, i);
            nLinePosition = Add(nLinePosition, nLineThickness);
            nLineStart = i;
            nLineLength = nAlong;
            nLineThickness = nAcross;
        }
        else
        {
            nLineLength = Add(nLineLength, nAlong);
            nLineThickness = std::max(nLineThickness, nAcross);
        }
    }
    ArrangeLine(bHorizontal, nLinePosition, nLineThickness, nLineStart, nCount);
    return {cx, cy};
}

void CXTPMarkupWrapPanel::ArrangeLine(BOOL bHorizontal, int nLinePosition, int nLineThickness, int nFirst, int nEnd)
{
    const int nLineEnd = Add(nLinePosition, nLineThickness);
    int nPosition = 0;
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = nFirst; i < nEnd; ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        const SIZE szItem = GetItemSize(pChild);
        const int nAlong = bHorizontal ? szItem.cx : szItem.cy;
        const int nNext = Add(nPosition, nAlong);
        const RECT rc = bHorizontal ? RECT{nPosition, nLinePosition, nNext, nLineEnd}
                                    : RECT{nLinePosition, nPosition, nLineEnd, nNext};
        pChild->Arrange(rc);
        nPosition = nNext;
    }
}
