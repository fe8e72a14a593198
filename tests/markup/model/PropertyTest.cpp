// Dependency properties: value lookup, setting, ownership of values, change
// notification, inheritance and the property registry.
#include "TestNodes.h"

#include "support/MarkupLeakCheck.h"
#include "support/MarkupValues.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/PropertyStore.h"
#include "markup/model/String.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

class PropertyTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CTestNode::GetMarkupType();
        g_testChanges.clear();
    }
};

TEST_F(PropertyTest, GetValueTakesOwnValueThenAncestorsForInheritingPropertiesThenDefault)
{
    Ptr<CTestNode> root(new CTestNode());
    CTestContainer* pMiddle = root->AddChild(new CTestContainer());
    CTestNode* pLeaf = static_cast<CTestNode*>(pMiddle->AddChild(new CTestNode()));
    Ptr<CTestNode> outsider(new CTestNode());

    EXPECT_EQ(nullptr, pLeaf->GetValue(CTestNode::m_pSizeProperty)); // no options, no default
    EXPECT_EQ(5, IntOf(pLeaf->GetValue(CTestNode::m_pWeightProperty)));
    EXPECT_EQ(12, IntOf(pLeaf->GetValue(CTestNode::m_pFontSizeProperty)));

    root->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(20));
    root->SetValue(CTestNode::m_pWeightProperty, new CXTPMarkupInt(9));
    EXPECT_EQ(20, IntOf(pLeaf->GetValue(CTestNode::m_pFontSizeProperty))); // through the collection
    EXPECT_EQ(root.Get(), pLeaf->GetValueSource(CTestNode::m_pFontSizeProperty));
    EXPECT_EQ(5, IntOf(pLeaf->GetValue(CTestNode::m_pWeightProperty))); // does not inherit
    EXPECT_EQ(12, IntOf(outsider->GetValue(CTestNode::m_pFontSizeProperty)));
    EXPECT_EQ(nullptr, outsider->GetValueSource(CTestNode::m_pFontSizeProperty));

    pLeaf->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(8));
    EXPECT_EQ(8, IntOf(pLeaf->GetValue(CTestNode::m_pFontSizeProperty)));
    EXPECT_EQ(20, IntOf(root->GetValue(CTestNode::m_pFontSizeProperty)));

    EXPECT_EQ(nullptr, root->GetValue(nullptr));
}

TEST_F(PropertyTest, StoredValuesHaveTheirObjectAsParentUntilDropped)
{
    Ptr<CTestNode> node(new CTestNode());
    EXPECT_EQ(nullptr, node->GetPropertyStore()); // no store until the first value

    Ptr<CXTPMarkupInt> value(new CXTPMarkupInt(3));
    value->AddRef();
    node->SetValue(CTestNode::m_pSizeProperty, value.Get());
    ASSERT_NE(nullptr, node->GetPropertyStore());
    EXPECT_EQ(node.Get(), value->GetLogicalParent());
    EXPECT_EQ(2, value->GetRefCount());

    node->SetValue(CTestNode::m_pSizeProperty, nullptr);
    EXPECT_EQ(nullptr, value->GetLogicalParent());
    EXPECT_EQ(1, value->GetRefCount());

    // Storing the same object again keeps it parented and counted once.
    value->AddRef();
    node->SetValue(CTestNode::m_pSizeProperty, value.Get());
    value->AddRef();
    node->SetValue(CTestNode::m_pSizeProperty, value.Get());
    EXPECT_EQ(node.Get(), value->GetLogicalParent());
    EXPECT_EQ(2, value->GetRefCount());

    // The node goes first: the value survives without a dangling parent.
    node.Reset();
    EXPECT_EQ(nullptr, value->GetLogicalParent());
    EXPECT_EQ(1, value->GetRefCount());
}

TEST_F(PropertyTest, RefusedValuesAreReleasedAndNobodyIsNotified)
{
    Ptr<CTestNode> node(new CTestNode());
    Ptr<CXTPMarkupInt> value(new CXTPMarkupInt(1));

    // Wrong value type.
    value->AddRef();
    node->SetValue(CTestNode::m_pMarginProperty, value.Get());
    EXPECT_EQ(1, value->GetRefCount());
    EXPECT_EQ(nullptr, node->GetValue(CTestNode::m_pMarginProperty));

    // No property.
    value->AddRef();
    node->SetValue(nullptr, value.Get());
    EXPECT_EQ(1, value->GetRefCount());

    // A property that has no slot: an event.
    CXTPMarkupDependencyProperty* pEvent =
        CXTPMarkupDependencyProperty::RegisterEvent(L"TestClick", 0, MARKUP_TYPE(CTestNode));
    node->SetValue(pEvent, CXTPMarkupString::CreateValue(L"handler"));
    EXPECT_EQ(nullptr, node->GetValue(pEvent));

    EXPECT_TRUE(g_testChanges.empty());
}

