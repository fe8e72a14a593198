// Dependency property records, their options, and the process-wide property
// registry. Classes: CXTPMarkupDependencyProperty, CXTPMarkupRoutedEvent,
// CXTPMarkupPropertyOptions, CXTPMarkupPropertyChangedArgs.
#pragma once

#include "markup/model/Object.h"

struct CXTPMarkupPropertyChangedArgs
{
    CXTPMarkupDependencyProperty* m_pProperty;
    CXTPMarkupObject* m_pOldValue; // borrowed, may be null
    CXTPMarkupObject* m_pNewValue; // borrowed, may be null
};

// Text parser of a property: a new value read from pValue (borrowed), or null.
typedef CXTPMarkupObject* (*PFNCONVERTPROPERTYVALUE)(CXTPMarkupElementContext* pContext, CXTPMarkupObject* pValue);
typedef void (*PFNPROPERTYCHANGED)(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs);

class CXTPMarkupPropertyOptions
{
public:
    enum
    {
        Inherits = 0x01,       // GetValue falls back to ancestors; changes reach descendants
        AffectsArrange = 0x02, // a change re-arranges a framework element
        AffectsMeasure = 0x04, // a change re-measures a framework element
        AffectsRender = 0x20,  // a change repaints a framework element
    };

    // Each takes over the reference to the default value (which may be null).
    CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue, DWORD nFlags = 0);
    CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue, PFNCONVERTPROPERTYVALUE pfnConvertFrom,
                              DWORD nFlags = 0);
    CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue, PFNPROPERTYCHANGED pfnPropertyChanged, DWORD nFlags = 0);
    CXTPMarkupPropertyOptions(CXTPMarkupObject* pDefaultValue, PFNCONVERTPROPERTYVALUE pfnConvertFrom,
                              PFNPROPERTYCHANGED pfnPropertyChanged, DWORD nFlags = 0);
    CXTPMarkupPropertyOptions(const CXTPMarkupPropertyOptions&) = delete;
    CXTPMarkupPropertyOptions& operator=(const CXTPMarkupPropertyOptions&) = delete;
    virtual ~CXTPMarkupPropertyOptions();

    CXTPMarkupObject* m_pDefaultValue;
    PFNCONVERTPROPERTYVALUE m_pfnConvertFrom;
    DWORD m_nFlags;
    PFNPROPERTYCHANGED m_pfnPropertyChanged;
};

class CXTPMarkupDependencyProperty : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupDependencyProperty)
public:
    // Registration gives the property the next store index and enters it under
    // (name, owner type); an existing entry for that pair is replaced. The name
    // is static text and is not copied. The record takes over pOptions; record
    // and options live until process exit.
    static CXTPMarkupDependencyProperty* Register(LPCWSTR lpszName, CXTPMarkupType* pPropertyType,
                                                  CXTPMarkupType* pOwnerType,
                                                  CXTPMarkupPropertyOptions* pOptions = nullptr);
    static CXTPMarkupDependencyProperty* RegisterAttached(LPCWSTR lpszName, CXTPMarkupType* pPropertyType,
                                                          CXTPMarkupType* pOwnerType,
                                                          CXTPMarkupPropertyOptions* pOptions = nullptr);

    // A routed event: value type string, no store index, options only when
    // nEventFlags is non-zero (the flags then say how the event is routed).
    static CXTPMarkupDependencyProperty* RegisterEvent(LPCWSTR lpszName, DWORD nEventFlags, CXTPMarkupType* pOwnerType);

    // Makes the same record findable from another class as well; the record's
    // owner type stays the first one. Returns this record.
    CXTPMarkupDependencyProperty* AddOwner(CXTPMarkupType* pNewOwner);

    // (name, type), then (name, each base type): the first registered record,
    // or null. Names are case-sensitive.
    static CXTPMarkupDependencyProperty* FindProperty(const CXTPMarkupType* pType, LPCWSTR lpszName);

    // How markup names a property on an element of type pType: a plain name
    // along pType's base chain, or "Type.Name" along that tag's type.
    static CXTPMarkupDependencyProperty* FindMarkupProperty(const CXTPMarkupType* pType, LPCWSTR lpszName);

    // Number of properties with a store index: the size of a store made now.
    static int GetPropertyCount();

    LPCWSTR GetName() const { return m_lpszName; }
    CXTPMarkupType* GetPropertyType() const { return m_pPropertyType; }
    CXTPMarkupType* GetOwnerType() const { return m_pOwnerType; }
    CXTPMarkupPropertyOptions* GetOptions() const { return m_pOptions; }
    DWORD GetFlags() const { return m_pOptions ? m_pOptions->m_nFlags : 0; }
    CXTPMarkupObject* GetDefaultValue() const { return m_pOptions ? m_pOptions->m_pDefaultValue : nullptr; }
    BOOL IsAttached() const { return m_bAttached; }
    int GetIndex() const { return m_nIndex; } // -1 for events

    virtual BOOL IsEvent() const;

protected:
    CXTPMarkupDependencyProperty();
    ~CXTPMarkupDependencyProperty() override;

private:
    static CXTPMarkupDependencyProperty* RegisterCommon(CXTPMarkupDependencyProperty* pProperty, LPCWSTR lpszName,
                                                        CXTPMarkupType* pPropertyType, CXTPMarkupType* pOwnerType,
                                                        CXTPMarkupPropertyOptions* pOptions, BOOL bAttached);

    LPCWSTR m_lpszName;
    CXTPMarkupType* m_pPropertyType;
    CXTPMarkupType* m_pOwnerType;
    CXTPMarkupPropertyOptions* m_pOptions;
    BOOL m_bAttached;
    int m_nIndex;
};

class CXTPMarkupRoutedEvent : public CXTPMarkupDependencyProperty
{
    DECLARE_MARKUPCLASS(CXTPMarkupRoutedEvent)
public:
    BOOL IsEvent() const override;

protected:
    CXTPMarkupRoutedEvent();

    friend class CXTPMarkupDependencyProperty;
};
