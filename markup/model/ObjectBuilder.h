// Turns markup into a tree of objects for one context (the host): element names become
// objects of registered types, attributes become property values, and any
// error ends the load with a message that names the line and position.
#pragma once

#include "markup/model/SystemColors.h"

#include <string>
#include <vector>

class CXTPMarkupTokenizer;

class CXTPMarkupObjectBuilder
{
public:
    // Elements nested deeper than this fail to load. Real markup nests a few
    // levels. Trees are released, measured and drawn by recursion, which a
    // hostile document nested a hundred thousand levels deep would take past
    // the thread's stack; this many levels leave it a wide margin.
    static constexpr int kMaxDepth = 256;

    explicit CXTPMarkupObjectBuilder(CXTPMarkupElementContext* pContext);
    CXTPMarkupObjectBuilder(const CXTPMarkupObjectBuilder&) = delete;
    CXTPMarkupObjectBuilder& operator=(const CXTPMarkupObjectBuilder&) = delete;
    ~CXTPMarkupObjectBuilder();

    CXTPMarkupElementContext* GetContext() const { return m_pContext; }

    // The type every loaded root must be of. The element library, above this
    // one, names its UI element class here when it registers its types;
    // until then no root is accepted.
    static void SetRootType(CXTPMarkupType* pType);

    // Loads the tokenizer's input. Returns the root element with one
    // reference; or null, and GetErrorText says why. Every object made by a
    // failed load is released again.
    CXTPMarkupObject* BuildTree(CXTPMarkupTokenizer* pTokenizer);

    // Why the last load failed, in the ANSI code page: the message and, for
    // most, ". Line %i, position %i" after it. Empty after a load that built.
    LPCSTR GetErrorText() const { return m_strErrorText.c_str(); }

    // The parse entry of hosts and tools: a tokenizer over nLength bytes of
    // 8-bit markup and a builder for pContext, both gone when this returns. The
    // root has one reference; on failure it is null and the message goes to
    // pErrorText when one is given (it is cleared on success). nCodePage is
    // the text's code page: 0, the system's ANSI code page, unless the
    // markup declares UTF-8.
    static CXTPMarkupObject* Parse(CXTPMarkupElementContext* pContext, const char* pText, size_t nLength,
                                   std::string* pErrorText, UINT nCodePage = 0, int nDpi = kDefaultDpi);

    // Lengths in markup (the length converter's sizes and every thickness)
    // are pixels at 96 DPI; a builder for another DPI scales them as it reads
    // them, so that the tree is laid out in the window's own pixels.
    static constexpr int kDefaultDpi = 96;
    void SetDpi(int nDpi) { m_nDpi = nDpi > 0 ? nDpi : kDefaultDpi; }
    int GetDpi() const { return m_nDpi; }

    // A new value of the property's value type read from pValue (borrowed):
    // the property's own text parser first, then the value type's ParseValue
    // on a prototype. Raises CXTPMarkupBuilderException "Cannot convert string
    // in attribute '...' to object of type '...'" when neither gives a value.
    CXTPMarkupObject* ConvertValue(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue);

    // A new object of the type registered under the tag, made for the context;
    // null when the tag is unknown or the object could not be made.
    CXTPMarkupObject* CreateByTag(LPCWSTR lpszTag);

    // The value of a markup extension, given the text after its "{":
    // x:Static, StaticResource, DynamicResource or x:Type. One reference, or
    // CXTPMarkupBuilderException.
    CXTPMarkupObject* ResolveMarkupExtension(LPCWSTR lpszText);

    CXTPMarkupSystemColors& GetSystemColors() { return m_systemColors; }

private:
    CXTPMarkupObject* Load(CXTPMarkupTokenizer& tokenizer);
    void StartElement(LPCWSTR lpszTag);
    void EndElement(LPCWSTR lpszTag);
    void ApplyAttribute(LPCWSTR lpszName, LPCWSTR lpszValue, int nLength);
    void AppendText(LPCWSTR lpszText, int nLength);
    void FlushTextBeforeChild(CXTPMarkupObject* pElement);
    CXTPMarkupObject* FindStaticResource(LPCWSTR lpszKey);
    void ReleaseOpenElements();
    // pValue (one reference, handed over) in the builder's DPI when it is a length.
    CXTPMarkupObject* ScaleLength(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue) const;

    std::string m_strErrorText;
    CXTPMarkupElementContext* m_pContext; // not owned
    int m_nDpi = kDefaultDpi;
    CXTPMarkupSystemColors m_systemColors;
    std::vector<CXTPMarkupObject*> m_openElements; // innermost last, one reference each

    // Working state of one load.
    CXTPMarkupObject* m_pRoot; // the last element closed at the top level, one reference
    std::wstring m_strText;    // content text not yet handed to its element
    bool m_bPendingSpace;      // whitespace seen since the last text or tag
};
