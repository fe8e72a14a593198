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
    : m_pSetters(new CXTPMarkupSetterColection()), m_bSealed(FALSE), m_pSealedValues(nullptr), m_bSealing(FALSE)
{
    m_pSetters->SetLogicalParent(this);
}

CXTPMarkupStyle::~CXTPMarkupStyle()
{
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
        const CXTPMarkupStyle* pBase = MarkupCast<CXTPMarkupStyle>(pValue);
        if (pBase && (pBase == this || pBase->IsBasedOnChainThrough(this)))
            throw CXTPMarkupBuilderException("Style cannot be based on itself: its BasedOn chain leads back to it");
    }
    CXTPMarkupObject::ApplyMarkupValue(pBuilder, pProperty, value.Detach());
}

BOOL CXTPMarkupStyle::IsBasedOnChainThrough(const CXTPMarkupStyle* pStyle) const
{
    // Styles built in code may already form a loop further up; the walk
    // stops at the first style it meets twice.
    std::vector<const CXTPMarkupStyle*> seen;
    for (const CXTPMarkupStyle* pBase = GetBasedOn(); pBase; pBase = pBase->GetBasedOn())
    {
        if (pBase == pStyle)
            return TRUE;
        for (const CXTPMarkupStyle* pSeen : seen)
        {
            if (pSeen == pBase)
                return FALSE;
        }
        seen.push_back(pBase);
    }
    return FALSE;
}

void CXTPMarkupStyle::AddSetter(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue)
{
    m_pSetters->Add(new CXTPMarkupSetter(pProperty, pValue));
}

void CXTPMarkupStyle::Seal()
{
    if (m_bSealed || m_bSealing)
        return;
    m_bSealing = TRUE;

    m_pSealedValues = new CXTPMarkupPropertyStore();
    // A sealed style is shared by every element that uses it and belongs to
    // none of them.
    SetLogicalParent(nullptr);

    if (CXTPMarkupStyle* pBase = GetBasedOn())
    {
        pBase->Seal();
        // A base that is still being sealed is this style's own chain looping
        // back; its values are not complete, so they are left out.
        if (pBase->m_bSealed)
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
