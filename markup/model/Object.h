// Root of every markup node and value: reference count, logical parent, property
// values, and the virtual operations the loader and the element tree build on.
// Classes: CXTPMarkupObject, CXTPMarkupPtr; macros DECLARE_MARKUPCLASS,
// IMPLEMENT_MARKUPCLASS; helper MarkupCast.
#pragma once

#include <windows.h>

#include <new>
#include <type_traits>
#include <utility>

class CXTPMarkupType;
class CXTPMarkupDependencyProperty;
class CXTPMarkupPropertyStore;
class CXTPMarkupObjectBuilder;
class CXTPMarkupElementContext;

// Ownership, in one place:
//  - A new object, and every factory or parse result, carries one reference for
//    the caller.
//  - SetValue, collection Add, AddContent and ApplyMarkupValue take over the
//    caller's reference, including when they refuse the value.
//  - GetValue, LookupOwnValue, GetItem, GetLogicalChild, FindType and
//    FindProperty hand out borrowed pointers.
//  - Objects are destroyed by their last Release, never by delete.
class CXTPMarkupObject
{
public:
    CXTPMarkupObject();
    CXTPMarkupObject(const CXTPMarkupObject&) = delete;
    CXTPMarkupObject& operator=(const CXTPMarkupObject&) = delete;

    // Run-time type. Every class answers with its own record; see
    // DECLARE_MARKUPCLASS for how a new class declares one.
    static CXTPMarkupType* GetMarkupType();
    virtual CXTPMarkupType* GetType() const;

protected:
    virtual ~CXTPMarkupObject();

public:
    // The value this object itself supplies for a property, or null. The base
    // answers from the property store; input elements extend it with trigger
    // and style values, calling this base version first.
    virtual CXTPMarkupObject* LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const;

    // Identity by default; value classes compare and hash by value.
    virtual UINT HashValue() const;
    virtual BOOL IsEqual(const CXTPMarkupObject* pObject) const;

    // Children that inherited property changes and styles reach.
    virtual int GetLogicalChildCount() const;
    virtual CXTPMarkupObject* GetLogicalChild(int nIndex) const;

    // Markup content of this element; takes over the reference to pContent.
    // The base accepts none and raises CXTPMarkupBuilderException.
    virtual void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent);

    // An attribute or property element value; takes over the reference to
    // pValue. A value of another type is converted by the builder first.
    virtual void ApplyMarkupValue(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupDependencyProperty* pProperty,
                                  CXTPMarkupObject* pValue);

    // Called on a fresh prototype of this class: a new object of this class read
    // from a string object (pValue is borrowed), or null.
    virtual CXTPMarkupObject* ParseValue(CXTPMarkupObject* pValue);

    virtual BOOL HasContent() const;
    virtual BOOL KeepsWhitespace() const;

    // Called after the effective value of a property changed (also for
    // inherited changes pushed down from an ancestor). The base runs the
    // property's change callback. Both values are kept alive for the call.
    virtual void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                   CXTPMarkupObject* pNewValue);

    // CreateObject calls this once on every object it makes for a context
    // (the host). Input elements keep the context; everything else ignores it.
    virtual void OnCreatedForContext(CXTPMarkupElementContext* pContext);

    // Resource search of {StaticResource ...} while markup loads: the value
    // stored under pKey in the resources this object reaches, borrowed, or
    // null. Only resource scopes answer: a dictionary from its entries, styles
    // and framework elements from their own resources and then their logical
    // ancestors'. The builder asks its open elements, innermost first.
    virtual CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const;

    // Called once on every object of a tree that loaded, children before
    // their parents, before the builder hands out the root: input elements
    // pick up their implicit style and evaluate their triggers here.
    virtual void OnMarkupLoaded();

protected:
    // The last reference went away. Deletes the object.
    virtual void OnFinalRelease();

public:
    LONG AddRef();
    // Does nothing when the count is already 0. Returns the new count.
    LONG Release();
    LONG GetRefCount() const { return m_dwRef; }

    BOOL IsKindOf(const CXTPMarkupType* pType) const;

    CXTPMarkupObject* GetLogicalParent() const { return m_pLogicalParent; }
    void SetLogicalParent(CXTPMarkupObject* pParent) { m_pLogicalParent = pParent; }

    // Effective value, borrowed: own value, then (for inheriting properties)
    // the nearest ancestor's own value, then the property's default.
    CXTPMarkupObject* GetValue(const CXTPMarkupDependencyProperty* pProperty) const;

    // Takes over the reference to pValue. A value that does not derive from the
    // property's value type is released unstored and nobody is notified; null
    // clears the own value.
    void SetValue(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue);

    // The object whose own value GetValue returns: this, an ancestor (for
    // inheriting properties), or null when the value is the default.
    CXTPMarkupObject* GetValueSource(const CXTPMarkupDependencyProperty* pProperty) const;

    CXTPMarkupPropertyStore* GetPropertyStore() const { return m_pProperties; }

    // Element name the builder created this object under; used in messages.
    LPCWSTR GetMarkupTag() const { return m_lpszMarkupTag; }
    void SetMarkupTag(LPCWSTR lpszTag);

    // Live-object accounting. Every object counts from construction to
    // destruction, except objects made permanent: registry records, shared
    // values and property defaults, which deliberately live until exit.
    static LONG GetLiveObjectCount();
    void MarkPermanent();
    BOOL IsPermanent() const { return m_bPermanent; }

    // Test builds watch lifetimes through this hook to name leaked objects;
    // called with TRUE when an object starts counting and FALSE when it stops.
    typedef void (*PFNLIFETIMEHOOK)(CXTPMarkupObject* pObject, BOOL bCounted);
    static void SetLifetimeHook(PFNLIFETIMEHOOK pfnHook);

    // Properties every object accepts.
    static CXTPMarkupDependencyProperty* m_pNameProperty; // "x:Name"
    static CXTPMarkupDependencyProperty* m_pKeyProperty;  // "x:Key", a resource key
    static void RegisterMarkupProperties();

    // Announces a change of an inheriting property to every descendant of the
    // property owner's class. SetValue does this itself; trigger values, which
    // change outside SetValue, are announced through it too.
    void PropagateInheritedChange(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                  CXTPMarkupObject* pNewValue);

