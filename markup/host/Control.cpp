#include "markup/host/Control.h"

#include "markup/elements/Border.h"
#include "markup/elements/Panel.h"
#include "markup/elements/TextElement.h"

#include "markup/model/Brush.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Control", CXTPMarkupControl, CXTPMarkupFrameworkElement)

CXTPMarkupDependencyProperty* CXTPMarkupControl::m_pPaddingProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupControl::m_pBackgroundProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupControl::m_pForegroundProperty = nullptr;

void CXTPMarkupControl::RegisterMarkupProperties()
{
    // The records are shared, so the owners must have made them first
    // whatever order the types were listed in.
    MARKUP_TYPE(CXTPMarkupBorder)->EnsureInitialized();
    MARKUP_TYPE(CXTPMarkupPanel)->EnsureInitialized();
    MARKUP_TYPE(CXTPMarkupTextElement)->EnsureInitialized();

    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupControl);
    m_pPaddingProperty = CXTPMarkupBorder::m_pPaddingProperty->AddOwner(pOwner);
    m_pBackgroundProperty = CXTPMarkupPanel::m_pBackgroundProperty->AddOwner(pOwner);
    m_pForegroundProperty = CXTPMarkupTextElement::m_pForegroundProperty->AddOwner(pOwner);
}

CXTPMarkupControl::CXTPMarkupControl() {}

const CXTPMarkupThickness* CXTPMarkupControl::GetPadding() const
{
    static const CXTPMarkupThickness* const s_pZero = CXTPMarkupThickness::CreateZeroValue();
    const CXTPMarkupThickness* pPadding = MarkupCast<CXTPMarkupThickness>(GetValue(m_pPaddingProperty));
    return pPadding ? pPadding : s_pZero;
}

CXTPMarkupBrush* CXTPMarkupControl::GetBackground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pBackgroundProperty));
}

CXTPMarkupBrush* CXTPMarkupControl::GetForeground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pForegroundProperty));
}

CXTPMarkupUIElement* CXTPMarkupControl::GetFirstChild() const
{
    return GetChildCount() > 0 ? MarkupCast<CXTPMarkupUIElement>(GetChild(0)) : nullptr;
}

SIZE CXTPMarkupControl::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    CXTPMarkupUIElement* pChild = GetFirstChild();
    if (!pChild)
        return SIZE{0, 0};
    pChild->Measure(pPainter, cxConstraint, cyConstraint);
    return pChild->GetMeasuredSize();
}

SIZE CXTPMarkupControl::ArrangeContent(int cx, int cy)
{
    if (CXTPMarkupUIElement* pChild = GetFirstChild())
        pChild->Arrange(RECT{0, 0, cx, cy});
    return SIZE{cx, cy};
}
