#include "markup/elements/Page.h"

#include "markup/elements/SingleChildElement.h"

#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Page", CXTPMarkupPage, CXTPMarkupFrameworkElement)

CXTPMarkupPage::CXTPMarkupPage() : m_pChild(nullptr) {}

CXTPMarkupPage::~CXTPMarkupPage()
{
    CXTPMarkupSingleChildElement::ReplaceChild(this, m_pChild, nullptr);
}

void CXTPMarkupPage::SetChild(CXTPMarkupUIElement* pChild)
{
    CXTPMarkupSingleChildElement::ReplaceChild(this, m_pChild, pChild);
    InvalidateMeasure();
}

void CXTPMarkupPage::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupSingleChildElement::AddSingleContent(this, m_pChild, pContent);
}

BOOL CXTPMarkupPage::HasContent() const
{
    return m_pChild != nullptr;
}

int CXTPMarkupPage::GetChildCount() const
{
    return m_pChild ? 1 : 0;
}

CXTPMarkupVisual* CXTPMarkupPage::GetChild(int nIndex) const
{
    return nIndex == 0 ? m_pChild : nullptr;
}

SIZE CXTPMarkupPage::MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint)
{
    if (!m_pChild)
        return {0, 0};
    m_pChild->Measure(pPainter, cxConstraint, cyConstraint);
    return m_pChild->GetMeasuredSize();
}

SIZE CXTPMarkupPage::ArrangeContent(int cx, int cy)
{
    if (m_pChild)
        m_pChild->Arrange(RECT{0, 0, cx, cy});
    return {cx, cy};
}

CXTPMarkupInputElement* CXTPMarkupPage::HitTestSelf(int /*x*/, int /*y*/)
{
    return nullptr;
}
