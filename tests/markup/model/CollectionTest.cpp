// Collections: typed items, parents, ownership of refused items and the
// builder's content error.
#include "TestNodes.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

TEST(CollectionTest, ItemsOfTheElementTypeAreParentedAndKeptInOrder)
{
    Ptr<CTestNodeCollection> items(new CTestNodeCollection());
    EXPECT_FALSE(items->HasContent());
    CTestNode* pFirst = new CTestNode();
    CTestLeaf* pSecond = new CTestLeaf(); // derived types are accepted
    EXPECT_EQ(0, items->Add(pFirst));
    EXPECT_EQ(1, items->Add(pSecond));
    EXPECT_EQ(items.Get(), pFirst->GetLogicalParent());
    EXPECT_EQ(2, items->GetLogicalChildCount());
    EXPECT_EQ(pSecond, items->GetLogicalChild(1));
    EXPECT_EQ((std::vector<int>{0, 1}), items->m_addedAt);
    EXPECT_TRUE(items->HasContent());
    EXPECT_EQ(nullptr, items->GetItem(2));
    EXPECT_EQ(nullptr, items->GetItem(-1));

    // Growing well past the first allocations keeps every item in place.
    for (int i = 0; i < 2000; ++i)
        items->Add(new CTestNode());
    EXPECT_EQ(2002, items->GetCount());
    EXPECT_EQ(pSecond, items->GetItem(1));
    EXPECT_EQ(2001, items->m_addedAt.back());
    EXPECT_EQ(1, items->IndexOf(pSecond));
}

TEST(CollectionTest, RefusedItemsAreReleased)
{
    Ptr<CTestNodeCollection> items(new CTestNodeCollection());
    Ptr<CXTPMarkupInt> wrong(new CXTPMarkupInt(1));
    wrong->AddRef();
    EXPECT_EQ(-1, items->Add(wrong.Get()));
    EXPECT_EQ(1, wrong->GetRefCount());
    EXPECT_EQ(nullptr, wrong->GetLogicalParent());
    EXPECT_EQ(-1, items->Add(nullptr));

    // Without an element type nothing is accepted.
    Ptr<CXTPMarkupCollection> untyped(new CXTPMarkupCollection());
    EXPECT_EQ(-1, untyped->Add(new CTestNode()));
    EXPECT_EQ(0, items->GetCount() + untyped->GetCount());
}

TEST(CollectionTest, RemovingItemsClearsTheirParentAndReleasesThem)
{
    Ptr<CTestNodeCollection> items(new CTestNodeCollection());
    Ptr<CTestNode> kept(new CTestNode());
    for (int i = 0; i < 3; ++i)
    {
        kept->AddRef();
        items->Add(kept.Get());
    }
    items->Add(new CTestNode());
    EXPECT_EQ(4, kept->GetRefCount());

    items->RemoveAt(0);
    EXPECT_EQ(3, items->GetCount());
    EXPECT_EQ(kept.Get(), items->GetItem(0));
    items->RemoveAt(3); // outside: ignored
    items->RemoveAt(2); // the other node, which goes away
    EXPECT_EQ(2, items->GetCount());
    EXPECT_EQ(3, kept->GetRefCount());

    items.Reset(); // destruction releases and unparents the rest
    EXPECT_EQ(1, kept->GetRefCount());
    EXPECT_EQ(nullptr, kept->GetLogicalParent());

    // A collection that does not parent its items leaves their parent alone.
    Ptr<CTestNodeCollection> active(new CTestNodeCollection());
    active->SetParentItems(FALSE);
    kept->AddRef();
    active->Add(kept.Get());
    EXPECT_EQ(nullptr, kept->GetLogicalParent());
    active->RemoveAll();
    EXPECT_EQ(0, active->GetCount());
    EXPECT_EQ(1, kept->GetRefCount());
}

TEST(CollectionTest, ContentOfAnotherTypeRaisesTheCollectionError)
{
    Ptr<CTestNodeCollection> items(new CTestNodeCollection());
    items->AddContent(nullptr, new CTestNode());
    EXPECT_EQ(1, items->GetCount());
    try
    {
        items->AddContent(nullptr, new CXTPMarkupInt(1));
        FAIL() << "no error";
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        EXPECT_STREQ(
            "'CXTPMarkupInt' object cannot be added to 'CTestNodeCollection'. Object cannot be converted to type "
            "'CTestNode'",
            e.what());
    }
    EXPECT_EQ(1, items->GetCount());
}
} // namespace
