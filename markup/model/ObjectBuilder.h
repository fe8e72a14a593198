// Turns markup into objects for one host. This holds what values need from a
// load: the host, value conversion and the load's system colour objects.
#pragma once

#include "markup/model/SystemColors.h"

class CXTPMarkupObjectBuilder
{
public:
    explicit CXTPMarkupObjectBuilder(CXTPMarkupHost* pHost);
    CXTPMarkupObjectBuilder(const CXTPMarkupObjectBuilder&) = delete;
    CXTPMarkupObjectBuilder& operator=(const CXTPMarkupObjectBuilder&) = delete;
    ~CXTPMarkupObjectBuilder();

    CXTPMarkupHost* GetHost() const { return m_pHost; }

    // A new value of the property's value type read from pValue (borrowed):
    // the property's own text parser first, then the value type's ParseValue
    // on a prototype. Raises CXTPMarkupBuilderException "Cannot convert string
    // in attribute '...' to object of type '...'" when neither gives a value.
    CXTPMarkupObject* ConvertValue(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue);

    CXTPMarkupSystemColors& GetSystemColors() { return m_systemColors; }

private:
    CXTPMarkupHost* m_pHost; // not owned
    CXTPMarkupSystemColors m_systemColors;
};
