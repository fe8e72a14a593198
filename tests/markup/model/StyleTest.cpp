// The resource search, based-on loops, the ranking of style and trigger
// values, and trigger evaluation, on objects made in code.
#include "TestNodes.h"
#include "support/MarkupValues.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/String.h"
#include "markup/model/Style.h"
#include "markup/model/StyleState.h"
#include "markup/model/Thickness.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

// A node that takes part in styles the way input elements do: its own-value
// lookup goes on to the style layers and every change re-evaluates triggers.
class CStyledNode : public CTestNode
{
    DECLARE_MARKUPCLASS(CStyledNode)
public:
    static CXTPMarkupDependencyProperty* m_pIsOverProperty; // Bool, default False
    static void RegisterMarkupProperties();

    CXTPMarkupObject* LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const override
    {
        if (CXTPMarkupObject* pValue = CTestNode::LookupOwnValue(pProperty))
            return pValue;
        return m_state.LookupValue(pProperty, GetType());
    }

    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override
    {
        CTestNode::OnPropertyChanged(pProperty, pOldValue, pNewValue);
        m_state.UpdateTriggers(this, pProperty, pNewValue);
    }

    CXTPMarkupStyleState m_state;
};

IMPLEMENT_MARKUPCLASS(L"StyledNode", CStyledNode, CTestNode)
CXTPMarkupDependencyProperty* CStyledNode::m_pIsOverProperty;

void CStyledNode::RegisterMarkupProperties()
{
    m_pIsOverProperty =
        CXTPMarkupDependencyProperty::Register(L"IsOver", MARKUP_TYPE(CXTPMarkupBool), MARKUP_TYPE(CStyledNode),
                                               new CXTPMarkupPropertyOptions(CXTPMarkupBool::CreateFalseValue()));
}

// An added reference, for calls that take one over.
template <class T> T* Ref(T* p)
{
    p->AddRef();
    return p;
}

CXTPMarkupString* Text(LPCWSTR lpszText)
{
    return CXTPMarkupString::CreateValue(lpszText);
}

CXTPMarkupStyle* NewStyle(CXTPMarkupType* pTargetType)
{
    CXTPMarkupStyle* pStyle = new CXTPMarkupStyle();
    if (pTargetType)
    {
        pTargetType->AddRef();
        pStyle->SetValue(CXTPMarkupStyle::m_pTargetTypeProperty, pTargetType);
    }
    return pStyle;
}

// A resolved trigger: while pProperty equals pValue, each (property, value)
// pair of setters applies.
typedef std::pair<CXTPMarkupDependencyProperty*, CXTPMarkupObject*> SetterPair;

CXTPMarkupTrigger* NewTrigger(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pValue,
                              std::initializer_list<SetterPair> setters)
{
    CXTPMarkupTrigger* pTrigger = new CXTPMarkupTrigger();
    pProperty->AddRef();
    pTrigger->SetValue(CXTPMarkupTrigger::m_pPropertyProperty, pProperty);
    pTrigger->SetValue(CXTPMarkupTrigger::m_pValueProperty, pValue);
    CXTPMarkupSetterColection* pSetters = new CXTPMarkupSetterColection();
    for (const auto& setter : setters)
        pSetters->Add(new CXTPMarkupSetter(setter.first, setter.second));
    pTrigger->SetValue(CXTPMarkupTrigger::m_pSettersProperty, pSetters);
    return pTrigger;
}

void AddTrigger(CXTPMarkupStyle* pStyle, CXTPMarkupTrigger* pTrigger)
{
    CXTPMarkupTriggerCollection* pTriggers = pStyle->GetTriggers();
    if (!pTriggers)
    {
        pTriggers = new CXTPMarkupTriggerCollection();
        pStyle->SetValue(CXTPMarkupStyle::m_pTriggersProperty, pTriggers);
    }
    pTriggers->Add(pTrigger);
}

