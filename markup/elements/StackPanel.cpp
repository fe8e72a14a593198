#include "markup/elements/StackPanel.h"

#include "markup/elements/LayoutExtent.h"
#include "markup/elements/UIElementCollection.h"

#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <algorithm>

using namespace XTPMarkupLayout;

IMPLEMENT_MARKUPCLASS(L"StackPanel", CXTPMarkupStackPanel, CXTPMarkupPanel)

CXTPMarkupDependencyProperty* CXTPMarkupStackPanel::m_pOrientationProperty = nullptr;

void CXTPMarkupStackPanel::RegisterMarkupProperties()
{
    m_pOrientationProperty = CXTPMarkupDependencyProperty::Register(
        L"Orientation", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CXTPMarkupStackPanel),
        new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertOrientation,
                                      CXTPMarkupPropertyOptions::AffectsMeasure));
}

CXTPMarkupStackPanel::CXTPMarkupStackPanel() {}

int CXTPMarkupStackPanel::GetOrientation() const
{
    const CXTPMarkupEnum* pValue = MarkupCast<CXTPMarkupEnum>(GetValue(m_pOrientationProperty));
    return pValue ? static_cast<int>(*pValue) : xtpMarkupOrientationVertical;
}

SIZE CXTPMarkupStackPanel::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    const BOOL bHorizontal = GetOrientation() == xtpMarkupOrientationHorizontal;
    const int cxChild = bHorizontal ? kUnbounded : cxConstraint;
    const int cyChild = bHorizontal ? cyConstraint : kUnbounded;

    SIZE szTotal = {0, 0};
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        pChild->Measure(pPainter, cxChild, cyChild);
        const SIZE szChild = pChild->GetMeasuredSize();
        if (bHorizontal)
        {
            szTotal.cx = Add(szTotal.cx, szChild.cx);
            szTotal.cy = std::max(szTotal.cy, szChild.cy);
        }
        else
        {
            szTotal.cx = std::max(szTotal.cx, szChild.cx);
            szTotal.cy = Add(szTotal.cy, szChild.cy);
        }
    }
    return szTotal;
}

SIZE CXTPMarkupStackPanel::ArrangeContent(int cx, int cy)
{
    const BOOL bHorizontal = GetOrientation() == xtpMarkupOrientationHorizontal;
    int nPosition = 0;
    CXTPMarkupUIElementCollection* pChildren = GetChildren();
    for (int i = 0; i < pChildren->GetCount(); ++i)
    {
        CXTPMarkupUIElement* pChild = pChildren->GetElement(i);
        if (!pChild)
            continue;
        const SIZE szChild = pChild->GetMeasuredSize();
        if (bHorizontal)
        {
            const RECT rc = {nPosition, 0, Add(nPosition, szChild.cx), std::max<int>(cy, szChild.cy)};
            pChild->Arrange(rc);
            nPosition = Add(nPosition, szChild.cx);
        }
        else
        {
            const RECT rc = {0, nPosition, std::max<int>(cx, szChild.cx), Add(nPosition, szChild.cy)};
            pChild->Arrange(rc);
            nPosition = Add(nPosition, szChild.cy);
        }
    }
    return {cx, cy};
}
