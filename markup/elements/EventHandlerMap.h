// Handler lists by routed event: an element's own, and the host's.
#pragma once

#include <windows.h>

#include <vector>

class CXTPMarkupDelegate;
class CXTPMarkupDependencyProperty;
class CXTPMarkupEventArgs;
class CXTPMarkupObject;

class CXTPMarkupEventHandlerMap
{
public:
    CXTPMarkupEventHandlerMap() = default;
    CXTPMarkupEventHandlerMap(const CXTPMarkupEventHandlerMap&) = delete;
    CXTPMarkupEventHandlerMap& operator=(const CXTPMarkupEventHandlerMap&) = delete;
    ~CXTPMarkupEventHandlerMap(); // releases every delegate

    // Appends to the event's list; takes over the reference to pDelegate.
    void Add(const CXTPMarkupDependencyProperty* pEvent, CXTPMarkupDelegate* pDelegate);
    // Removes the first occurrence; FALSE when the list does not hold it.
    BOOL Remove(const CXTPMarkupDependencyProperty* pEvent, const CXTPMarkupDelegate* pDelegate);
    int GetCount(const CXTPMarkupDependencyProperty* pEvent) const;

    // Calls the delegates listed for pArgs->m_pEvent, in order, with pSender.
    // The list is taken as it is when the call starts: handlers that add or
    // remove handlers change what the next event sees, not this one.
    void Raise(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs);

private:
    struct Entry
    {
        const CXTPMarkupDependencyProperty* pEvent;
        std::vector<CXTPMarkupDelegate*> delegates; // owned references
    };

    Entry* Find(const CXTPMarkupDependencyProperty* pEvent);
    const Entry* Find(const CXTPMarkupDependencyProperty* pEvent) const;

    // An element handles few distinct events; a list is the smallest map.
    std::vector<Entry> m_entries;
};