void SetStyle(CStyledNode* pNode, CXTPMarkupStyle* pStyle)
{
    pNode->m_state.SetCurrentStyle(pStyle);
}

// Changes logged for one property, as (old, new) integers (-1 for none).
std::vector<std::pair<int, int>> ChangesOf(const CXTPMarkupObject* pObject, CXTPMarkupDependencyProperty* pProperty)
{
    std::vector<std::pair<int, int>> changes;
    for (const TestChange& change : g_testChanges)
    {
        if (change.pObject == pObject && change.pProperty == pProperty)
            changes.emplace_back(IntOf(change.pOldValue), IntOf(change.pNewValue));
    }
    return changes;
}

class StyleTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CStyledNode::GetMarkupType();
        g_testChanges.clear();
    }
    void TearDown() override { CXTPMarkupType::SetDefaultStyle(MARKUP_TYPE(CStyledNode), nullptr); }

    CXTPMarkupObjectBuilder m_builder{nullptr};
};

TEST_F(StyleTest, ResourcesAreFoundFromTheInnermostObjectOutwardAndTheSearchStopsAtAStyle)
{
    auto addResource = [](CXTPMarkupObject* pOwner, LPCWSTR lpszKey, int nValue)
    {
        CXTPMarkupResourceDictionary* pResources =
            MarkupCast<CXTPMarkupResourceDictionary>(pOwner->GetValue(CXTPMarkupStyle::m_pResourcesProperty));
        if (!pResources)
        {
            pResources = new CXTPMarkupResourceDictionary();
            pOwner->SetValue(CXTPMarkupStyle::m_pResourcesProperty, pResources);
        }
        pResources->Add(Text(lpszKey), new CXTPMarkupInt(nValue));
    };

    Ptr<CTestNode> root(new CTestNode());
    CTestContainer* pMiddle = root->AddChild(new CTestContainer());
    CTestContainer* pLeaf = pMiddle->AddChild(new CTestNode());
    addResource(root.Get(), L"A", 1);
    addResource(root.Get(), L"B", 2);
    addResource(pMiddle, L"A", 10);

    Ptr<CXTPMarkupString> a(Text(L"A")), b(Text(L"B")), c(Text(L"C"));
    EXPECT_EQ(10, IntOf(CXTPMarkupResourceDictionary::FindResource(pLeaf, a.Get())));
    EXPECT_EQ(2, IntOf(CXTPMarkupResourceDictionary::FindResource(pLeaf, b.Get())));
    EXPECT_EQ(1, IntOf(CXTPMarkupResourceDictionary::FindResource(root.Get(), a.Get())));
    EXPECT_EQ(nullptr, CXTPMarkupResourceDictionary::FindResource(pLeaf, c.Get()));

    // A dictionary is searched itself, without climbing.
    CXTPMarkupObject* pMiddleResources = pMiddle->GetValue(CXTPMarkupStyle::m_pResourcesProperty);
    EXPECT_EQ(10, IntOf(CXTPMarkupResourceDictionary::FindResource(pMiddleResources, a.Get())));
    EXPECT_EQ(nullptr, CXTPMarkupResourceDictionary::FindResource(pMiddleResources, b.Get()));

    // A style placed in the tree ends the search after its own resources.
    CXTPMarkupStyle* pStyle = NewStyle(nullptr);
    pStyle->SetLogicalParent(pLeaf);
    addResource(pStyle, L"C", 3);
    EXPECT_EQ(3, IntOf(CXTPMarkupResourceDictionary::FindResource(pStyle, c.Get())));
    EXPECT_EQ(nullptr, CXTPMarkupResourceDictionary::FindResource(pStyle, a.Get()));
    pStyle->Release();
}

