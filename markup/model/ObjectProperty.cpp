#include "markup/model/ObjectProperty.h"

#include "markup/model/BuilderException.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <utility>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupObjectProperty, CXTPMarkupObject)

CXTPMarkupObjectProperty::CXTPMarkupObjectProperty(CXTPMarkupDependencyProperty* pProperty)
    : m_pValue(nullptr), m_pProperty(pProperty)
{
}

CXTPMarkupObjectProperty::~CXTPMarkupObjectProperty()
{
    if (m_pValue)
        m_pValue->Release();
}

CXTPMarkupObject* CXTPMarkupObjectProperty::DetachMarkupValue()
{
    return std::exchange(m_pValue, nullptr);
}

void CXTPMarkupObjectProperty::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    if (!pContent)
        return;
    CXTPMarkupType* pValueType = m_pProperty->GetPropertyType();
    if (pContent->IsKindOf(pValueType) || MarkupCast<CXTPMarkupString>(pContent))
    {
        if (m_pValue)
            m_pValue->Release();
        m_pValue = content.Detach();
        return;
    }
    if (m_pValue)
    {
        m_pValue->AddContent(pBuilder, content.Detach());
        return;
    }

    // The value is only kept once it took the child, so a refused child
    // leaves no half-filled value behind.
    CXTPMarkupPtr<CXTPMarkupObject> value(
        CXTPMarkupType::CreateObject(pBuilder ? pBuilder->GetContext() : nullptr, pValueType));
    if (!value)
    {
        throw CXTPMarkupBuilderException("Cannot add content to an object of type '%ls'",
                                         pValueType ? pValueType->GetTypeName() : L"");
    }
    value->AddContent(pBuilder, content.Detach());
    m_pValue = value.Detach();
}

CXTPMarkupObject* CXTPMarkupObjectProperty::FindResource(const CXTPMarkupObject* pKey) const
{
    return m_pValue ? m_pValue->FindResource(pKey) : nullptr;
}
