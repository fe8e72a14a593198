#include "markup/model/ObjectBuilder.h"

#include "markup/model/BuilderException.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Type.h"

CXTPMarkupObjectBuilder::CXTPMarkupObjectBuilder(CXTPMarkupHost* pHost)
    : m_pHost(pHost)
{
}

CXTPMarkupObjectBuilder::~CXTPMarkupObjectBuilder()
{
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::ConvertValue(CXTPMarkupDependencyProperty* pProperty,
                                                        CXTPMarkupObject* pValue)
{
    if (!pProperty)
        throw CXTPMarkupBuilderException("Cannot convert string in attribute '%ls' to object of type '%ls'", L"", L"");

    CXTPMarkupPropertyOptions* pOptions = pProperty->GetOptions();
    if (pOptions && pOptions->m_pfnConvertFrom)
    {
        if (CXTPMarkupObject* pResult = pOptions->m_pfnConvertFrom(m_pHost, pValue))
            return pResult;
    }

    CXTPMarkupType* pType = pProperty->GetPropertyType();
    CXTPMarkupPtr<CXTPMarkupObject> prototype(CXTPMarkupType::CreateObject(m_pHost, pType));
    if (prototype)
    {
        if (CXTPMarkupObject* pResult = prototype->ParseValue(pValue))
            return pResult;
    }
    throw CXTPMarkupBuilderException("Cannot convert string in attribute '%ls' to object of type '%ls'",
                                     pProperty->GetName(), pType ? pType->GetTypeName() : L"");
}
