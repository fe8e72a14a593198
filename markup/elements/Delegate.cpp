#include "markup/elements/Delegate.h"

#include "markup/model/Type.h"

#include <utility>

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupDelegate, CXTPMarkupObject)

CXTPMarkupDelegate::CXTPMarkupDelegate(Handler handler) : m_handler(std::move(handler)) {}

void CXTPMarkupDelegate::Execute(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
{
    if (m_handler)
        m_handler(pSender, pArgs);
}
