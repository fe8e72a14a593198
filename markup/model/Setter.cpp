#include "markup/model/Setter.h"

#include "markup/model/BuilderException.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"Setter", CXTPMarkupSetter, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupSetterColection, CXTPMarkupCollection)

CXTPMarkupDependencyProperty* CXTPMarkupSetter::m_pPropertyProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupSetter::m_pValueProperty = nullptr;

void CXTPMarkupSetter::RegisterMarkupProperties()
{
    m_pPropertyProperty = CXTPMarkupDependencyProperty::Register(L"Property", MARKUP_TYPE(CXTPMarkupObject),
                                                                 MARKUP_TYPE(CXTPMarkupSetter));
    m_pValueProperty =
        CXTPMarkupDependencyProperty::Register(L"Value", MARKUP_TYPE(CXTPMarkupObject), MARKUP_TYPE(CXTPMarkupSetter));
}

namespace
{
const char kMissingPropertyOrValue[] = "Must specify both Property and Value for Setter.";
} // namespace

CXTPMarkupSetter::CXTPMarkupSetter() {}

CXTPMarkupSetter::CXTPMarkupSetter(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue)
{
    CXTPMarkupPtr<CXTPMarkupObject> value(pValue);
    if (pProperty)
        pProperty->AddRef();
    SetValue(m_pPropertyProperty, pProperty);
    SetValue(m_pValueProperty, value.Detach());
}

CXTPMarkupDependencyProperty* CXTPMarkupSetter::GetSetterProperty() const
{
    return MarkupCast<CXTPMarkupDependencyProperty>(GetValue(m_pPropertyProperty));
}

CXTPMarkupObject* CXTPMarkupSetter::GetSetterValue() const
{
    return GetValue(m_pValueProperty);
}

void CXTPMarkupSetter::Resolve(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupType* pTargetType)
{
    ResolvePair(this, pBuilder, pTargetType);
}

void CXTPMarkupSetter::ResolvePair(CXTPMarkupObject* pHolder, CXTPMarkupObjectBuilder* pBuilder,
                                   CXTPMarkupType* pTargetType)
{
    CXTPMarkupObject* pPropertyValue = pHolder->GetValue(m_pPropertyProperty);
    CXTPMarkupDependencyProperty* pProperty = MarkupCast<CXTPMarkupDependencyProperty>(pPropertyValue);
    if (!pProperty)
    {
        const CXTPMarkupString* pName = MarkupCast<CXTPMarkupString>(pPropertyValue);
        if (!pName)
            throw CXTPMarkupBuilderException(kMissingPropertyOrValue);

        // A plain name belongs to the target type; without one nothing has it.
        pProperty = CXTPMarkupDependencyProperty::FindMarkupProperty(pTargetType, pName->GetText());
        if (!pProperty)
            throw CXTPMarkupBuilderException("Cannot find the Style Property '%ls'", pName->GetText());
        pProperty->AddRef();
        pHolder->SetValue(m_pPropertyProperty, pProperty);
    }

    CXTPMarkupObject* pValue = pHolder->GetValue(m_pValueProperty);
    if (!pValue)
        throw CXTPMarkupBuilderException(kMissingPropertyOrValue);
    if (!pValue->IsKindOf(pProperty->GetPropertyType()))
    {
        if (!pBuilder)
            throw CXTPMarkupBuilderException("Cannot convert string in attribute '%ls' to object of type '%ls'",
                                             pProperty->GetName(), pProperty->GetPropertyType()->GetTypeName());
        pHolder->SetValue(m_pValueProperty, pBuilder->ConvertValue(pProperty, pValue));
    }
}

CXTPMarkupSetterColection::CXTPMarkupSetterColection() : CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupSetter)) {}

CXTPMarkupSetter* CXTPMarkupSetterColection::GetSetter(int nIndex) const
{
    return static_cast<CXTPMarkupSetter*>(GetItem(nIndex));
}
