#include "markup/elements/InlineUIContainer.h"

#include "markup/elements/UIElement.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"InlineUIContainer", CXTPMarkupInlineUIContainer, CXTPMarkupInline)

CXTPMarkupInlineUIContainer::CXTPMarkupInlineUIContainer() : m_pChild(nullptr) {}

CXTPMarkupInlineUIContainer::~CXTPMarkupInlineUIContainer()
{
    SetChild(nullptr);
}

void CXTPMarkupInlineUIContainer::SetChild(CXTPMarkupUIElement* pChild)
{
    CXTPMarkupUIElement* pOld = m_pChild;
    m_pChild = pChild;
    if (pChild)
        pChild->SetLogicalParent(this);
    if (pOld)
    {
        if (pOld->GetLogicalParent() == this)
            pOld->SetLogicalParent(nullptr);
        pOld->Release();
    }
}

void CXTPMarkupInlineUIContainer::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    if (MarkupCast<CXTPMarkupUIElement>(pContent))
    {
        SetChild(static_cast<CXTPMarkupUIElement*>(content.Detach()));
        return;
    }
    throw CXTPMarkupBuilderException("'%ls' object cannot be added to '%ls'. Object cannot be converted to type "
                                     "'CXTPMarkupUIElement'",
                                     pContent ? pContent->GetType()->GetTypeName() : L"", GetType()->GetTypeName());
}

BOOL CXTPMarkupInlineUIContainer::HasContent() const
{
    return m_pChild != nullptr;
}

int CXTPMarkupInlineUIContainer::GetLogicalChildCount() const
{
    return m_pChild ? 1 : 0;
}

CXTPMarkupObject* CXTPMarkupInlineUIContainer::GetLogicalChild(int nIndex) const
{
    return nIndex == 0 ? m_pChild : nullptr;
}

int CXTPMarkupInlineUIContainer::GetTextStart() const
{
    return m_pChild ? 0 : kEnd;
}

int CXTPMarkupInlineUIContainer::Advance(int nPos) const
{
    return nPos == 0 ? 1 : kEnd;
}

BOOL CXTPMarkupInlineUIContainer::IsWhiteSpaceAt(int nPos) const
{
    return nPos == 0 || nPos == 1;
}

void CXTPMarkupInlineUIContainer::ArrangeRange(const RECT& rc, int nStart, int /*nEnd*/)
{
    if (nStart == 0 && m_pChild)
        m_pChild->Arrange(rc);
}

SIZE CXTPMarkupInlineUIContainer::MeasureRange(CXTPMarkupPainter* pPainter, int nStart, int /*nEnd*/)
{
    if (nStart != 0 || !m_pChild)
        return {0, 0};
    m_pChild->Measure(pPainter, kMeasureExtent, kMeasureExtent);
    return m_pChild->GetMeasuredSize();
}

void CXTPMarkupInlineUIContainer::RenderRange(CXTPMarkupPainter* pPainter, const RECT& /*rc*/, int nStart, int /*nEnd*/)
{
    if (nStart == 0 && m_pChild)
        m_pChild->Render(pPainter);
}

CXTPMarkupInputElement* CXTPMarkupInlineUIContainer::HitTest(int x, int y)
{
    if (m_pChild)
    {
        if (CXTPMarkupInputElement* pHit = m_pChild->HitTest(x, y))
            return pHit;
    }
    return this;
}