TEST_F(StyleTest, ABasedOnChainThatLoopsIsRefusedInMarkupAndCutWhenSealed)
{
    Ptr<CXTPMarkupStyle> first(NewStyle(MARKUP_TYPE(CStyledNode)));
    Ptr<CXTPMarkupStyle> second(NewStyle(MARKUP_TYPE(CStyledNode)));
    Ptr<CXTPMarkupStyle> third(NewStyle(MARKUP_TYPE(CStyledNode)));
    first->AddSetter(CTestNode::m_pSizeProperty, new CXTPMarkupInt(1));
    second->AddSetter(CTestNode::m_pWeightProperty, new CXTPMarkupInt(2));
    third->AddSetter(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(3));

    const std::string kLoop = "Style cannot be based on itself: its BasedOn chain leads back to it";
    EXPECT_EQ(
        kLoop,
        ErrorOf([&] { first->ApplyMarkupValue(&m_builder, CXTPMarkupStyle::m_pBasedOnProperty, Ref(first.Get())); }));
    second->ApplyMarkupValue(&m_builder, CXTPMarkupStyle::m_pBasedOnProperty, Ref(first.Get()));
    third->ApplyMarkupValue(&m_builder, CXTPMarkupStyle::m_pBasedOnProperty, Ref(second.Get()));
    EXPECT_EQ(
        kLoop,
        ErrorOf([&] { first->ApplyMarkupValue(&m_builder, CXTPMarkupStyle::m_pBasedOnProperty, Ref(third.Get())); }));
    EXPECT_EQ(nullptr, first->GetBasedOn());

    // Code can still close the loop; sealing ends where the chain comes back.
    first->SetValue(CXTPMarkupStyle::m_pBasedOnProperty, Ref(third.Get()));
    third->Seal();
    EXPECT_EQ(3, IntOf(third->GetStyleValue(CTestNode::m_pFontSizeProperty)));
    EXPECT_EQ(2, IntOf(third->GetStyleValue(CTestNode::m_pWeightProperty)));
    EXPECT_EQ(1, IntOf(third->GetStyleValue(CTestNode::m_pSizeProperty)));
    EXPECT_EQ(nullptr, first->GetStyleValue(CTestNode::m_pFontSizeProperty));

    // Triggers of a looping chain are still evaluated once each.
    AddTrigger(first.Get(), NewTrigger(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue(),
                                       {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(50)}}));
    Ptr<CStyledNode> node(new CStyledNode());
    SetStyle(node.Get(), third.Get());
    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(50, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    EXPECT_EQ(1, node->m_state.GetActiveTriggers()->GetCount());

    first->SetValue(CXTPMarkupStyle::m_pBasedOnProperty, nullptr); // the loop would hold itself alive
}