TEST_F(PropertyTest, PropertiesRegisteredAfterAStoreWasMadeAreNotStoredInIt)
{
    Ptr<CTestNode> node(new CTestNode());
    node->SetValue(CTestNode::m_pSizeProperty, new CXTPMarkupInt(1));
    g_testChanges.clear();
    int nCount = CXTPMarkupDependencyProperty::GetPropertyCount();

    CXTPMarkupDependencyProperty* pLate =
        CXTPMarkupDependencyProperty::Register(L"TestLate", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestNode));
    EXPECT_EQ(nCount, pLate->GetIndex());
    EXPECT_EQ(nCount + 1, CXTPMarkupDependencyProperty::GetPropertyCount());

    node->SetValue(pLate, new CXTPMarkupInt(2)); // released, not stored
    EXPECT_EQ(nullptr, node->GetValue(pLate));
    EXPECT_TRUE(g_testChanges.empty());

    Ptr<CTestNode> fresh(new CTestNode());
    fresh->SetValue(pLate, new CXTPMarkupInt(2));
    EXPECT_EQ(2, IntOf(fresh->GetValue(pLate)));
}

TEST_F(PropertyTest, ChangesAreNotifiedWithOldAndNewEffectiveValues)
{
    Ptr<CTestNode> root(new CTestNode());
    CTestNode* pChild = static_cast<CTestNode*>(root->AddChild(new CTestNode()));

    // Nothing before and nothing after: no notification.
    pChild->SetValue(CTestNode::m_pSizeProperty, nullptr);
    EXPECT_TRUE(g_testChanges.empty());

    pChild->SetValue(CTestNode::m_pSizeProperty, new CXTPMarkupInt(4));
    ASSERT_EQ(1u, g_testChanges.size());
    EXPECT_EQ(nullptr, g_testChanges[0].pOldValue);
    EXPECT_EQ(4, IntOf(g_testChanges[0].pNewValue));

    // Clearing a value that was never set, with an inherited one present.
    root->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(30));
    g_testChanges.clear();
    pChild->SetValue(CTestNode::m_pFontSizeProperty, nullptr);
    ASSERT_EQ(1u, g_testChanges.size());
    EXPECT_EQ(30, IntOf(g_testChanges[0].pOldValue));
    EXPECT_EQ(g_testChanges[0].pOldValue, g_testChanges[0].pNewValue);
}

TEST_F(PropertyTest, TheReplacedValueStaysAliveWhileChangesAreDelivered)
{
    Ptr<CTestNode> root(new CTestNode());
    root->AddChild(new CTestNode());
    root->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(30));
    g_testChanges.clear();

    CXTPMarkupInt* pNew = new CXTPMarkupInt(31);
    LONG nLive = CXTPMarkupObject::GetLiveObjectCount();
    root->SetValue(CTestNode::m_pFontSizeProperty, pNew);
    ASSERT_EQ(2u, g_testChanges.size()); // the root and its child
    for (const TestChange& change : g_testChanges)
    {
        EXPECT_EQ(nLive, change.nLiveObjects) << "the old value was freed before its notification";
        EXPECT_EQ(pNew, change.pNewValue);
    }
    EXPECT_EQ(nLive - 1, CXTPMarkupObject::GetLiveObjectCount()); // freed afterwards
}

TEST_F(PropertyTest, InheritedChangesReachEveryDescendantOfTheOwnerClass)
{
    // root(TestNode) -> container(TestContainer) -> a(TestNode), b(TestLeaf with own value)
    Ptr<CTestNode> root(new CTestNode());
    CTestContainer* pContainer = root->AddChild(new CTestContainer());
    CTestContainer* pA = pContainer->AddChild(new CTestNode());
    CTestContainer* pB = pContainer->AddChild(new CTestLeaf());
    pB->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(7));
    g_testChanges.clear();

    root->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(16));
    std::vector<CXTPMarkupObject*> notified;
    for (const TestChange& change : g_testChanges)
    {
        notified.push_back(change.pObject);
        EXPECT_EQ(12, IntOf(change.pOldValue));
        EXPECT_EQ(16, IntOf(change.pNewValue));
    }
    EXPECT_EQ((std::vector<CXTPMarkupObject*>{root.Get(), pA, pB}), notified);

    // A non-inheriting property reaches nobody below.
    g_testChanges.clear();
    root->SetValue(CTestNode::m_pSizeProperty, new CXTPMarkupInt(1));
    EXPECT_EQ(1u, g_testChanges.size());
}

