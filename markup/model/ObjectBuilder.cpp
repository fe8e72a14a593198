#include "markup/model/ObjectBuilder.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/ObjectProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Thickness.h"
#include "markup/model/Tokenizer.h"
#include "markup/model/Type.h"

#include <algorithm>
#include <climits>
#include <cwchar>

namespace
{
CXTPMarkupType* g_pRootType = nullptr;

bool StartsWith(LPCWSTR lpszText, LPCWSTR lpszPrefix, size_t nPrefix)
{
    return wcsncmp(lpszText, lpszPrefix, nPrefix) == 0;
}

// Tells every object of a loaded tree, children before their parents. Walked
// with a stack of its own so that no tree is too deep for it; each object is
// held while it is told, since styles may change values around it.
void NotifyLoaded(CXTPMarkupObject* pRoot)
{
    struct Frame
    {
        CXTPMarkupPtr<CXTPMarkupObject> object;
        int nNextChild;
    };
    std::vector<Frame> stack;
    stack.push_back({CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(pRoot), 0});
    while (!stack.empty())
    {
        Frame& frame = stack.back();
        if (frame.nNextChild < frame.object->GetLogicalChildCount())
        {
            CXTPMarkupObject* pChild = frame.object->GetLogicalChild(frame.nNextChild++);
            if (pChild)
                stack.push_back({CXTPMarkupPtr<CXTPMarkupObject>::AddRefOf(pChild), 0});
            continue;
        }
        CXTPMarkupPtr<CXTPMarkupObject> object(frame.object.Detach());
        stack.pop_back();
        object->OnMarkupLoaded();
    }
}
} // namespace

CXTPMarkupObjectBuilder::CXTPMarkupObjectBuilder(CXTPMarkupElementContext* pContext)
    : m_pContext(pContext), m_pRoot(nullptr), m_bPendingSpace(false)
{
}

CXTPMarkupObjectBuilder::~CXTPMarkupObjectBuilder()
{
    ReleaseOpenElements();
}

void CXTPMarkupObjectBuilder::ReleaseOpenElements()
{
    // Open elements are not linked to each other yet: each goes on its own.
    while (!m_openElements.empty())
    {
        CXTPMarkupObject* pElement = m_openElements.back();
        m_openElements.pop_back();
        pElement->Release();
    }
    if (m_pRoot)
    {
        m_pRoot->Release();
        m_pRoot = nullptr;
    }
    m_strText.clear();
    m_bPendingSpace = false;
}

