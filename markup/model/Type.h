// Run-time type records of markup classes and their process-wide registry by
// tag name. Classes: CXTPMarkupType, CXTPMarkupTypeInfo.
#pragma once

#include "markup/model/Object.h"

typedef CXTPMarkupObject* (*PFNMARKUPFACTORY)();
typedef CXTPMarkupType* (*PFNMARKUPTYPEGETTER)();
typedef void (*PFNMARKUPSTATICINIT)();

// What IMPLEMENT_MARKUPCLASS writes down for one class. It is constant data, so
// it exists before any code runs and no static constructor order matters;
// pType is filled in when the class is registered.
struct CXTPMarkupTypeInfo
{
    LPCWSTR lpszTag;
    LPCWSTR lpszClassName;
    PFNMARKUPFACTORY pfnFactory;
    PFNMARKUPTYPEGETTER pfnGetBaseType;
    PFNMARKUPSTATICINIT pfnStaticInit;
    CXTPMarkupType* pType;
};

class CXTPMarkupType : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CXTPMarkupType)
public:
    // A blank record: the prototype whose ParseValue reads a tag name.
    CXTPMarkupType();

    // Creates a record and enters it in the registry. A tag already present is
    // taken over by the new record; a null or empty tag only joins the list of
    // all types. The record is permanent. Once the types are initialised the
    // initialiser runs before this returns, so it finds its record by tag;
    // classes use IMPLEMENT_MARKUPCLASS, which has no such catch.
    static CXTPMarkupType* RegisterType(LPCWSTR lpszTag, LPCWSTR lpszClassName, PFNMARKUPFACTORY pfnFactory,
                                        PFNMARKUPTYPEGETTER pfnGetBaseType, PFNMARKUPSTATICINIT pfnStaticInit);

    // The record of a declared class, registering it on first use. Once the
    // types are initialised, a class registered later is initialised at once.
    static CXTPMarkupType* Register(CXTPMarkupTypeInfo& info);

    // Registers the classes of this library and runs the static initialiser
    // (property registration) of every registered type not yet initialised.
    // Higher libraries call their own registration function first, so that all
    // their classes exist before the first markup is parsed. Cheap when
    // nothing is left to do.
    static void InitializeTypes();

    // Registry lookup by tag, case-sensitive; borrowed, null when absent.
    static CXTPMarkupType* FindType(LPCWSTR lpszTag);

    // A new object of the type (one reference) made for a context, or null when
    // the type has no factory or the allocation failed.
    static CXTPMarkupObject* CreateObject(CXTPMarkupElementContext* pContext, CXTPMarkupType* pType);

    static BOOL IsDerivedFrom(const CXTPMarkupType* pType, const CXTPMarkupType* pBase);

    // Takes over the reference to a style (null clears it) and seals it.
    static void SetDefaultStyle(CXTPMarkupType* pType, CXTPMarkupObject* pStyle);

    // The list of all registered types, most recent first.
    static CXTPMarkupType* GetFirstType();
    CXTPMarkupType* GetNextType() const { return m_pNextType; }

    LPCWSTR GetTag() const { return m_lpszTag; }
    LPCWSTR GetTypeName() const { return m_lpszClassName; } // "CXTPMarkupTextBlock"
    CXTPMarkupType* GetBaseType() const;
    BOOL IsDerivedFrom(const CXTPMarkupType* pBase) const { return IsDerivedFrom(this, pBase); }
    BOOL HasFactory() const { return m_pfnFactory != nullptr; }
    BOOL IsInitialized() const { return m_bInitialized; }
    CXTPMarkupObject* GetDefaultStyle() const { return m_pDefaultStyle; }

    // Runs this type's static initialiser once, its base type's first. An
    // initialiser that needs another class's properties calls this on it.
    void EnsureInitialized();

    // A string object naming a tag gives that registered type (with a reference).
    CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue) override;

protected:
    ~CXTPMarkupType() override;

private:
    CXTPMarkupType(LPCWSTR lpszTag, LPCWSTR lpszClassName, PFNMARKUPFACTORY pfnFactory,
                   PFNMARKUPTYPEGETTER pfnGetBaseType, PFNMARKUPSTATICINIT pfnStaticInit);
    static void Enter(CXTPMarkupType* pType);

    LPCWSTR m_lpszTag;
    LPCWSTR m_lpszClassName;
    PFNMARKUPFACTORY m_pfnFactory;
    PFNMARKUPTYPEGETTER m_pfnGetBaseType;
    PFNMARKUPSTATICINIT m_pfnStaticInit;
    CXTPMarkupType* m_pNextType;
    BOOL m_bInitialized;
    CXTPMarkupObject* m_pDefaultStyle;
    mutable CXTPMarkupType* m_pBaseType; // resolved from m_pfnGetBaseType on first use

    friend class CXTPMarkupTypeRegistry;
};