private:
    // Calls OnFinalRelease without nesting deeper than a fixed bound.
    static void RunFinalRelease(CXTPMarkupObject* pObject);

    CXTPMarkupObject* m_pLogicalParent;
    CXTPMarkupPropertyStore* m_pProperties;
    LPWSTR m_lpszMarkupTag;
    volatile LONG m_dwRef;
    BOOL m_bPermanent;
};

// Holds one reference and gives it back when it goes: for locals that must not
// leak when a builder error unwinds through them.
template <class T> class CXTPMarkupPtr
{
public:
    CXTPMarkupPtr() = default;
    explicit CXTPMarkupPtr(T* p) : m_p(p) {} // takes over the reference
    CXTPMarkupPtr(CXTPMarkupPtr&& other) noexcept : m_p(other.Detach()) {}
    CXTPMarkupPtr& operator=(CXTPMarkupPtr&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }
    CXTPMarkupPtr(const CXTPMarkupPtr&) = delete;
    CXTPMarkupPtr& operator=(const CXTPMarkupPtr&) = delete;
    ~CXTPMarkupPtr() { Reset(); }

    // A holder with its own added reference to a borrowed pointer.
    static CXTPMarkupPtr AddRefOf(T* p)
    {
        if (p)
            p->AddRef();
        return CXTPMarkupPtr(p);
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    T* Detach() { return std::exchange(m_p, nullptr); }
    void Reset(T* p = nullptr)
    {
        T* pOld = std::exchange(m_p, p);
        if (pOld)
            pOld->Release();
    }

private:
    T* m_p = nullptr;
};

// The object as class T when its type is T or derives from it, else null.
template <class T> T* MarkupCast(CXTPMarkupObject* pObject)
{
    return pObject && pObject->IsKindOf(T::GetMarkupType()) ? static_cast<T*>(pObject) : nullptr;
}

template <class T> const T* MarkupCast(const CXTPMarkupObject* pObject)
{
    return pObject && pObject->IsKindOf(T::GetMarkupType()) ? static_cast<const T*>(pObject) : nullptr;
}

// Run-time type declaration of a markup class. In the class body:
//
//     class CXTPMarkupThing : public CXTPMarkupFrameworkElement
//     {
//         DECLARE_MARKUPCLASS(CXTPMarkupThing)
//     public:
//         static CXTPMarkupDependencyProperty* m_pSizeProperty;
//         static void RegisterMarkupProperties();   // only when it has any
//         ...
//
// and in its .cpp, next to the property block:
//
//     IMPLEMENT_MARKUPCLASS(L"Thing", CXTPMarkupThing, CXTPMarkupFrameworkElement)
//
//     void CXTPMarkupThing::RegisterMarkupProperties()
//     {
//         m_pSizeProperty = CXTPMarkupDependencyProperty::Register(L"Size",
//             MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CXTPMarkupThing),
//             new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::AffectsMeasure));
//     }
//
// The tag is null for classes that markup cannot name. A class is creatable
// (has a factory) when it has a public default constructor. Its
// RegisterMarkupProperties runs once, after its base class's, when the types
// are initialised; a class that declares none registers nothing of its own.
// The record is made on the first GetMarkupType call; list the class in its
// library's registration function (RegisterMarkupModelTypes and the like) so
// that markup can find it by tag before code ever mentions it.
#define DECLARE_MARKUPCLASS(theClass)                                                                                  \
public:                                                                                                                \
    static CXTPMarkupType* GetMarkupType();                                                                            \
    CXTPMarkupType* GetType() const override                                                                           \
    {                                                                                                                  \
        return theClass::GetMarkupType();                                                                              \
    }                                                                                                                  \
                                                                                                                       \
private:

#define XTP_MARKUP_WIDEN2(text) L##text
#define XTP_MARKUP_WIDEN(text) XTP_MARKUP_WIDEN2(text)

#define IMPLEMENT_MARKUPCLASS(tag, theClass, baseClass)                                                                \
    CXTPMarkupType* theClass::GetMarkupType()                                                                          \
    {                                                                                                                  \
        static CXTPMarkupTypeInfo s_info = {tag,                                                                       \
                                            XTP_MARKUP_WIDEN(#theClass),                                               \
                                            CXTPMarkupFactory<theClass>::kCreate,                                      \
                                            &baseClass::GetMarkupType,                                                 \
                                            &theClass::RegisterMarkupProperties,                                       \
                                            nullptr};                                                                  \
        return CXTPMarkupType::Register(s_info);                                                                       \
    }

#define MARKUP_TYPE(theClass) (theClass::GetMarkupType())

// Factory of a markup class: new T() when T has a public default constructor.
template <class T, class = void> struct CXTPMarkupFactory
{
    static constexpr CXTPMarkupObject* (*kCreate)() = nullptr;
};

template <class T> struct CXTPMarkupFactory<T, std::void_t<decltype(new T())>>
{
    static CXTPMarkupObject* Create() { return new (std::nothrow) T(); }
    static constexpr CXTPMarkupObject* (*kCreate)() = &Create;
};
