#include "support/MarkupStandIns.h"

#include "markup/model/Brush.h"
#include "markup/model/BuilderException.h"
#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/String.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

std::vector<std::wstring> g_loadedElements;
bool g_bRecordLoaded = true;

// By hand rather than with IMPLEMENT_MARKUPCLASS, to take the class name of
// the element it stands in for.
CXTPMarkupType* CTestUIElement::GetMarkupType()
{
    static CXTPMarkupTypeInfo s_info = {nullptr,
                                        L"CXTPMarkupUIElement",
                                        CXTPMarkupFactory<CTestUIElement>::kCreate,
                                        &CXTPMarkupObject::GetMarkupType,
                                        &CTestUIElement::RegisterMarkupProperties,
                                        nullptr};
    return CXTPMarkupType::Register(s_info);
}

IMPLEMENT_MARKUPCLASS(L"StackPanel", CTestStackPanel, CTestUIElement)
IMPLEMENT_MARKUPCLASS(L"Grid", CTestGrid, CTestStackPanel)
IMPLEMENT_MARKUPCLASS(L"ColumnDefinition", CTestColumnDefinition, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(L"TextBlock", CTestTextBlock, CTestUIElement)
IMPLEMENT_MARKUPCLASS(L"Run", CTestRun, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(L"Image", CTestImage, CTestUIElement)
IMPLEMENT_MARKUPCLASS(nullptr, CTestResourceTable, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(nullptr, CTestColumnDefinitions, CXTPMarkupCollection)

CXTPMarkupDependencyProperty* CTestUIElement::m_pWidthProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pHeightProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pMaxWidthProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pMarginProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pVerticalAlignmentProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pTagProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pResourcesProperty;
CXTPMarkupDependencyProperty* CTestUIElement::m_pWatchedProperty;
CXTPMarkupDependencyProperty* CTestStackPanel::m_pOrientationProperty;
CXTPMarkupDependencyProperty* CTestGrid::m_pColumnDefinitionsProperty;
CXTPMarkupDependencyProperty* CTestGrid::m_pColumnProperty;
CXTPMarkupDependencyProperty* CTestColumnDefinition::m_pWidthProperty;
CXTPMarkupDependencyProperty* CTestTextBlock::m_pFontSizeProperty;
CXTPMarkupDependencyProperty* CTestTextBlock::m_pFontWeightProperty;
CXTPMarkupDependencyProperty* CTestTextBlock::m_pPaddingProperty;
CXTPMarkupDependencyProperty* CTestTextBlock::m_pTextWrappingProperty;
CXTPMarkupDependencyProperty* CTestTextBlock::m_pForegroundProperty;
CXTPMarkupDependencyProperty* CTestRun::m_pTextProperty;
CXTPMarkupDependencyProperty* CTestImage::m_pSourceProperty;

void CTestUIElement::RegisterMarkupProperties()
{
    typedef CXTPMarkupDependencyProperty P;
    m_pWidthProperty = P::Register(L"Width", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestUIElement),
                                   new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertLength));
    m_pHeightProperty = P::Register(L"Height", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestUIElement),
                                    new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertLength));
    m_pMaxWidthProperty = P::Register(L"MaxWidth", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestUIElement),
                                      new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertLength));
    m_pMarginProperty = P::Register(L"Margin", MARKUP_TYPE(CXTPMarkupThickness), MARKUP_TYPE(CTestUIElement));
    m_pVerticalAlignmentProperty =
        P::Register(L"VerticalAlignment", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CTestUIElement),
                    new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertVerticalAlignment));
    m_pTagProperty = P::Register(L"Tag", MARKUP_TYPE(CXTPMarkupObject), MARKUP_TYPE(CTestUIElement));
    m_pResourcesProperty = P::Register(L"Resources", MARKUP_TYPE(CTestResourceTable), MARKUP_TYPE(CTestUIElement));
    m_pWatchedProperty =
        P::Register(L"Watched", MARKUP_TYPE(CXTPMarkupDependencyProperty), MARKUP_TYPE(CTestUIElement));
}

