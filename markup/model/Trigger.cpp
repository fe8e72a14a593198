#include "markup/model/Trigger.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Trigger", CXTPMarkupTrigger, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupTriggerCollection, CXTPMarkupCollection)

CXTPMarkupDependencyProperty* CXTPMarkupTrigger::m_pPropertyProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTrigger::m_pValueProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTrigger::m_pSettersProperty = nullptr;

void CXTPMarkupTrigger::RegisterMarkupProperties()
{
    MARKUP_TYPE(CXTPMarkupSetter)->EnsureInitialized();
    m_pPropertyProperty = CXTPMarkupSetter::m_pPropertyProperty->AddOwner(MARKUP_TYPE(CXTPMarkupTrigger));
    m_pValueProperty = CXTPMarkupSetter::m_pValueProperty->AddOwner(MARKUP_TYPE(CXTPMarkupTrigger));
    m_pSettersProperty = CXTPMarkupDependencyProperty::Register(L"Setters", MARKUP_TYPE(CXTPMarkupSetterColection),
                                                                MARKUP_TYPE(CXTPMarkupTrigger));
}

CXTPMarkupTrigger::CXTPMarkupTrigger() {}

CXTPMarkupDependencyProperty* CXTPMarkupTrigger::GetTriggerProperty() const
{
    return MarkupCast<CXTPMarkupDependencyProperty>(GetValue(m_pPropertyProperty));
}

CXTPMarkupObject* CXTPMarkupTrigger::GetTriggerValue() const
{
    return GetValue(m_pValueProperty);
}

CXTPMarkupSetterColection* CXTPMarkupTrigger::GetSetters() const
{
    return MarkupCast<CXTPMarkupSetterColection>(GetValue(m_pSettersProperty));
}

void CXTPMarkupTrigger::Resolve(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupType* pTargetType)
{
    CXTPMarkupSetter::ResolvePair(this, pBuilder, pTargetType);
    if (CXTPMarkupSetterColection* pSetters = GetSetters())
    {
        for (int i = 0; i < pSetters->GetCount(); ++i)
            pSetters->GetSetter(i)->Resolve(pBuilder, pTargetType);
    }
}

CXTPMarkupTriggerCollection::CXTPMarkupTriggerCollection() : CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupTrigger)) {}

CXTPMarkupTrigger* CXTPMarkupTriggerCollection::GetTrigger(int nIndex) const
{
    return static_cast<CXTPMarkupTrigger*>(GetItem(nIndex));
}
