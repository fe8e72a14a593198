#include "markup/model/Style.h"

#include "markup/model/BuilderException.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/PropertyStore.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/Type.h"

#include <vector>

IMPLEMENT_MARKUPCLASS(L"Style", CXTPMarkupStyle, CXTPMarkupObject)

CXTPMarkupDependencyProperty* CXTPMarkupStyle::m_pResourcesProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupStyle::m_pTargetTypeProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupStyle::m_pBasedOnProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupStyle::m_pTriggersProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupStyle::m_pElementStyleProperty = nullptr;

void CXTPMarkupStyle::RegisterMarkupProperties()
{
    m_pResourcesProperty = CXTPMarkupDependencyProperty::Register(
        L"Resources", MARKUP_TYPE(CXTPMarkupResourceDictionary), MARKUP_TYPE(CXTPMarkupStyle));
    m_pTargetTypeProperty = CXTPMarkupDependencyProperty::Register(L"TargetType", MARKUP_TYPE(CXTPMarkupType),
                                                                   MARKUP_TYPE(CXTPMarkupStyle));
    m_pBasedOnProperty =
        CXTPMarkupDependencyProperty::Register(L"BasedOn", MARKUP_TYPE(CXTPMarkupStyle), MARKUP_TYPE(CXTPMarkupStyle));
    m_pTriggersProperty = CXTPMarkupDependencyProperty::Register(L"Triggers", MARKUP_TYPE(CXTPMarkupTriggerCollection),
                                                                 MARKUP_TYPE(CXTPMarkupStyle));
}

CXTPMarkupStyle::CXTPMarkupStyle()
    : m_pSetters(new CXTPMarkupSetterColection()), m_bSealed(FALSE), m_pSealedValues(nullptr), m_bSealing(FALSE),
      m_bListed(FALSE), m_nDerivedStyles(0)
{
    m_pSetters->SetLogicalParent(this);
}

CXTPMarkupStyle::~CXTPMarkupStyle()
{
    if (CXTPMarkupStyle* pBase = GetBasedOn())
        pBase->m_nDerivedStyles--;
    m_pSetters->Release();
    if (m_pSealedValues)
        m_pSealedValues->Release();
}

CXTPMarkupType* CXTPMarkupStyle::GetTargetType() const
{
    return MarkupCast<CXTPMarkupType>(GetValue(m_pTargetTypeProperty));
}

CXTPMarkupStyle* CXTPMarkupStyle::GetBasedOn() const
{
    return MarkupCast<CXTPMarkupStyle>(GetValue(m_pBasedOnProperty));
}

CXTPMarkupTriggerCollection* CXTPMarkupStyle::GetTriggers() const
{
    return MarkupCast<CXTPMarkupTriggerCollection>(GetValue(m_pTriggersProperty));
}

CXTPMarkupResourceDictionary* CXTPMarkupStyle::GetResources() const
{
    return MarkupCast<CXTPMarkupResourceDictionary>(GetValue(m_pResourcesProperty));
}

CXTPMarkupObject* CXTPMarkupStyle::FindResource(const CXTPMarkupObject* pKey) const
{
    return CXTPMarkupResourceDictionary::FindResource(this, pKey);
}

void CXTPMarkupStyle::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    CXTPMarkupSetter* pSetter = MarkupCast<CXTPMarkupSetter>(pContent);
    if (!pSetter)
    {
        CXTPMarkupObject::AddContent(pBuilder, pContent);
        return;
    }
    CXTPMarkupPtr<CXTPMarkupSetter> setter(pSetter);
    pSetter->Resolve(pBuilder, GetTargetType());
    m_pSetters->Add(setter.Detach());
}

void CXTPMarkupStyle::ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                                       CXTPMarkupObject* pValue)
{
    CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
    if (pProperty == m_pTriggersProperty)
    {
        if (CXTPMarkupTriggerCollection* pTriggers = MarkupCast<CXTPMarkupTriggerCollection>(pValue))
        {
            for (int i = 0; i < pTriggers->GetCount(); ++i)
                pTriggers->GetTrigger(i)->Resolve(pBuilder, GetTargetType());
        }
    }
    else if (pProperty == m_pBasedOnProperty)
    {
        // Only a style that some style is already based on can close a loop;
        // a style being loaded has none, so long chains load in linear time.
        const CXTPMarkupStyle* pBase = MarkupCast<CXTPMarkupStyle>(pValue);
        if (pBase && (pBase == this || (m_nDerivedStyles > 0 && pBase->IsBasedOnChainThrough(this))))
            throw CXTPMarkupBuilderException("Style cannot be based on itself: its BasedOn chain leads back to it");
    }
    CXTPMarkupObject::ApplyMarkupValue(pBuilder, pProperty, value.Detach());
}