void CTestStackPanel::RegisterMarkupProperties()
{
    m_pOrientationProperty = CXTPMarkupDependencyProperty::Register(
        L"Orientation", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CTestStackPanel),
        new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertOrientation));
}

void CTestGrid::RegisterMarkupProperties()
{
    typedef CXTPMarkupDependencyProperty P;
    m_pColumnDefinitionsProperty =
        P::Register(L"ColumnDefinitions", MARKUP_TYPE(CTestColumnDefinitions), MARKUP_TYPE(CTestGrid));
    m_pColumnProperty = P::RegisterAttached(L"Column", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestGrid));
}

void CTestColumnDefinition::RegisterMarkupProperties()
{
    m_pWidthProperty = CXTPMarkupDependencyProperty::Register(L"Width", MARKUP_TYPE(CXTPMarkupString),
                                                              MARKUP_TYPE(CTestColumnDefinition));
}

void CTestTextBlock::RegisterMarkupProperties()
{
    typedef CXTPMarkupDependencyProperty P;
    m_pFontSizeProperty = P::Register(L"FontSize", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestTextBlock),
                                      new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertLength,
                                                                    CXTPMarkupPropertyOptions::Inherits));
    m_pFontWeightProperty = P::Register(L"FontWeight", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CTestTextBlock),
                                        new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertFontWeight,
                                                                      CXTPMarkupPropertyOptions::Inherits));
    m_pPaddingProperty = P::Register(L"Padding", MARKUP_TYPE(CXTPMarkupThickness), MARKUP_TYPE(CTestTextBlock));
    m_pTextWrappingProperty =
        P::Register(L"TextWrapping", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CTestTextBlock),
                    new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertTextWrapping));
    m_pForegroundProperty = P::Register(L"Foreground", MARKUP_TYPE(CXTPMarkupBrush), MARKUP_TYPE(CTestTextBlock),
                                        new CXTPMarkupPropertyOptions(nullptr, CXTPMarkupPropertyOptions::Inherits));
}

void CTestRun::RegisterMarkupProperties()
{
    MARKUP_TYPE(CTestTextBlock)->EnsureInitialized();
    CTestTextBlock::m_pFontWeightProperty->AddOwner(MARKUP_TYPE(CTestRun));
    CTestTextBlock::m_pForegroundProperty->AddOwner(MARKUP_TYPE(CTestRun));
    m_pTextProperty =
        CXTPMarkupDependencyProperty::Register(L"Text", MARKUP_TYPE(CXTPMarkupString), MARKUP_TYPE(CTestRun));
}

void CTestImage::RegisterMarkupProperties()
{
    m_pSourceProperty =
        CXTPMarkupDependencyProperty::Register(L"Source", MARKUP_TYPE(CXTPMarkupString), MARKUP_TYPE(CTestImage));
}

void RegisterStandInElements()
{
    MARKUP_TYPE(CTestUIElement);
    MARKUP_TYPE(CTestStackPanel);
    MARKUP_TYPE(CTestTextBlock);
    MARKUP_TYPE(CTestRun);
    MARKUP_TYPE(CTestImage);
    MARKUP_TYPE(CTestResourceTable);
    MARKUP_TYPE(CTestGrid);
    MARKUP_TYPE(CTestColumnDefinition);
    MARKUP_TYPE(CTestColumnDefinitions);
    CXTPMarkupObjectBuilder::SetRootType(MARKUP_TYPE(CTestUIElement));
}

CXTPMarkupObject* CTestUIElement::FindResource(const CXTPMarkupObject* pKey) const
{
    for (const CXTPMarkupObject* pScope = this; pScope; pScope = pScope->GetLogicalParent())
    {
        if (CXTPMarkupObject* pResources = pScope->LookupOwnValue(m_pResourcesProperty))
        {
            if (CXTPMarkupObject* pResource = pResources->FindResource(pKey))
                return pResource;
        }
    }
    return nullptr;
}

