// An event handler that element and host handler lists hold by reference.
#pragma once

#include "markup/model/Object.h"

#include <functional>

class CXTPMarkupEventArgs;

class CXTPMarkupDelegate : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupDelegate)
public:
    // pSender is the element whose handler list holds the delegate (or the
    // source element, for the host's own handlers).
    typedef std::function<void(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)> Handler;

    explicit CXTPMarkupDelegate(Handler handler);

    // A delegate calling pfn on pTarget, which must outlive the delegate.
    template <class T>
    static CXTPMarkupDelegate* Create(T* pTarget, void (T::*pfn)(CXTPMarkupObject*, CXTPMarkupEventArgs*))
    {
        return new CXTPMarkupDelegate([pTarget, pfn](CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
                                      { (pTarget->*pfn)(pSender, pArgs); });
    }

    void Execute(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs);

private:
    Handler m_handler;
};
