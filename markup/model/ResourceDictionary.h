// Keyed resources of an element or a style, and the search for a resource
// from an object outward.
#pragma once

#include "markup/model/Object.h"

#include <vector>

class CXTPMarkupResourceDictionary : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupResourceDictionary)
public:
    CXTPMarkupResourceDictionary();

    // A markup child is stored under its "x:Key", or, for a style without
    // one, under its target type. Raises CXTPMarkupBuilderException when the
    // child has no key or its key is already used.
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;

    // Takes over both references. FALSE, with both released, when either is
    // null or an equal key is present.
    BOOL Add(CXTPMarkupObject* pKey, CXTPMarkupObject* pValue);

    // The value stored under a key equal to pKey (the stored key's IsEqual
    // decides: strings by text, types and system colour keys by identity).
    // Borrowed; null when absent.
    CXTPMarkupObject* Lookup(const CXTPMarkupObject* pKey) const;
    int GetCount() const { return m_nCount; }

    // The resource for pKey as seen from pObject: a dictionary answers itself;
    // otherwise pObject and then each logical ancestor is asked for its
    // "Resources", then for the resources of its "Style", and the search ends
    // after a style (a style's values do not see the elements that use it).
    // Borrowed; null when nothing has the key.
    static CXTPMarkupObject* FindResource(const CXTPMarkupObject* pObject, const CXTPMarkupObject* pKey);

protected:
    ~CXTPMarkupResourceDictionary() override;

private:
    enum
    {
        kBuckets = 17,
    };

    struct Entry
    {
        CXTPMarkupObject* pKey;   // owned
        CXTPMarkupObject* pValue; // owned
    };

    // The resources one object itself carries, without climbing.
    static CXTPMarkupObject* FindOwnResource(const CXTPMarkupObject* pObject, const CXTPMarkupObject* pKey);

    std::vector<Entry> m_buckets[kBuckets];
    int m_nCount;
};
