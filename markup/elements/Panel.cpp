#include "markup/elements/Panel.h"

#include "markup/elements/UIElementCollection.h"

#include "markup/elements/Painter.h"

#include "markup/model/Brush.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Panel", CXTPMarkupPanel, CXTPMarkupFrameworkElement)

CXTPMarkupDependencyProperty* CXTPMarkupPanel::m_pBackgroundProperty = nullptr;

void CXTPMarkupPanel::RegisterMarkupProperties()
{
    // A colour text converts through the brush type itself.
    m_pBackgroundProperty = CXTPMarkupDependencyProperty::Register(
        L"Background", MARKUP_TYPE(CXTPMarkupBrush), MARKUP_TYPE(CXTPMarkupPanel),
        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsRender));
}

CXTPMarkupPanel::CXTPMarkupPanel() : m_pChildren(new CXTPMarkupUIElementCollection())
{
    m_pChildren->SetLogicalParent(this);
}

CXTPMarkupPanel::~CXTPMarkupPanel()
{
    m_pChildren->SetLogicalParent(nullptr);
    m_pChildren->Release();
}

CXTPMarkupBrush* CXTPMarkupPanel::GetBackground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pBackgroundProperty));
}

void CXTPMarkupPanel::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    m_pChildren->AddContent(pBuilder, pContent);
}

BOOL CXTPMarkupPanel::HasContent() const
{
    return m_pChildren->GetCount() > 0;
}

int CXTPMarkupPanel::GetChildCount() const
{
    return m_pChildren->GetCount();
}

CXTPMarkupVisual* CXTPMarkupPanel::GetChild(int nIndex) const
{
    return m_pChildren->GetElement(nIndex);
}

void CXTPMarkupPanel::DrawContent(CXTPMarkupPainter* pPainter)
{
    CXTPMarkupBrush* pBackground = GetBackground();
    if (pBackground && m_szArranged.cx > 0 && m_szArranged.cy > 0)
        pPainter->FillRectangle(pBackground, 0, 0, m_szArranged.cx, m_szArranged.cy);
}

CXTPMarkupInputElement* CXTPMarkupPanel::HitTestSelf(int /*x*/, int /*y*/)
{
    return GetBackground() ? this : nullptr;
}
