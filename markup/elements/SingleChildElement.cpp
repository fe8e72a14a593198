#include "markup/elements/SingleChildElement.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupSingleChildElement, CXTPMarkupFrameworkElement)

CXTPMarkupSingleChildElement::CXTPMarkupSingleChildElement() : m_pChild(nullptr) {}

CXTPMarkupSingleChildElement::~CXTPMarkupSingleChildElement()
{
    ReplaceChild(this, m_pChild, nullptr);
}

void CXTPMarkupSingleChildElement::SetChild(CXTPMarkupUIElement* pChild)
{
    ReplaceChild(this, m_pChild, pChild);
    InvalidateMeasure();
}

void CXTPMarkupSingleChildElement::ReplaceChild(CXTPMarkupObject* pOwner, CXTPMarkupUIElement*& pChild,
                                                CXTPMarkupUIElement* pNew)
{
    CXTPMarkupUIElement* pOld = pChild;
    pChild = pNew;
    if (pNew)
        pNew->SetLogicalParent(pOwner);
    if (!pOld)
        return;
    // A child kept alive elsewhere must not point back at a parent that may
    // be gone.
    if (pOld != pNew && pOld->GetLogicalParent() == pOwner)
        pOld->SetLogicalParent(nullptr);
    pOld->Release();
}

void CXTPMarkupSingleChildElement::AddSingleContent(CXTPMarkupObject* pOwner, CXTPMarkupUIElement*& pChild,
                                                    CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    CheckSingleContent(pOwner, pChild != nullptr, pContent);
    content.Detach();
    ReplaceChild(pOwner, pChild, static_cast<CXTPMarkupUIElement*>(pContent));
}

void CXTPMarkupSingleChildElement::CheckSingleContent(const CXTPMarkupObject* pOwner, BOOL bHasChild,
                                                      const CXTPMarkupObject* pContent)
{
    if (!MarkupCast<CXTPMarkupUIElement>(pContent))
    {
        throw CXTPMarkupBuilderException(
            "'%ls' object cannot be added to '%ls'. Object cannot be converted to type 'CXTPMarkupUIElement'",
            pContent ? pContent->GetType()->GetTypeName() : L"", pOwner->GetType()->GetTypeName());
    }
    if (bHasChild)
    {
        throw CXTPMarkupBuilderException("'%ls' already has a child and cannot add '%ls'. '%ls' can accept only "
                                         "one child.",
                                         pOwner->GetType()->GetTypeName(), pContent->GetType()->GetTypeName(),
                                         pOwner->GetType()->GetTypeName());
    }
}

void CXTPMarkupSingleChildElement::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    AddSingleContent(this, m_pChild, pContent);
}

BOOL CXTPMarkupSingleChildElement::HasContent() const
{
    return m_pChild != nullptr;
}

int CXTPMarkupSingleChildElement::GetChildCount() const
{
    return m_pChild ? 1 : 0;
}

CXTPMarkupVisual* CXTPMarkupSingleChildElement::GetChild(int nIndex) const
{
    return nIndex == 0 ? m_pChild : nullptr;
}
