// Small markup classes of the model tests: containers with children, a class
// with properties, and a log of the property changes they see.
#pragma once

#include "markup/model/Collection.h"
#include "markup/model/DependencyProperty.h"

#include <vector>

struct TestChange
{
    CXTPMarkupObject* pObject;
    CXTPMarkupDependencyProperty* pProperty;
    CXTPMarkupObject* pOldValue;
    CXTPMarkupObject* pNewValue;
    LONG nLiveObjects; // when the notification arrived
};

extern std::vector<TestChange> g_testChanges;

// Any object that holds children in a collection, as panels do. Not the owner
// of the test properties, so inherited changes pass through it unannounced.
class CTestContainer : public CXTPMarkupObject
{
    DECLARE_MARKUPCLASS(CTestContainer)
public:
    CTestContainer();

    CTestContainer* AddChild(CTestContainer* pChild); // takes the reference; returns pChild
    CXTPMarkupCollection* GetChildren() const { return m_pChildren; }

    int GetLogicalChildCount() const override;
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override;
    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override;
    void OnCreatedForContext(CXTPMarkupElementContext* pContext) override { m_pCreatedFor = pContext; }

    CXTPMarkupElementContext* m_pCreatedFor = nullptr;

protected:
    ~CTestContainer() override;

private:
    CXTPMarkupCollection* m_pChildren;
};

// Owner of the test properties.
class CTestNode : public CTestContainer
{
    DECLARE_MARKUPCLASS(CTestNode)
public:
    static CXTPMarkupDependencyProperty* m_pSizeProperty;     // Int, no options
    static CXTPMarkupDependencyProperty* m_pWeightProperty;   // Int, default 5
    static CXTPMarkupDependencyProperty* m_pFontSizeProperty; // Int, inherits, default 12
    static CXTPMarkupDependencyProperty* m_pMarginProperty;   // Thickness
    static CXTPMarkupDependencyProperty* m_pAlignProperty;    // Enum with a keyword parser
    static void RegisterMarkupProperties();
};

// Derives from the owner without properties of its own.
class CTestLeaf : public CTestNode
{
    DECLARE_MARKUPCLASS(CTestLeaf)
};

// A typed collection of test nodes.
class CTestNodeCollection : public CXTPMarkupCollection
{
    DECLARE_MARKUPCLASS(CTestNodeCollection)
public:
    CTestNodeCollection();
    std::vector<int> m_addedAt;

protected:
    void OnItemAdded(CXTPMarkupObject* pItem, int nIndex) override;
};
