// A value object shared by everyone who asks for it, made on first use.
#pragma once

#include "markup/model/Object.h"

// Keeps one reference until process exit and hands out one more per Get. The
// object is permanent, so it never counts as a leak.
template <class T> class CXTPMarkupSharedValue
{
public:
    explicit CXTPMarkupSharedValue(T* pValue) : m_pValue(pValue) { m_pValue->MarkPermanent(); }
    CXTPMarkupSharedValue(const CXTPMarkupSharedValue&) = delete;
    CXTPMarkupSharedValue& operator=(const CXTPMarkupSharedValue&) = delete;
    ~CXTPMarkupSharedValue() { m_pValue->Release(); }

    T* Get() const
    {
        m_pValue->AddRef();
        return m_pValue;
    }

private:
    T* m_pValue;
};
