#include "TestNodes.h"

#include "markup/model/Converter.h"
#include "markup/model/Numbers.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

std::vector<TestChange> g_testChanges;

IMPLEMENT_MARKUPCLASS(L"TestContainer", CTestContainer, CXTPMarkupObject)
IMPLEMENT_MARKUPCLASS(L"TestNode", CTestNode, CTestContainer)
IMPLEMENT_MARKUPCLASS(L"TestLeaf", CTestLeaf, CTestNode)
IMPLEMENT_MARKUPCLASS(nullptr, CTestNodeCollection, CXTPMarkupCollection)

CXTPMarkupDependencyProperty* CTestNode::m_pSizeProperty;
CXTPMarkupDependencyProperty* CTestNode::m_pWeightProperty;
CXTPMarkupDependencyProperty* CTestNode::m_pFontSizeProperty;
CXTPMarkupDependencyProperty* CTestNode::m_pMarginProperty;
CXTPMarkupDependencyProperty* CTestNode::m_pAlignProperty;

void CTestNode::RegisterMarkupProperties()
{
    m_pSizeProperty =
        CXTPMarkupDependencyProperty::Register(L"Size", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestNode));
    m_pWeightProperty =
        CXTPMarkupDependencyProperty::Register(L"Weight", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestNode),
                                               new CXTPMarkupPropertyOptions(new CXTPMarkupInt(5)));
    m_pFontSizeProperty = CXTPMarkupDependencyProperty::Register(
        L"FontSize", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestNode),
        new CXTPMarkupPropertyOptions(new CXTPMarkupInt(12), CXTPMarkupPropertyOptions::Inherits));
    m_pMarginProperty =
        CXTPMarkupDependencyProperty::Register(L"Margin", MARKUP_TYPE(CXTPMarkupThickness), MARKUP_TYPE(CTestNode));
    m_pAlignProperty = CXTPMarkupDependencyProperty::Register(
        L"Align", MARKUP_TYPE(CXTPMarkupEnum), MARKUP_TYPE(CTestNode),
        new CXTPMarkupPropertyOptions(nullptr, &CXTPMarkupConverter::ConvertHorizontalAlignment));
}

CTestContainer::CTestContainer() : m_pChildren(new CXTPMarkupCollection(MARKUP_TYPE(CTestContainer)))
{
    m_pChildren->SetLogicalParent(this);
}

CTestContainer::~CTestContainer()
{
    m_pChildren->Release();
}

CTestContainer* CTestContainer::AddChild(CTestContainer* pChild)
{
    m_pChildren->Add(pChild);
    return pChild;
}

int CTestContainer::GetLogicalChildCount() const
{
    return m_pChildren->GetCount();
}

CXTPMarkupObject* CTestContainer::GetLogicalChild(int nIndex) const
{
    return m_pChildren->GetItem(nIndex);
}

void CTestContainer::OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                                       CXTPMarkupObject* pNewValue)
{
    g_testChanges.push_back({this, pProperty, pOldValue, pNewValue, CXTPMarkupObject::GetLiveObjectCount()});
    CXTPMarkupObject::OnPropertyChanged(pProperty, pOldValue, pNewValue);
}

CTestNodeCollection::CTestNodeCollection() : CXTPMarkupCollection(MARKUP_TYPE(CTestNode)) {}

void CTestNodeCollection::OnItemAdded(CXTPMarkupObject*, int nIndex)
{
    m_addedAt.push_back(nIndex);
}
