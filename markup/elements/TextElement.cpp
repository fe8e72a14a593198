#include "markup/elements/TextElement.h"

#include "markup/model/Brush.h"
#include "markup/model/Converter.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(L"TextElement", CXTPMarkupTextElement, CXTPMarkupFrameworkContentElement)

CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pBackgroundProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pForegroundProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pFontSizeProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pFontWeightProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pFontFamilyProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pFontStyleProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pTextDecorationsProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupTextElement::m_pFontQualityProperty = nullptr;

void CXTPMarkupTextElement::RegisterMarkupProperties()
{
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupTextElement);
    using Options = CXTPMarkupPropertyOptions;
    using Property = CXTPMarkupDependencyProperty;
    const DWORD nRender = Options::Inherits | Options::AffectsRender;
    const DWORD nMeasure = Options::Inherits | Options::AffectsMeasure;

    // Brushes convert from colour texts through the brush type itself.
    m_pBackgroundProperty =
        Property::RegisterAttached(L"Background", MARKUP_TYPE(CXTPMarkupBrush), pOwner, new Options(nullptr, nRender));
    m_pForegroundProperty =
        Property::RegisterAttached(L"Foreground", MARKUP_TYPE(CXTPMarkupBrush), pOwner, new Options(nullptr, nRender));
    m_pFontSizeProperty =
        Property::RegisterAttached(L"FontSize", MARKUP_TYPE(CXTPMarkupInt), pOwner,
                                   new Options(nullptr, &CXTPMarkupConverter::ConvertLength, nMeasure));
    m_pFontWeightProperty =
        Property::RegisterAttached(L"FontWeight", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                                   new Options(nullptr, &CXTPMarkupConverter::ConvertFontWeight, nMeasure));
    m_pFontFamilyProperty = Property::RegisterAttached(L"FontFamily", MARKUP_TYPE(CXTPMarkupString), pOwner,
                                                       new Options(nullptr, nMeasure));
    m_pFontStyleProperty =
        Property::RegisterAttached(L"FontStyle", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                                   new Options(nullptr, &CXTPMarkupConverter::ConvertFontStyle, nMeasure));
    m_pTextDecorationsProperty =
        Property::RegisterAttached(L"TextDecorations", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                                   new Options(nullptr, &CXTPMarkupConverter::ConvertTextDecorations, nRender));
    m_pFontQualityProperty =
        Property::RegisterAttached(L"FontQuality", MARKUP_TYPE(CXTPMarkupEnum), pOwner,
                                   new Options(nullptr, &CXTPMarkupConverter::ConvertFontQuality, nRender));
}

CXTPMarkupTextElement::CXTPMarkupTextElement() {}

CXTPMarkupBrush* CXTPMarkupTextElement::GetBackground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pBackgroundProperty));
}

CXTPMarkupBrush* CXTPMarkupTextElement::GetForeground() const
{
    return MarkupCast<CXTPMarkupBrush>(GetValue(m_pForegroundProperty));
}

CXTPMarkupElementContext* CXTPMarkupTextElement::FindMarkupContext() const
{
    for (const CXTPMarkupObject* pObject = this; pObject; pObject = pObject->GetLogicalParent())
    {
        const CXTPMarkupInputElement* pElement = MarkupCast<CXTPMarkupInputElement>(pObject);
        if (pElement && pElement->GetMarkupContext())
            return pElement->GetMarkupContext();
    }
    return nullptr;
}