TEST_F(StyleTest, LocalValueBeatsTriggerBeatsStyleBeatsTheTypesBuiltInStyle)
{
    CXTPMarkupStyle* pTypeStyle = NewStyle(MARKUP_TYPE(CStyledNode));
    pTypeStyle->AddSetter(CTestNode::m_pSizeProperty, new CXTPMarkupInt(1));
    pTypeStyle->AddSetter(CTestNode::m_pMarginProperty, new CXTPMarkupThickness(4, 4, 4, 4));
    CXTPMarkupType::SetDefaultStyle(MARKUP_TYPE(CStyledNode), pTypeStyle);
    EXPECT_TRUE(pTypeStyle->IsSealed());

    Ptr<CStyledNode> node(new CStyledNode());
    EXPECT_EQ(1, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));

    Ptr<CXTPMarkupStyle> style(NewStyle(MARKUP_TYPE(CStyledNode)));
    style->AddSetter(CTestNode::m_pSizeProperty, new CXTPMarkupInt(2));
    AddTrigger(style.Get(), NewTrigger(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue(),
                                       {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(3)}}));
    SetStyle(node.Get(), style.Get());
    EXPECT_EQ(2, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    // The built-in style still supplies what the explicit style does not set.
    EXPECT_NE(nullptr, MarkupCast<CXTPMarkupThickness>(node->GetValue(CTestNode::m_pMarginProperty)));

    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(3, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));

    node->SetValue(CTestNode::m_pSizeProperty, new CXTPMarkupInt(4));
    EXPECT_EQ(4, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));

    node->SetValue(CTestNode::m_pSizeProperty, nullptr);
    EXPECT_EQ(3, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    node->SetValue(CStyledNode::m_pIsOverProperty, nullptr);
    EXPECT_EQ(2, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    SetStyle(node.Get(), nullptr);
    EXPECT_EQ(1, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    // Past the styles, inherited values and defaults as usual.
    EXPECT_EQ(5, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
}

TEST_F(StyleTest, TriggersSwitchOnAndOffWithTheirPropertyAndAnnounceTheirValues)
{
    Ptr<CXTPMarkupStyle> style(NewStyle(MARKUP_TYPE(CStyledNode)));
    style->AddSetter(CTestNode::m_pWeightProperty, new CXTPMarkupInt(7));
    AddTrigger(style.Get(), NewTrigger(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue(),
                                       {{CTestNode::m_pWeightProperty, new CXTPMarkupInt(70)},
                                        {CTestNode::m_pSizeProperty, new CXTPMarkupInt(71)}}));
    Ptr<CStyledNode> node(new CStyledNode());
    SetStyle(node.Get(), style.Get());

    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(70, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
    EXPECT_EQ(71, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    // The announced values are the trigger layer's: none before, the setter's now.
    EXPECT_EQ((std::vector<std::pair<int, int>>{{-1, 70}}), ChangesOf(node.Get(), CTestNode::m_pWeightProperty));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{-1, 71}}), ChangesOf(node.Get(), CTestNode::m_pSizeProperty));

    // Matching again changes nothing and does not list the trigger twice.
    g_testChanges.clear();
    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(1, node->m_state.GetActiveTriggers()->GetCount());
    EXPECT_TRUE(ChangesOf(node.Get(), CTestNode::m_pWeightProperty).empty());

    // False: the setters' values go back, and the style shows again.
    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateFalseValue());
    EXPECT_EQ(7, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
    EXPECT_EQ(nullptr, node->GetValue(CTestNode::m_pSizeProperty));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{70, -1}}), ChangesOf(node.Get(), CTestNode::m_pWeightProperty));
    EXPECT_EQ(0, node->m_state.GetActiveTriggers()->GetCount());

    // A change of another property leaves the active triggers alone.
    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    node->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(9));
    EXPECT_EQ(70, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
}

