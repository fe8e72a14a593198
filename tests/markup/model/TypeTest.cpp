// The type registry: tags, base chains, factories and static initialisation.
#include "TestNodes.h"

#include "markup/model/Brush.h"
#include "markup/model/Color.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

TEST(TypeTest, TagsAreFoundCaseSensitivelyOnceTheLibraryIsInitialised)
{
    // Nothing in this program names the brush class before this lookup; the
    // library's registration made it known.
    CXTPMarkupType* pBrush = CXTPMarkupType::FindType(L"SolidColorBrush");
    ASSERT_NE(nullptr, pBrush);
    EXPECT_STREQ(L"CXTPMarkupSolidColorBrush", pBrush->GetTypeName());
    EXPECT_EQ(MARKUP_TYPE(CXTPMarkupSolidColorBrush), pBrush);
    EXPECT_EQ(MARKUP_TYPE(CXTPMarkupColor), CXTPMarkupType::FindType(L"Color"));
    EXPECT_EQ(nullptr, CXTPMarkupType::FindType(L"color"));
    EXPECT_EQ(nullptr, CXTPMarkupType::FindType(L""));
    EXPECT_EQ(nullptr, CXTPMarkupType::FindType(nullptr));
    // Value classes have no tag.
    EXPECT_EQ(nullptr, MARKUP_TYPE(CXTPMarkupInt)->GetTag());

    // Every registered type has been initialised and is in the list.
    int nTypes = 0;
    for (CXTPMarkupType* pType = CXTPMarkupType::GetFirstType(); pType; pType = pType->GetNextType(), ++nTypes)
        EXPECT_TRUE(pType->IsInitialized()) << pType->GetTypeName();
    EXPECT_GE(nTypes, 18);
}

TEST(TypeTest, BaseChainsDecideKinds)
{
    const CXTPMarkupType* pSolid = MARKUP_TYPE(CXTPMarkupSolidColorBrush);
    EXPECT_EQ(MARKUP_TYPE(CXTPMarkupBrush), pSolid->GetBaseType());
    EXPECT_TRUE(pSolid->IsDerivedFrom(MARKUP_TYPE(CXTPMarkupObject)));
    EXPECT_FALSE(MARKUP_TYPE(CXTPMarkupBrush)->IsDerivedFrom(pSolid));
    EXPECT_FALSE(pSolid->IsDerivedFrom(nullptr));
    EXPECT_EQ(nullptr, MARKUP_TYPE(CXTPMarkupObject)->GetBaseType());

    Ptr<CTestLeaf> leaf(new CTestLeaf());
    EXPECT_TRUE(leaf->IsKindOf(MARKUP_TYPE(CTestContainer)));
    EXPECT_FALSE(leaf->IsKindOf(MARKUP_TYPE(CXTPMarkupInt)));
    EXPECT_EQ(leaf.Get(), MarkupCast<CTestNode>(leaf.Get()));
    EXPECT_EQ(nullptr, MarkupCast<CXTPMarkupString>(leaf.Get()));
}

TEST(TypeTest, CreateObjectUsesTheFactoryAndTellsTheObjectItsContext)
{
    CXTPMarkupElementContext* pContext = reinterpret_cast<CXTPMarkupElementContext*>(0x1000);
    Ptr<CXTPMarkupObject> node(CXTPMarkupType::CreateObject(pContext, CXTPMarkupType::FindType(L"TestNode")));
    ASSERT_NE(nullptr, node.Get());
    EXPECT_EQ(MARKUP_TYPE(CTestNode), node->GetType());
    EXPECT_EQ(1, node->GetRefCount());
    EXPECT_EQ(pContext, static_cast<CTestNode*>(node.Get())->m_pCreatedFor);

    // Classes without a public default constructor have no factory.
    EXPECT_FALSE(MARKUP_TYPE(CXTPMarkupDependencyProperty)->HasFactory());
    EXPECT_EQ(nullptr, CXTPMarkupType::CreateObject(nullptr, MARKUP_TYPE(CXTPMarkupDependencyProperty)));
    EXPECT_EQ(nullptr, CXTPMarkupType::CreateObject(nullptr, nullptr));
}

TEST(TypeTest, TypeTextNamesARegisteredTag)
{
    Ptr<CXTPMarkupObject> prototype(CXTPMarkupType::CreateObject(nullptr, MARKUP_TYPE(CXTPMarkupType)));
    ASSERT_NE(nullptr, prototype.Get());
    Ptr<CXTPMarkupString> tag(CXTPMarkupString::CreateValue(L"TestLeaf"));
    Ptr<CXTPMarkupObject> type(prototype->ParseValue(tag.Get()));
    EXPECT_EQ(MARKUP_TYPE(CTestLeaf), type.Get());

    Ptr<CXTPMarkupString> unknown(CXTPMarkupString::CreateValue(L"testleaf"));
    EXPECT_EQ(nullptr, prototype->ParseValue(unknown.Get()));
    Ptr<CXTPMarkupInt> notText(new CXTPMarkupInt(1));
    EXPECT_EQ(nullptr, prototype->ParseValue(notText.Get()));
}

std::wstring g_initOrder;
CXTPMarkupType* g_pOrderBase;
CXTPMarkupType* GetOrderBase()
{
    if (!g_pOrderBase)
    {
        g_pOrderBase = CXTPMarkupType::RegisterType(L"TestOrderBase", L"COrderBase", nullptr,
                                                    &CXTPMarkupObject::GetMarkupType, [] { g_initOrder += L"B"; });
    }
    return g_pOrderBase;
}

TEST(TypeTest, InitialisersRunOnceBaseFirstAndMayAskForTheirOwnType)
{
    static CXTPMarkupType* s_pDerived;
    s_pDerived = CXTPMarkupType::RegisterType(
        L"TestOrderDerived", L"COrderDerived", nullptr, &GetOrderBase,
        []
        {
            g_initOrder += L"D";
            CXTPMarkupType::FindType(L"TestOrderDerived")->EnsureInitialized(); // no recursion
        });
    EXPECT_EQ(L"BD", g_initOrder);
    CXTPMarkupType::InitializeTypes();
    EXPECT_EQ(L"BD", g_initOrder);

    // A later record takes over the tag; the earlier one stays in the list.
    CXTPMarkupType* pReplacement = CXTPMarkupType::RegisterType(L"TestOrderDerived", L"COrderReplacement", nullptr,
                                                                &CXTPMarkupObject::GetMarkupType, nullptr);
    EXPECT_EQ(pReplacement, CXTPMarkupType::FindType(L"TestOrderDerived"));
    EXPECT_EQ(pReplacement, CXTPMarkupType::GetFirstType());
    EXPECT_EQ(s_pDerived, CXTPMarkupType::GetFirstType()->GetNextType());

    // A class without an initialiser of its own registers nothing.
    CTestNode::GetMarkupType();
    int nCount = CXTPMarkupDependencyProperty::GetPropertyCount();
    CTestLeaf::GetMarkupType();
    EXPECT_EQ(nCount, CXTPMarkupDependencyProperty::GetPropertyCount());
}
} // namespace