TEST_F(PropertyTest, ChangeCallbacksRunWithTheObjectAndArguments)
{
    static std::vector<CXTPMarkupPropertyChangedArgs> s_calls;
    static CXTPMarkupObject* s_pObject;
    s_calls.clear();
    CXTPMarkupDependencyProperty* pProperty = CXTPMarkupDependencyProperty::Register(
        L"TestCallback", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestNode),
        new CXTPMarkupPropertyOptions(nullptr,
                                      [](CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs)
                                      {
                                          s_pObject = pObject;
                                          s_calls.push_back(*pArgs);
                                      }));

    Ptr<CTestNode> node(new CTestNode());
    node->SetValue(pProperty, new CXTPMarkupInt(1));
    ASSERT_EQ(1u, s_calls.size());
    EXPECT_EQ(node.Get(), s_pObject);
    EXPECT_EQ(pProperty, s_calls[0].m_pProperty);
    EXPECT_EQ(nullptr, s_calls[0].m_pOldValue);
    EXPECT_EQ(1, IntOf(s_calls[0].m_pNewValue));
}

TEST_F(PropertyTest, FindPropertyIsCaseSensitiveAndWalksTheBaseChain)
{
    const CXTPMarkupType* pLeaf = MARKUP_TYPE(CTestLeaf);
    EXPECT_EQ(CTestNode::m_pSizeProperty, CXTPMarkupDependencyProperty::FindProperty(pLeaf, L"Size"));
    EXPECT_EQ(nullptr, CXTPMarkupDependencyProperty::FindProperty(pLeaf, L"size"));
    EXPECT_EQ(CXTPMarkupObject::m_pNameProperty, CXTPMarkupDependencyProperty::FindProperty(pLeaf, L"x:Name"));
    EXPECT_EQ(nullptr, CXTPMarkupDependencyProperty::FindProperty(MARKUP_TYPE(CTestContainer), L"Size"));
    EXPECT_EQ(nullptr, CXTPMarkupDependencyProperty::FindProperty(nullptr, L"Size"));
    EXPECT_EQ(nullptr, CXTPMarkupDependencyProperty::FindProperty(pLeaf, nullptr));

    // "Type.Name" names the property along another type.
    EXPECT_EQ(CTestNode::m_pSizeProperty,
              CXTPMarkupDependencyProperty::FindMarkupProperty(MARKUP_TYPE(CXTPMarkupInt), L"TestLeaf.Size"));
    EXPECT_EQ(nullptr, CXTPMarkupDependencyProperty::FindMarkupProperty(MARKUP_TYPE(CTestNode), L"NoSuchTag.Size"));
    EXPECT_EQ(CTestNode::m_pSizeProperty,
              CXTPMarkupDependencyProperty::FindMarkupProperty(MARKUP_TYPE(CTestNode), L"Size"));
}

TEST_F(PropertyTest, RegistryEntriesAddOwnersAndReplacements)
{
    CXTPMarkupDependencyProperty* pFirst =
        CXTPMarkupDependencyProperty::Register(L"TestShared", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestNode));
    EXPECT_EQ(pFirst, pFirst->AddOwner(MARKUP_TYPE(CTestContainer)));
    EXPECT_EQ(pFirst, CXTPMarkupDependencyProperty::FindProperty(MARKUP_TYPE(CTestContainer), L"TestShared"));
    EXPECT_EQ(MARKUP_TYPE(CTestNode), pFirst->GetOwnerType());

    // A second registration of (name, owner) takes over the entry; the first
    // record stays valid for whoever kept it.
    CXTPMarkupDependencyProperty* pSecond =
        CXTPMarkupDependencyProperty::Register(L"TestShared", MARKUP_TYPE(CXTPMarkupString), MARKUP_TYPE(CTestNode));
    EXPECT_EQ(pSecond, CXTPMarkupDependencyProperty::FindProperty(MARKUP_TYPE(CTestLeaf), L"TestShared"));
    EXPECT_EQ(pFirst->GetIndex() + 1, pSecond->GetIndex());
    EXPECT_STREQ(L"TestShared", pFirst->GetName());

    CXTPMarkupDependencyProperty* pAttached = CXTPMarkupDependencyProperty::RegisterAttached(
        L"TestAttached", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestContainer));
    EXPECT_TRUE(pAttached->IsAttached());
    EXPECT_FALSE(pFirst->IsAttached());

    int nCount = CXTPMarkupDependencyProperty::GetPropertyCount();
    CXTPMarkupDependencyProperty* pEvent =
        CXTPMarkupDependencyProperty::RegisterEvent(L"TestBubble", 1, MARKUP_TYPE(CTestNode));
    EXPECT_TRUE(pEvent->IsEvent());
    EXPECT_EQ(-1, pEvent->GetIndex());
    EXPECT_EQ(nCount, CXTPMarkupDependencyProperty::GetPropertyCount());
    EXPECT_EQ(MARKUP_TYPE(CXTPMarkupString), pEvent->GetPropertyType());
    EXPECT_EQ(1u, pEvent->GetFlags());
    EXPECT_EQ(nullptr,
              CXTPMarkupDependencyProperty::RegisterEvent(L"TestDirect", 0, MARKUP_TYPE(CTestNode))->GetOptions());
}