void CTestUIElement::OnMarkupLoaded()
{
    if (!g_bRecordLoaded)
        return;
    const CXTPMarkupString* pName = MarkupCast<CXTPMarkupString>(LookupOwnValue(m_pNameProperty));
    g_loadedElements.push_back(pName ? pName->GetText() : GetMarkupTag() ? GetMarkupTag() : L"");
}

CTestStackPanel::CTestStackPanel() : m_pChildren(new CXTPMarkupCollection(MARKUP_TYPE(CTestUIElement)))
{
    m_pChildren->SetLogicalParent(this);
}

CTestStackPanel::~CTestStackPanel()
{
    m_pChildren->Release();
}

void CTestStackPanel::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    if (MarkupCast<CTestUIElement>(pContent))
        m_pChildren->Add(pContent);
    else
        CXTPMarkupObject::AddContent(pBuilder, pContent);
}

BOOL CTestStackPanel::HasContent() const
{
    return m_pChildren->GetCount() > 0;
}

int CTestStackPanel::GetLogicalChildCount() const
{
    return m_pChildren->GetCount();
}

CXTPMarkupObject* CTestStackPanel::GetLogicalChild(int nIndex) const
{
    return m_pChildren->GetItem(nIndex);
}

CTestTextBlock::CTestTextBlock() : m_pInlines(new CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupObject)))
{
    m_pInlines->SetLogicalParent(this);
}

CTestTextBlock::~CTestTextBlock()
{
    m_pInlines->Release();
}

void CTestTextBlock::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    if (MarkupCast<CXTPMarkupString>(pContent) || MarkupCast<CTestRun>(pContent))
        m_pInlines->Add(pContent);
    else
        CXTPMarkupObject::AddContent(pBuilder, pContent);
}

BOOL CTestTextBlock::HasContent() const
{
    return m_pInlines->GetCount() > 0;
}

BOOL CTestTextBlock::KeepsWhitespace() const
{
    return TRUE;
}

int CTestTextBlock::GetLogicalChildCount() const
{
    return m_pInlines->GetCount();
}

CXTPMarkupObject* CTestTextBlock::GetLogicalChild(int nIndex) const
{
    return m_pInlines->GetItem(nIndex);
}

void CTestRun::AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent)
{
    if (MarkupCast<CXTPMarkupString>(pContent))
        SetValue(m_pTextProperty, pContent);
    else
        CXTPMarkupObject::AddContent(pBuilder, pContent);
}

BOOL CTestRun::HasContent() const
{
    return LookupOwnValue(m_pTextProperty) != nullptr;
}

CTestResourceTable::CTestResourceTable() : m_pValues(new CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupObject)))
{
    m_pValues->SetLogicalParent(this);
}

CTestResourceTable::~CTestResourceTable()
{
    m_pValues->Release();
}

void CTestResourceTable::AddContent(CXTPMarkupObjectBuilder* /*pBuilder*/, CXTPMarkupObject* pContent)
{
    CXTPMarkupPtr<CXTPMarkupObject> content(pContent);
    if (!pContent->LookupOwnValue(m_pKeyProperty))
        throw CXTPMarkupBuilderException("A resource needs a key");
    m_pValues->Add(content.Detach());
}

BOOL CTestResourceTable::HasContent() const
{
    return m_pValues->GetCount() > 0;
}

CXTPMarkupObject* CTestResourceTable::FindResource(const CXTPMarkupObject* pKey) const
{
    for (int i = 0; i < m_pValues->GetCount(); i++)
    {
        CXTPMarkupObject* pValue = m_pValues->GetItem(i);
        CXTPMarkupObject* pValueKey = pValue->LookupOwnValue(m_pKeyProperty);
        if (pValueKey && pValueKey->IsEqual(pKey))
            return pValue;
    }
    return nullptr;
}