void CXTPMarkupObjectBuilder::SetRootType(CXTPMarkupType* pType)
{
    g_pRootType = pType;
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::Parse(CXTPMarkupElementContext* pContext, const char* pText, size_t nLength,
                                                 std::string* pErrorText, UINT nCodePage, int nDpi)
{
    if (pErrorText)
        pErrorText->clear();
    if (!pText)
        return nullptr;
    CXTPMarkupTokenizer tokenizer;
    tokenizer.SetCodePage(nCodePage);
    tokenizer.SetInput(pText, pText + nLength);
    CXTPMarkupObjectBuilder builder(pContext);
    builder.SetDpi(nDpi);
    CXTPMarkupObject* pRoot = builder.BuildTree(&tokenizer);
    if (pErrorText)
        *pErrorText = builder.GetErrorText();
    return pRoot;
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::BuildTree(CXTPMarkupTokenizer* pTokenizer)
{
    m_strErrorText.clear();
    ReleaseOpenElements();
    if (!pTokenizer || !pTokenizer->SkipToFirstTag())
    {
        m_strErrorText = "Data at the root level is invalid";
        return nullptr;
    }

    CXTPMarkupPtr<CXTPMarkupObject> root;
    try
    {
        root.Reset(Load(*pTokenizer));
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        m_strErrorText = std::string(e.what()) + ". Line " + std::to_string(pTokenizer->GetLine() + 1) + ", position "
                         + std::to_string(pTokenizer->GetColumn() + 1);
    }
    ReleaseOpenElements();
    if (!root)
        return nullptr;

    if (!g_pRootType || !root->IsKindOf(g_pRootType))
    {
        m_strErrorText = "Root element have to be 'CXTPMarkupUIElement' type";
        return nullptr;
    }

    try
    {
        NotifyLoaded(root.Get());
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        // Styles are applied after the last token, so there is no position.
        m_strErrorText = e.what();
        return nullptr;
    }
    return root.Detach();
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::Load(CXTPMarkupTokenizer& tokenizer)
{
    for (;;)
    {
        switch (tokenizer.NextToken())
        {
        case CXTPMarkupTokenizer::TokenError: throw CXTPMarkupBuilderException("%ls", tokenizer.GetTokenText());

        case CXTPMarkupTokenizer::TokenEnd:
            if (!m_openElements.empty())
            {
                throw CXTPMarkupBuilderException(
                    "Unexpected end of file has occurred. The following elements are not closed: '%ls'",
                    m_openElements.back()->GetMarkupTag());
            }
            if (!m_pRoot)
                throw CXTPMarkupBuilderException("Root element is missing");
            return std::exchange(m_pRoot, nullptr);

        case CXTPMarkupTokenizer::TokenStartTag: StartElement(tokenizer.GetTagName()); break;

        case CXTPMarkupTokenizer::TokenEndTag: EndElement(tokenizer.GetTagName()); break;

        case CXTPMarkupTokenizer::TokenAttribute:
            ApplyAttribute(tokenizer.GetAttributeName(), tokenizer.GetTokenText(), tokenizer.GetTokenTextLength());
            break;

        case CXTPMarkupTokenizer::TokenText:
            AppendText(tokenizer.GetTokenText(), tokenizer.GetTokenTextLength());
            break;

        case CXTPMarkupTokenizer::TokenWhitespace: m_bPendingSpace = true; break;

        case CXTPMarkupTokenizer::TokenInstructionEnd:
            if (tokenizer.DeclaresUtf8())
                tokenizer.SetCodePage(CP_UTF8);
            break;

        case CXTPMarkupTokenizer::TokenSectionText:
        case CXTPMarkupTokenizer::TokenCommentStart:
        case CXTPMarkupTokenizer::TokenCommentEnd:
        case CXTPMarkupTokenizer::TokenCDataStart:
        case CXTPMarkupTokenizer::TokenCDataEnd:
        case CXTPMarkupTokenizer::TokenInstructionStart: break;
        }
    }
}

// Text and whitespace before a child element: text keeps one blank at its
// end for whitespace that follows it, and whitespace alone between two
// children survives only in elements that keep it and have content.
void CXTPMarkupObjectBuilder::FlushTextBeforeChild(CXTPMarkupObject* pElement)
{
    if (!m_strText.empty())
    {
        if (m_bPendingSpace)
            m_strText += L' ';
        pElement->AddContent(this, CXTPMarkupString::CreateValue(m_strText.c_str(), int(m_strText.size())));
    }
    else if (m_bPendingSpace && pElement->HasContent() && pElement->KeepsWhitespace())
    {
        pElement->AddContent(this, CXTPMarkupString::CreateValue(L" ", 1));
    }
    m_strText.clear();
    m_bPendingSpace = false;
}

void CXTPMarkupObjectBuilder::StartElement(LPCWSTR lpszTag)
{
    if (m_openElements.empty())
    {
        if (m_pRoot)
            throw CXTPMarkupBuilderException("There are multiple root elements");
    }
    else
        FlushTextBeforeChild(m_openElements.back());
    m_strText.clear();
    m_bPendingSpace = false;

    if (m_openElements.size() >= size_t(kMaxDepth))
        throw CXTPMarkupBuilderException("The tag '%ls' is nested deeper than %i levels", lpszTag, kMaxDepth);

    CXTPMarkupPtr<CXTPMarkupObject> element;
    if (wcschr(lpszTag, L'.'))
    {
        // A property element: "Type.Property", whose content becomes the value
        // of that property on the element around it.
        CXTPMarkupDependencyProperty* pProperty = CXTPMarkupDependencyProperty::FindMarkupProperty(nullptr, lpszTag);
        if (!pProperty || m_openElements.empty())
            throw CXTPMarkupBuilderException("The tag '%ls' does not exist in XML namespace", lpszTag);
        element.Reset(new CXTPMarkupObjectProperty(pProperty));
    }
    else
    {
        element.Reset(CreateByTag(lpszTag));
        if (!element)
            throw CXTPMarkupBuilderException("The tag '%ls' does not exist in XML namespace", lpszTag);
    }
    element->SetMarkupTag(lpszTag);
    m_openElements.push_back(element.Get());
    element.Detach();
}

void CXTPMarkupObjectBuilder::EndElement(LPCWSTR lpszTag)
{
    if (m_openElements.empty())
        throw CXTPMarkupBuilderException("Unexpected end tag");

    CXTPMarkupPtr<CXTPMarkupObject> element(m_openElements.back());
    m_openElements.pop_back();
    if (wcscmp(element->GetMarkupTag(), lpszTag) != 0)
    {
        throw CXTPMarkupBuilderException("The '%ls' start tag does not match the end tag of '%ls'",
                                         element->GetMarkupTag(), lpszTag);
    }

    // Whitespace after the last text is dropped.
    if (!m_strText.empty())
        element->AddContent(this, CXTPMarkupString::CreateValue(m_strText.c_str(), int(m_strText.size())));
    m_strText.clear();
    m_bPendingSpace = false;

    if (CXTPMarkupObjectProperty* pPropertyElement = MarkupCast<CXTPMarkupObjectProperty>(element.Get()))
    {
        if (!pPropertyElement->GetMarkupValue())
        {
            throw CXTPMarkupBuilderException("'%ls' property does not have a value",
                                             pPropertyElement->GetProperty()->GetName());
        }
        // A property element is never the outermost, so its element is open.
        m_openElements.back()->ApplyMarkupValue(this, pPropertyElement->GetProperty(),
                                                pPropertyElement->DetachMarkupValue());
    }
    else if (!m_openElements.empty())
        m_openElements.back()->AddContent(this, element.Detach());
    else
        m_pRoot = element.Detach();
}

void CXTPMarkupObjectBuilder::ApplyAttribute(LPCWSTR lpszName, LPCWSTR lpszValue, int nLength)
{
    if (m_openElements.empty())
        throw CXTPMarkupBuilderException("Unexpected error");
    // Namespace declarations, with or without a prefix.
    if (StartsWith(lpszName, L"xmlns", 5))
        return;

    CXTPMarkupObject* pElement = m_openElements.back();
    CXTPMarkupDependencyProperty* pProperty =
        CXTPMarkupDependencyProperty::FindMarkupProperty(pElement->GetType(), lpszName);
    if (!pProperty)
        throw CXTPMarkupBuilderException("The property '%ls' does not exist in XML namespace", lpszName);

    CXTPMarkupObject* pValue;
    if (nLength >= 2 && lpszValue[0] == L'{' && lpszValue[1] == L'}')
        pValue = CXTPMarkupString::CreateValue(lpszValue + 2, nLength - 2);
    else if (nLength >= 1 && lpszValue[0] == L'{')
        pValue = ResolveMarkupExtension(lpszValue + 1);
    else
        pValue = CXTPMarkupString::CreateValue(lpszValue, nLength);
    pElement->ApplyMarkupValue(this, pProperty, pValue);
}

void CXTPMarkupObjectBuilder::AppendText(LPCWSTR lpszText, int nLength)
{
    if (m_openElements.empty())
        throw CXTPMarkupBuilderException("Data at the root level is invalid");
    if (m_bPendingSpace)
    {
        if (!m_strText.empty() || m_openElements.back()->HasContent())
            m_strText += L' ';
        m_bPendingSpace = false;
    }
    // Long runs arrive as several tokens in a row; they join up here.
    m_strText.append(lpszText, nLength);
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::CreateByTag(LPCWSTR lpszTag)
{
    CXTPMarkupType* pType = lpszTag ? CXTPMarkupType::FindType(lpszTag) : nullptr;
    return pType ? CXTPMarkupType::CreateObject(m_pContext, pType) : nullptr;
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::ResolveMarkupExtension(LPCWSTR lpszText)
{
    const size_t nLength = lpszText ? wcslen(lpszText) : 0;
    if (nLength == 0 || lpszText[nLength - 1] != L'}')
        throw CXTPMarkupBuilderException("Markup extension expressions must end with '}'");
    const std::wstring strBody(lpszText, nLength - 1);
    LPCWSTR lpszBody = strBody.c_str();

    static const WCHAR kStatic[] = L"x:Static ";
    static const WCHAR kStaticResource[] = L"StaticResource ";
    static const WCHAR kDynamicResource[] = L"DynamicResource ";
    static const WCHAR kType[] = L"x:Type ";
    if (StartsWith(lpszBody, kStatic, _countof(kStatic) - 1))
        return m_systemColors.ResolveStaticMember(lpszBody + _countof(kStatic) - 1);
    // Resources are looked up once, while loading; a dynamic one is no different.
    if (StartsWith(lpszBody, kStaticResource, _countof(kStaticResource) - 1))
        return FindStaticResource(lpszBody + _countof(kStaticResource) - 1);
    if (StartsWith(lpszBody, kDynamicResource, _countof(kDynamicResource) - 1))
        return FindStaticResource(lpszBody + _countof(kDynamicResource) - 1);
    if (StartsWith(lpszBody, kType, _countof(kType) - 1))
    {
        LPCWSTR lpszTag = lpszBody + _countof(kType) - 1;
        CXTPMarkupType* pType = CXTPMarkupType::FindType(lpszTag);
        if (!pType)
            throw CXTPMarkupBuilderException("Cannot find type '%ls'", lpszTag);
        pType->AddRef();
        return pType;
    }
    throw CXTPMarkupBuilderException("The tag '%ls' does not exist in XML namespace", lpszBody);
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::FindStaticResource(LPCWSTR lpszKey)
{
    // Leading line breaks and blanks go, tabs and trailing blanks stay.
    LPCWSTR p = lpszKey;
    while (*p == L'\r' || *p == L'\n' || *p == L' ')
        p++;
    CXTPMarkupPtr<CXTPMarkupObject> key;
    if (p[0] == L'{' && p[1] != L'}')
        key.Reset(ResolveMarkupExtension(p + 1));
    else if (p[0] == L'{')
        key.Reset(CXTPMarkupString::CreateValue(p + 2));
    else
        key.Reset(CXTPMarkupString::CreateValue(p));

    // The open elements are not yet linked to their parents, so the search
    // climbs them itself, innermost first.
    for (auto it = m_openElements.rbegin(); it != m_openElements.rend(); ++it)
    {
        if (CXTPMarkupObject* pResource = (*it)->FindResource(key.Get()))
        {
            pResource->AddRef();
            return pResource;
        }
    }
    if (CXTPMarkupObject* pSystemValue = m_systemColors.ResolveKey(key.Get()))
        return pSystemValue;
    throw CXTPMarkupBuilderException("Cannot find resource named '%ls'. Resource names are case sensitive", lpszKey);
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::ConvertValue(CXTPMarkupDependencyProperty* pProperty,
                                                        CXTPMarkupObject* pValue)
{
    if (!pProperty)
        throw CXTPMarkupBuilderException("Cannot convert string in attribute '%ls' to object of type '%ls'", L"", L"");

    CXTPMarkupPropertyOptions* pOptions = pProperty->GetOptions();
    if (pOptions && pOptions->m_pfnConvertFrom)
    {
        if (CXTPMarkupObject* pResult = pOptions->m_pfnConvertFrom(m_pContext, pValue))
            return ScaleLength(pProperty, pResult);
    }

    CXTPMarkupType* pType = pProperty->GetPropertyType();
    CXTPMarkupPtr<CXTPMarkupObject> prototype(CXTPMarkupType::CreateObject(m_pContext, pType));
    if (prototype)
    {
        if (CXTPMarkupObject* pResult = prototype->ParseValue(pValue))
            return ScaleLength(pProperty, pResult);
    }
    throw CXTPMarkupBuilderException("Cannot convert string in attribute '%ls' to object of type '%ls'",
                                     pProperty->GetName(), pType ? pType->GetTypeName() : L"");
}

CXTPMarkupObject* CXTPMarkupObjectBuilder::ScaleLength(CXTPMarkupDependencyProperty* pProperty,
                                                       CXTPMarkupObject* pValue) const
{
    if (m_nDpi == kDefaultDpi)
        return pValue;
    auto scale = [this](int nLength)
    {
        const long long nProduct = static_cast<long long>(nLength) * m_nDpi;
        const long long nRounded =
            (nProduct >= 0 ? nProduct + kDefaultDpi / 2 : nProduct - kDefaultDpi / 2) / kDefaultDpi;
        return static_cast<int>(std::clamp<long long>(nRounded, INT_MIN, INT_MAX - 1));
    };
    const CXTPMarkupPropertyOptions* pOptions = pProperty->GetOptions();
    const CXTPMarkupInt* pInt = MarkupCast<CXTPMarkupInt>(pValue);
    if (pInt && pOptions && pOptions->m_pfnConvertFrom == &CXTPMarkupConverter::ConvertLength
        && static_cast<int>(*pInt) != CXTPMarkupConverter::kUnboundedLength)
    {
        CXTPMarkupObject* pScaled = new CXTPMarkupInt(scale(static_cast<int>(*pInt)));
        pValue->Release();
        return pScaled;
    }
    if (const CXTPMarkupThickness* pThickness = MarkupCast<CXTPMarkupThickness>(pValue))
    {
        CXTPMarkupObject* pScaled =
            new CXTPMarkupThickness(scale(pThickness->GetLeft()), scale(pThickness->GetTop()),
                                    scale(pThickness->GetRight()), scale(pThickness->GetBottom()));
        pValue->Release();
        return pScaled;
    }
    return pValue;
}