TEST_F(PropertyTest, ApplyMarkupValueConvertsThroughTheParserThenTheValueType)
{
    CXTPMarkupObjectBuilder builder(nullptr);
    Ptr<CTestNode> node(new CTestNode());

    node->ApplyMarkupValue(&builder, CTestNode::m_pMarginProperty, CXTPMarkupString::CreateValue(L"0,12,0,0"));
    const CXTPMarkupThickness* pMargin = MarkupCast<CXTPMarkupThickness>(node->GetValue(CTestNode::m_pMarginProperty));
    ASSERT_NE(nullptr, pMargin);
    EXPECT_EQ(12, pMargin->GetTop());

    node->ApplyMarkupValue(&builder, CTestNode::m_pAlignProperty, CXTPMarkupString::CreateValue(L"right"));
    EXPECT_EQ(2, static_cast<int>(*MarkupCast<CXTPMarkupEnum>(node->GetValue(CTestNode::m_pAlignProperty))));

    // A value of the right type is stored as it is.
    CXTPMarkupInt* pSize = new CXTPMarkupInt(3);
    node->ApplyMarkupValue(&builder, CTestNode::m_pSizeProperty, pSize);
    EXPECT_EQ(pSize, node->GetValue(CTestNode::m_pSizeProperty));

    // Neither the parser nor the value type reads it: the conversion error,
    // and the string is not leaked.
    try
    {
        node->ApplyMarkupValue(&builder, CTestNode::m_pAlignProperty, CXTPMarkupString::CreateValue(L"Sideways"));
        FAIL() << "no error";
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        EXPECT_STREQ("Cannot convert string in attribute 'Align' to object of type 'CXTPMarkupEnum'", e.what());
    }
}

TEST_F(PropertyTest, DefaultContentIsRefusedWithTheBuilderErrors)
{
    CXTPMarkupObjectBuilder builder(nullptr);
    Ptr<CTestNode> node(new CTestNode());
    try
    {
        node->AddContent(&builder, CXTPMarkupString::CreateValue(L"some text"));
        FAIL() << "no error";
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        EXPECT_STREQ("Cannot convert the string 'some text' into a 'CTestNode' object", e.what());
    }
    try
    {
        node->AddContent(&builder, new CXTPMarkupInt(1));
        FAIL() << "no error";
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        EXPECT_STREQ("Cannot add content to an object of type 'CTestNode'", e.what());
    }
    EXPECT_FALSE(node->HasContent());
    EXPECT_FALSE(node->KeepsWhitespace());
}

TEST_F(PropertyTest, ReferenceCountsAndLiveObjects)
{
    CMarkupLiveObjects live;
    CXTPMarkupInt* pValue = new CXTPMarkupInt(1);
    EXPECT_EQ(1, live.Added());
    EXPECT_EQ(2, pValue->AddRef());
    EXPECT_EQ(1, pValue->Release());
    EXPECT_EQ(0, pValue->Release());
    EXPECT_EQ(0, live.Added());

    // Shared values never count as alive objects of a test.
    CXTPMarkupBool* pTrue = CXTPMarkupBool::CreateTrueValue();
    EXPECT_TRUE(pTrue->IsPermanent());
    EXPECT_EQ(0, live.Added());
    pTrue->Release();

    // Releasing again at a count of 0 does nothing at all.
    class CKeptObject : public CXTPMarkupObject
    {
    public:
        int m_nFinalReleases = 0;
        void OnFinalRelease() override { ++m_nFinalReleases; }
        void Destroy() { delete this; }
    };
    CKeptObject* pKept = new CKeptObject();
    EXPECT_EQ(0, pKept->Release());
    EXPECT_EQ(0, pKept->Release());
    EXPECT_EQ(1, pKept->m_nFinalReleases);
    pKept->Destroy();
}
} // namespace
