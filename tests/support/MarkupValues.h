// Reading markup values and builder errors in test expectations.
#pragma once

#include "markup/model/BuilderException.h"
#include "markup/model/Numbers.h"
#include "markup/model/Object.h"

#include <functional>
#include <string>

// The number an Int value holds; -1 for no value or one of another type.
inline int IntOf(const CXTPMarkupObject* pValue)
{
    const CXTPMarkupInt* pInt = MarkupCast<CXTPMarkupInt>(pValue);
    return pInt ? static_cast<int>(*pInt) : -1;
}

// The message of the builder exception action raises, or "no error".
inline std::string ErrorOf(const std::function<void()>& action)
{
    try
    {
        action();
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        return e.what();
    }
    return "no error";
}