TEST_F(StyleTest, LaterTriggersOverrideEarlierOnesAndBaseStyleTriggersComeFirst)
{
    Ptr<CXTPMarkupStyle> base(NewStyle(MARKUP_TYPE(CStyledNode)));
    AddTrigger(base.Get(), NewTrigger(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue(),
                                      {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(1)},
                                       {CTestNode::m_pWeightProperty, new CXTPMarkupInt(1)}}));
    Ptr<CXTPMarkupStyle> style(NewStyle(MARKUP_TYPE(CStyledNode)));
    style->SetValue(CXTPMarkupStyle::m_pBasedOnProperty, Ref(base.Get()));
    // Within one style the last trigger is considered first, so the first one
    // listed joins the active list last and its setters win.
    AddTrigger(style.Get(), NewTrigger(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(12),
                                       {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(3)}}));
    AddTrigger(style.Get(), NewTrigger(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateFalseValue(),
                                       {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(2)}}));

    Ptr<CStyledNode> node(new CStyledNode());
    SetStyle(node.Get(), style.Get());
    node->m_state.ApplyStyle(node.Get()); // every trigger against the current values
    EXPECT_EQ(2, node->m_state.GetActiveTriggers()->GetCount());
    EXPECT_EQ(3, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));

    // The base style's trigger joins the list after the derived trigger that
    // stays active, so its size now wins.
    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(1, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
    EXPECT_EQ(1, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    node->SetValue(CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(13));
    EXPECT_EQ(1, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
}

TEST_F(StyleTest, TriggersThatSetEachOthersPropertiesStopAfterABoundedDepth)
{
    // Weight 1 sets Size 1, which sets Weight 2, which switches the first
    // trigger off and sets Size 2, which sets Weight 1 again, and so on.
    Ptr<CXTPMarkupStyle> style(NewStyle(MARKUP_TYPE(CStyledNode)));
    AddTrigger(style.Get(), NewTrigger(CTestNode::m_pWeightProperty, new CXTPMarkupInt(1),
                                       {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(1)}}));
    AddTrigger(style.Get(), NewTrigger(CTestNode::m_pSizeProperty, new CXTPMarkupInt(1),
                                       {{CTestNode::m_pWeightProperty, new CXTPMarkupInt(2)}}));
    AddTrigger(style.Get(), NewTrigger(CTestNode::m_pWeightProperty, new CXTPMarkupInt(2),
                                       {{CTestNode::m_pSizeProperty, new CXTPMarkupInt(2)}}));
    AddTrigger(style.Get(), NewTrigger(CTestNode::m_pSizeProperty, new CXTPMarkupInt(2),
                                       {{CTestNode::m_pWeightProperty, new CXTPMarkupInt(1)}}));
    Ptr<CStyledNode> node(new CStyledNode());
    SetStyle(node.Get(), style.Get());

    node->SetValue(CTestNode::m_pWeightProperty, new CXTPMarkupInt(1));
    size_t nSizeChanges = ChangesOf(node.Get(), CTestNode::m_pSizeProperty).size();
    EXPECT_GT(nSizeChanges, 1u);
    EXPECT_LE(nSizeChanges, static_cast<size_t>(CXTPMarkupStyleState::kMaxTriggerDepth));

    // The element stays usable: local values still win, and the triggers
    // answer the next change.
    node->SetValue(CTestNode::m_pSizeProperty, new CXTPMarkupInt(7));
    node->SetValue(CTestNode::m_pWeightProperty, new CXTPMarkupInt(8));
    EXPECT_EQ(7, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
    EXPECT_EQ(8, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
    node->SetValue(CTestNode::m_pSizeProperty, nullptr);
    node->SetValue(CTestNode::m_pWeightProperty, new CXTPMarkupInt(1));
    node->SetValue(CTestNode::m_pWeightProperty, new CXTPMarkupInt(3));
    EXPECT_EQ(3, IntOf(node->GetValue(CTestNode::m_pWeightProperty)));
}

TEST_F(StyleTest, AnInheritingTriggerValueReachesDescendants)
{
    Ptr<CXTPMarkupStyle> style(NewStyle(MARKUP_TYPE(CStyledNode)));
    AddTrigger(style.Get(), NewTrigger(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue(),
                                       {{CTestNode::m_pFontSizeProperty, new CXTPMarkupInt(20)}}));
    Ptr<CStyledNode> node(new CStyledNode());
    CTestNode* pChild = static_cast<CTestNode*>(node->AddChild(new CTestNode()));
    SetStyle(node.Get(), style.Get());

    node->SetValue(CStyledNode::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(20, IntOf(pChild->GetValue(CTestNode::m_pFontSizeProperty)));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{-1, 20}}), ChangesOf(pChild, CTestNode::m_pFontSizeProperty));
}

TEST_F(StyleTest, AnElementKeepsItsStyleAliveAfterTheDictionaryLetsGo)
{
    Ptr<CStyledNode> node(new CStyledNode());
    {
        Ptr<CXTPMarkupResourceDictionary> dictionary(new CXTPMarkupResourceDictionary());
        CXTPMarkupStyle* pStyle = NewStyle(MARKUP_TYPE(CStyledNode));
        pStyle->AddSetter(CTestNode::m_pSizeProperty, new CXTPMarkupInt(11));
        dictionary->Add(Text(L"S"), pStyle);
        SetStyle(node.Get(), pStyle);
    }
    EXPECT_EQ(11, IntOf(node->GetValue(CTestNode::m_pSizeProperty)));
}

} // namespace
