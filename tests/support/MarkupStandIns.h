// Stand-ins for the element classes where only the markup model is linked:
// just enough of them for the builder to load the application's markup and
// for tests to see what it handed over. Classes: CTestUIElement,
// CTestStackPanel, CTestGrid, CTestColumnDefinition, CTestTextBlock, CTestRun,
// CTestImage, CTestResourceTable, CTestColumnDefinitions.
#pragma once

#include "markup/model/Collection.h"
#include "markup/model/DependencyProperty.h"

#include <string>
#include <vector>

// Registers the stand-ins, their root type the builder's; their tags are
// those of the real elements.
void RegisterStandInElements();

// Tags (or "x:Name"s) of the elements told that their tree loaded, in order,
// while g_bRecordLoaded (a benchmark turns it off).
extern std::vector<std::wstring> g_loadedElements;
extern bool g_bRecordLoaded;

// Registered under the class name of the UI element base, which the builder
// requires at the root. Carries the common layout properties and resources.
class CTestUIElement : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CTestUIElement)
public:
    static CXTPMarkupDependencyProperty* m_pWidthProperty;    // Int, length parser
    static CXTPMarkupDependencyProperty* m_pHeightProperty;   // Int, length parser
    static CXTPMarkupDependencyProperty* m_pMaxWidthProperty; // Int, length parser
    static CXTPMarkupDependencyProperty* m_pMarginProperty;   // Thickness
    static CXTPMarkupDependencyProperty* m_pVerticalAlignmentProperty;
    static CXTPMarkupDependencyProperty* m_pTagProperty;       // any object
    static CXTPMarkupDependencyProperty* m_pResourcesProperty; // CTestResourceTable
    static CXTPMarkupDependencyProperty* m_pWatchedProperty;   // a property record, never creatable
    static void RegisterMarkupProperties();

    // Own resources, then the logical ancestors'.
    CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const override;
    void OnMarkupLoaded() override;
};

class CTestStackPanel : public CTestUIElement
{
    DECLARE_MARKUPCLASS(CTestStackPanel)
public:
    CTestStackPanel();
    static CXTPMarkupDependencyProperty* m_pOrientationProperty;
    static void RegisterMarkupProperties();

    CXTPMarkupCollection* GetChildren() const { return m_pChildren; }
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

protected:
    ~CTestStackPanel() override;

private:
    CXTPMarkupCollection* m_pChildren;
};

// Children as the stack panel; its column definitions and the column each
// child asks for are only kept.
class CTestGrid : public CTestStackPanel
{
    DECLARE_MARKUPCLASS(CTestGrid)
public:
    static CXTPMarkupDependencyProperty* m_pColumnDefinitionsProperty; // CTestColumnDefinitions
    static CXTPMarkupDependencyProperty* m_pColumnProperty;            // attached Int
    static void RegisterMarkupProperties();
};

class CTestColumnDefinition : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CTestColumnDefinition)
public:
    static CXTPMarkupDependencyProperty* m_pWidthProperty; // the text as written
    static void RegisterMarkupProperties();
};

// Keeps string content as it arrives (the real one makes runs of it).
class CTestTextBlock : public CTestUIElement
{
    DECLARE_MARKUPCLASS(CTestTextBlock)
public:
    CTestTextBlock();
    static CXTPMarkupDependencyProperty* m_pFontSizeProperty;
    static CXTPMarkupDependencyProperty* m_pFontWeightProperty;
    static CXTPMarkupDependencyProperty* m_pPaddingProperty;
    static CXTPMarkupDependencyProperty* m_pTextWrappingProperty;
    static CXTPMarkupDependencyProperty* m_pForegroundProperty;
    static void RegisterMarkupProperties();

    CXTPMarkupCollection* GetInlines() const { return m_pInlines; }
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    BOOL KeepsWhitespace() const override;
    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;

protected:
    ~CTestTextBlock() override;

private:
    CXTPMarkupCollection* m_pInlines;
};

// Text content; not a UI element, like the real run.
class CTestRun : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CTestRun)
public:
    static CXTPMarkupDependencyProperty* m_pTextProperty;
    static void RegisterMarkupProperties();

    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
};

class CTestImage : public CTestUIElement
{
    DECLARE_MARKUPCLASS(CTestImage)
public:
    static CXTPMarkupDependencyProperty* m_pSourceProperty;
    static void RegisterMarkupProperties();
};

// Keyed resources: each child needs an "x:Key"; lookup compares keys with IsEqual.
class CTestResourceTable : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CTestResourceTable)
public:
    CTestResourceTable();
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override;
    BOOL HasContent() const override;
    CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const override;

protected:
    ~CTestResourceTable() override;

private:
    CXTPMarkupCollection* m_pValues;
};

class CTestColumnDefinitions : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CTestColumnDefinitions)
public:
    CTestColumnDefinitions() : CXTPMarkupCollection(MARKUP_TYPE(CTestColumnDefinition)) {}
};
