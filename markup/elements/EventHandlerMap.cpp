#include "markup/elements/EventHandlerMap.h"

#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"

#include <algorithm>

CXTPMarkupEventHandlerMap::~CXTPMarkupEventHandlerMap()
{
    for (Entry& entry : m_entries)
    {
        for (CXTPMarkupDelegate* pDelegate : entry.delegates)
            pDelegate->Release();
    }
}

CXTPMarkupEventHandlerMap::Entry* CXTPMarkupEventHandlerMap::Find(const CXTPMarkupDependencyProperty* pEvent)
{
    for (Entry& entry : m_entries)
    {
        if (entry.pEvent == pEvent)
            return &entry;
    }
    return nullptr;
}

const CXTPMarkupEventHandlerMap::Entry*
CXTPMarkupEventHandlerMap::Find(const CXTPMarkupDependencyProperty* pEvent) const
{
    return const_cast<CXTPMarkupEventHandlerMap*>(this)->Find(pEvent);
}

void CXTPMarkupEventHandlerMap::Add(const CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate)
{
    if (!pEvent || !pDelegate)
    {
        if (pDelegate)
            pDelegate->Release();
        return;
    }
    Entry* pEntry = Find(pEvent);
    if (!pEntry)
    {
        m_entries.push_back({pEvent, {}});
        pEntry = &m_entries.back();
    }
    pEntry->delegates.push_back(pDelegate);
}

BOOL CXTPMarkupEventHandlerMap::Remove(const CXTPMarkupDependencyProperty* pEvent, const CXTPMarkupDelegate* pDelegate)
{
    Entry* pEntry = Find(pEvent);
    if (!pEntry)
        return FALSE;
    auto it = std::find(pEntry->delegates.begin(), pEntry->delegates.end(), pDelegate);
    if (it == pEntry->delegates.end())
        return FALSE;
    CXTPMarkupDelegate* pRemoved = *it;
    pEntry->delegates.erase(it);
    pRemoved->Release();
    return TRUE;
}

int CXTPMarkupEventHandlerMap::GetCount(const CXTPMarkupDependencyProperty* pEvent) const
{
    const Entry* pEntry = Find(pEvent);
    return pEntry ? static_cast<int>(pEntry->delegates.size()) : 0;
}

void CXTPMarkupEventHandlerMap::Raise(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
{
    const Entry* pEntry = Find(pArgs->m_pEvent);
    if (!pEntry || pEntry->delegates.empty())
        return;

    // A handler may add to this list (moving its storage) or remove from it
    // (releasing a delegate still to be called): work on a held copy.
    std::vector<CXTPMarkupDelegate*> delegates = pEntry->delegates;
    for (CXTPMarkupDelegate* pDelegate : delegates)
        pDelegate->AddRef();
    for (CXTPMarkupDelegate* pDelegate : delegates)
        pDelegate->Execute(pSender, pArgs);
    for (CXTPMarkupDelegate* pDelegate : delegates)
        pDelegate->Release();
}