void CXTPMarkupStyle::OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                        CXTPMarkupObject* pNewValue)
{
    if (pProperty == m_pBasedOnProperty)
    {
        if (CXTPMarkupStyle* pOldBase = MarkupCast<CXTPMarkupStyle>(pOldValue))
            pOldBase->m_nDerivedStyles--;
        if (CXTPMarkupStyle* pNewBase = MarkupCast<CXTPMarkupStyle>(pNewValue))
            pNewBase->m_nDerivedStyles++;
    }
    CXTPMarkupObject::OnPropertyChanged(pProperty, pOldValue, pNewValue);
}

BOOL CXTPMarkupStyle::IsBasedOnChainThrough(const CXTPMarkupStyle* pStyle) const
{
    std::vector<CXTPMarkupStyle*> chain;
    GetBasedOnChain(chain);
    for (const CXTPMarkupStyle* pChainStyle : chain)
    {
        if (pChainStyle == pStyle)
            return TRUE;
    }
    return FALSE;
}

void CXTPMarkupStyle::GetBasedOnChain(std::vector<CXTPMarkupStyle*>& chain) const
{
    // Styles built in code may form a loop: each style is marked as it is
    // listed, so the walk stops at the first one it meets twice in one pass
    // over the chain rather than comparing with every style before it.
    chain.clear();
    for (CXTPMarkupStyle* pStyle = const_cast<CXTPMarkupStyle*>(this); pStyle && !pStyle->m_bListed;
         pStyle = pStyle->GetBasedOn())
    {
        pStyle->m_bListed = TRUE;
        chain.push_back(pStyle);
    }
    for (CXTPMarkupStyle* pStyle : chain)
        pStyle->m_bListed = FALSE;
}

void CXTPMarkupStyle::AddSetter(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue)
{
    m_pSetters->Add(new CXTPMarkupSetter(pProperty, pValue));
}

void CXTPMarkupStyle::Seal()
{
    if (m_bSealed || m_bSealing)
        return;
    // The chain is sealed from its deepest unsealed base up, in a loop rather
    // than by recursion, since chains may be thousands of styles long.
    std::vector<CXTPMarkupStyle*> chain;
    GetBasedOnChain(chain);
    size_t nUnsealed = 0;
    while (nUnsealed < chain.size() && !chain[nUnsealed]->m_bSealed)
        nUnsealed++;
    for (size_t i = 0; i < nUnsealed; i++)
        chain[i]->m_bSealing = TRUE;
    for (size_t i = nUnsealed; i-- > 0;)
        chain[i]->SealOverBase();
}

void CXTPMarkupStyle::SealOverBase()
{
    m_pSealedValues = new CXTPMarkupPropertyStore();
    // A sealed style is shared by every element that uses it and belongs to
    // none of them.
    SetLogicalParent(nullptr);

    // A base that is still being sealed is this style's own chain looping
    // back; its values are not complete, so they are left out.
    const CXTPMarkupStyle* pBase = GetBasedOn();
    if (pBase && pBase->m_bSealed)
    {
        const CXTPMarkupPropertyStore* pBaseValues = pBase->m_pSealedValues;
        for (int i = 0; i < pBaseValues->GetSize(); ++i)
        {
            if (CXTPMarkupObject* pValue = pBaseValues->GetAt(i))
            {
                pValue->AddRef();
                m_pSealedValues->SetAt(i, pValue);
            }
        }
    }

    for (int i = 0; i < m_pSetters->GetCount(); ++i)
    {
        const CXTPMarkupSetter* pSetter = m_pSetters->GetSetter(i);
        CXTPMarkupDependencyProperty* pProperty = pSetter->GetSetterProperty();
        CXTPMarkupObject* pValue = pSetter->GetSetterValue();
        if (pProperty && pValue)
        {
            pValue->AddRef();
            m_pSealedValues->Set(pProperty, pValue);
        }
    }

    m_bSealing = FALSE;
    m_bSealed = TRUE;
}

CXTPMarkupObject* CXTPMarkupStyle::GetStyleValue(const CXTPMarkupDependencyProperty* pProperty) const
{
    return m_pSealedValues && m_bSealed ? m_pSealedValues->Lookup(pProperty) : nullptr;
}
