// Input elements: event routing and handler lists, the host link and capture,
// the default mouse reactions with the triggers they drive, cursors, event
// attributes, styles set on elements, and keyboard navigation.
#include "support/MarkupValues.h"

#include "markup/elements/Delegate.h"
#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/elements/InputElement.h"
#include "markup/host/KeyboardNavigation.h"

#include "markup/model/BuilderException.h"
#include "markup/model/Collection.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/PropertyStore.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/String.h"
#include "markup/model/Style.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

template <class T> T* Ref(T* p)
{
    p->AddRef();
    return p;
}

// An input element with children, which re-evaluates its triggers on every
// change as framework elements do.
class CTestElement : public CXTPMarkupInputElement
{
    DECLARE_MARKUPCLASS(CTestElement)
public:
    static CXTPMarkupDependencyProperty* m_pShadeProperty; // Int
    static CXTPMarkupDependencyProperty* m_pBubbleEvent;   // bubbling
    static void RegisterMarkupProperties();

    CTestElement() : m_pChildren(new CXTPMarkupCollection(MARKUP_TYPE(CXTPMarkupObject)))
    {
        m_pChildren->SetLogicalParent(this);
    }

    // Takes over the child's reference; returns it.
    template <class T> T* AddChild(T* pChild)
    {
        m_pChildren->Add(pChild);
        return pChild;
    }

    int GetLogicalChildCount() const override { return m_pChildren->GetCount(); }
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override { return m_pChildren->GetItem(nIndex); }

    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override
    {
        CXTPMarkupInputElement::OnPropertyChanged(pProperty, pOldValue, pNewValue);
        UpdateTriggers(pProperty, pNewValue);
    }

protected:
    ~CTestElement() override { m_pChildren->Release(); }

private:
    CXTPMarkupCollection* m_pChildren; // panels keep children in a collection too
};

IMPLEMENT_MARKUPCLASS(L"TestElement", CTestElement, CXTPMarkupInputElement)
CXTPMarkupDependencyProperty* CTestElement::m_pShadeProperty;
CXTPMarkupDependencyProperty* CTestElement::m_pBubbleEvent;

void CTestElement::RegisterMarkupProperties()
{
    m_pShadeProperty =
        CXTPMarkupDependencyProperty::Register(L"Shade", MARKUP_TYPE(CXTPMarkupInt), MARKUP_TYPE(CTestElement));
    m_pBubbleEvent = CXTPMarkupDependencyProperty::RegisterEvent(L"Bubble", CXTPMarkupInputElement::RoutingBubble,
                                                                 MARKUP_TYPE(CTestElement));
}

// Names what reached a handler: "<name>@<sender's x:Name>".
CXTPMarkupDelegate* Recorder(std::vector<std::string>& log, const std::string& strName, BOOL bHandle = FALSE)
{
    return new CXTPMarkupDelegate(
        [&log, strName, bHandle](CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs)
        {
            std::string strSender = "?";
            if (const CXTPMarkupString* pName =
                    MarkupCast<CXTPMarkupString>(pSender->GetValue(CXTPMarkupObject::m_pNameProperty)))
                strSender = std::string(pName->GetText(), pName->GetText() + pName->GetLength());
            log.push_back(strName + "@" + strSender);
            if (bHandle)
                pArgs->m_bHandled = TRUE;
        });
}

CTestElement* Named(CTestElement* pElement, LPCWSTR lpszName)
{
    pElement->SetValue(CXTPMarkupObject::m_pNameProperty, CXTPMarkupString::CreateValue(lpszName));
    return pElement;
}

BOOL BoolOf(const CXTPMarkupObject* pValue)
{
    const CXTPMarkupBool* pBool = MarkupCast<CXTPMarkupBool>(pValue);
    return pBool && *pBool;
}

class InputElementTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CTestElement::GetMarkupType();
        m_pHost = new CXTPMarkupHost();
    }
    void TearDown() override
    {
        EXPECT_EQ(1, m_pHost->GetRefCount()); // every element gave its reference back
        m_pHost->Release();
    }

    CTestElement* NewElement(LPCWSTR lpszName)
    {
        return Named(static_cast<CTestElement*>(CXTPMarkupType::CreateObject(m_pHost, MARKUP_TYPE(CTestElement))),
                     lpszName);
    }

    CXTPMarkupHost* m_pHost = nullptr;
    std::vector<std::string> m_log;
};

TEST_F(InputElementTest, ADirectEventReachesOnlyTheElementItIsRaisedOn)
{
    Ptr<CTestElement> parent(NewElement(L"parent"));
    CTestElement* pChild = parent->AddChild(NewElement(L"child"));
    parent->AddHandler(CXTPMarkupInputElement::m_pMouseEnterEvent, Recorder(m_log, "enter"));
    pChild->AddHandler(CXTPMarkupInputElement::m_pMouseEnterEvent, Recorder(m_log, "enter"));
    pChild->AddHandler(CXTPMarkupInputElement::m_pMouseEnterEvent, Recorder(m_log, "enter2"));
    pChild->AddHandler(CXTPMarkupInputElement::m_pMouseLeaveEvent, Recorder(m_log, "leave"));
    m_pHost->AddHandler(CXTPMarkupInputElement::m_pMouseEnterEvent, Recorder(m_log, "host"));

    CXTPMarkupEventArgs args(CXTPMarkupInputElement::m_pMouseEnterEvent);
    pChild->RaiseEvent(&args);
    EXPECT_EQ((std::vector<std::string>{"enter@child", "enter2@child"}), m_log);
    EXPECT_EQ(pChild, args.m_pSource);
}

TEST_F(InputElementTest, ABubblingEventClimbsToTheHostUnlessAnElementHandlesIt)
{
    Ptr<CTestElement> root(NewElement(L"root"));
    CTestElement* pMiddle = root->AddChild(NewElement(L"middle"));
    pMiddle->AddChild(CXTPMarkupString::CreateValue(L"not an element"));
    CTestElement* pLeaf = pMiddle->AddChild(NewElement(L"leaf"));
    for (CTestElement* pElement : {root.Get(), pMiddle, pLeaf})
        pElement->AddHandler(CTestElement::m_pBubbleEvent, Recorder(m_log, "bubble"));
    m_pHost->AddHandler(CTestElement::m_pBubbleEvent, Recorder(m_log, "host"));

    CXTPMarkupEventArgs args(CTestElement::m_pBubbleEvent);
    m_pHost->RaiseEvent(pLeaf, &args);
    EXPECT_EQ((std::vector<std::string>{"bubble@leaf", "bubble@middle", "bubble@root", "host@leaf"}), m_log);

    m_log.clear();
    pMiddle->AddHandler(CTestElement::m_pBubbleEvent, Recorder(m_log, "handler", TRUE));
    CXTPMarkupEventArgs handled(CTestElement::m_pBubbleEvent);
    pLeaf->RaiseEvent(&handled);
    // Every handler of the element that handled it runs; nothing above it.
    EXPECT_EQ((std::vector<std::string>{"bubble@leaf", "bubble@middle", "handler@middle"}), m_log);
    EXPECT_TRUE(handled.m_bHandled);
}

TEST_F(InputElementTest, AnElementWithoutHostRaisesToItsOwnAncestorsOnly)
{
    Ptr<CTestElement> root(Named(new CTestElement(), L"root"));
    CTestElement* pLeaf = root->AddChild(Named(new CTestElement(), L"leaf"));
    EXPECT_EQ(nullptr, pLeaf->GetMarkupContext());
    root->AddHandler(CTestElement::m_pBubbleEvent, Recorder(m_log, "bubble"));
    m_pHost->AddHandler(CTestElement::m_pBubbleEvent, Recorder(m_log, "host"));

    CXTPMarkupEventArgs args(CTestElement::m_pBubbleEvent);
    pLeaf->RaiseEvent(&args);
    EXPECT_EQ((std::vector<std::string>{"bubble@root"}), m_log);

    // Capture needs a host: without one it is a no-op.
    pLeaf->CaptureMouse();
    EXPECT_FALSE(pLeaf->IsMouseCaptured());
}

TEST_F(InputElementTest, HandlersMayChangeTheListsAndTheTreeWhileAnEventIsDelivered)
{
    Ptr<CTestElement> root(NewElement(L"root"));
    CTestElement* pLeaf = root->AddChild(NewElement(L"leaf"));
    CXTPMarkupDependencyProperty* pEvent = CTestElement::m_pBubbleEvent;

    CXTPMarkupDelegate* pLater = Recorder(m_log, "later");
    pLeaf->AddHandler(pEvent, new CXTPMarkupDelegate(
                                  [&](CXTPMarkupObject*, CXTPMarkupEventArgs*)
                                  {
                                      m_log.push_back("first");
                                      // Enough new handlers to move the list's storage, and the removal of
                                      // one still to be called.
                                      for (int i = 0; i < 64; ++i)
                                          pLeaf->AddHandler(pEvent, Recorder(m_log, "added"));
                                      pLeaf->RemoveHandler(pEvent, pLater);
                                  }));
    pLeaf->AddHandler(pEvent, pLater);
    // The root drops the whole tree while the event is on its way up.
    root->AddHandler(pEvent, new CXTPMarkupDelegate(
                                 [&](CXTPMarkupObject*, CXTPMarkupEventArgs*)
                                 {
                                     m_log.push_back("root");
                                     root.Reset();
                                 }));
    m_pHost->AddHandler(pEvent, Recorder(m_log, "host"));

    CXTPMarkupEventArgs args(pEvent);
    pLeaf->RaiseEvent(&args);
    // This delivery went by the lists as they were when it reached each element.
    EXPECT_EQ((std::vector<std::string>{"first", "later@leaf", "root", "host@leaf"}), m_log);
    EXPECT_FALSE(root);
}

TEST_F(InputElementTest, ElementsHoldTheirHostAndTheHostForgetsThemWhenTheyGo)
{
    LONG nBefore = m_pHost->GetRefCount();
    CTestElement* pElement = NewElement(L"element");
    EXPECT_EQ(m_pHost, pElement->GetMarkupContext());
    EXPECT_EQ(nBefore + 1, m_pHost->GetRefCount());

    pElement->CaptureMouse();
    EXPECT_TRUE(pElement->IsMouseCaptured());
    EXPECT_EQ(pElement, m_pHost->GetCapturedElement());
    pElement->ReleaseMouseCapture();
    EXPECT_EQ(nullptr, m_pHost->GetCapturedElement());

    // An element that goes while holding the capture leaves nothing behind.
    pElement->CaptureMouse();
    pElement->Release();
    EXPECT_EQ(nullptr, m_pHost->GetCapturedElement());
    EXPECT_EQ(nBefore, m_pHost->GetRefCount());

    // Objects that are no input elements do not hold the host.
    Ptr<CXTPMarkupObject> value(CXTPMarkupType::CreateObject(m_pHost, MARKUP_TYPE(CXTPMarkupStyle)));
    EXPECT_EQ(nBefore, m_pHost->GetRefCount());

    // The host outlives a creator that lets go first, until its last element.
    CXTPMarkupHost* pHost = new CXTPMarkupHost();
    CXTPMarkupObject* pOrphan = CXTPMarkupType::CreateObject(pHost, MARKUP_TYPE(CTestElement));
    EXPECT_EQ(1, pHost->Release());
    EXPECT_EQ(pHost, static_cast<CTestElement*>(pOrphan)->GetMarkupContext());
    pOrphan->Release();
}

TEST_F(InputElementTest, MouseOverDrivesTriggersAndTheirValuesGoBackWhenTheMouseLeaves)
{
    CXTPMarkupObjectBuilder builder(m_pHost);
    Ptr<CTestElement> element(NewElement(L"element"));
    Ptr<CXTPMarkupStyle> style(new CXTPMarkupStyle());
    style->SetValue(CXTPMarkupStyle::m_pTargetTypeProperty, Ref(MARKUP_TYPE(CTestElement)));
    style->AddSetter(CTestElement::m_pShadeProperty, new CXTPMarkupInt(1));
    CXTPMarkupTriggerCollection* pTriggers = new CXTPMarkupTriggerCollection();
    CXTPMarkupTrigger* pTrigger = new CXTPMarkupTrigger();
    pTrigger->SetValue(CXTPMarkupTrigger::m_pPropertyProperty, CXTPMarkupString::CreateValue(L"IsMouseOver"));
    pTrigger->SetValue(CXTPMarkupTrigger::m_pValueProperty, CXTPMarkupString::CreateValue(L"True"));
    CXTPMarkupSetterColection* pSetters = new CXTPMarkupSetterColection();
    pSetters->Add(new CXTPMarkupSetter(CTestElement::m_pShadeProperty, new CXTPMarkupInt(2)));
    pTrigger->SetValue(CXTPMarkupTrigger::m_pSettersProperty, pSetters);
    pTriggers->Add(pTrigger);
    style->ApplyMarkupValue(&builder, CXTPMarkupStyle::m_pTriggersProperty, pTriggers);

    element->SetValue(CXTPMarkupInputElement::m_pStyleProperty, Ref(style.Get()));
    EXPECT_EQ(style.Get(), element->GetCurrentStyle());
    EXPECT_TRUE(style->IsSealed());
    EXPECT_EQ(1, IntOf(element->GetValue(CTestElement::m_pShadeProperty)));

    CXTPMarkupEventArgs args(CXTPMarkupInputElement::m_pMouseEnterEvent, element.Get());
    element->OnMouseEnter(&args);
    EXPECT_TRUE(BoolOf(element->GetValue(CXTPMarkupInputElement::m_pIsMouseOverProperty)));
    EXPECT_EQ(2, IntOf(element->GetValue(CTestElement::m_pShadeProperty)));
    element->OnMouseLeave(&args);
    EXPECT_EQ(nullptr, element->GetPropertyStore()->Lookup(CXTPMarkupInputElement::m_pIsMouseOverProperty));
    EXPECT_FALSE(BoolOf(element->GetValue(CXTPMarkupInputElement::m_pIsMouseOverProperty)));
    EXPECT_EQ(1, IntOf(element->GetValue(CTestElement::m_pShadeProperty)));

    // With a local value, the trigger never shows.
    element->SetValue(CTestElement::m_pShadeProperty, new CXTPMarkupInt(9));
    element->OnMouseEnter(&args);
    EXPECT_EQ(9, IntOf(element->GetValue(CTestElement::m_pShadeProperty)));
    EXPECT_FALSE(args.m_bHandled); // the default reactions leave routing going on

    // A value that is no style is not stored and keeps the current style.
    element->SetValue(CXTPMarkupInputElement::m_pStyleProperty, new CXTPMarkupInt(1));
    EXPECT_EQ(style.Get(), element->GetCurrentStyle());
    element->SetValue(CXTPMarkupInputElement::m_pStyleProperty, nullptr);
    EXPECT_EQ(nullptr, element->GetCurrentStyle());
}

TEST_F(InputElementTest, TheCursorQueryAnswersWithTheElementsCursor)
{
    CXTPMarkupObjectBuilder builder(m_pHost);
    Ptr<CTestElement> element(NewElement(L"element"));

    CXTPMarkupEventArgs unset;
    element->OnQueryCursor(&unset);
    EXPECT_FALSE(unset.m_bHandled);

    element->ApplyMarkupValue(&builder, CXTPMarkupInputElement::m_pCursorProperty,
                              CXTPMarkupString::CreateValue(L"hand"));
    EXPECT_EQ(32649, IntOf(element->GetValue(CXTPMarkupInputElement::m_pCursorProperty)));
    CXTPMarkupEventArgs hand;
    element->OnQueryCursor(&hand);
    EXPECT_TRUE(hand.m_bHandled);
    EXPECT_EQ(LoadCursor(nullptr, IDC_HAND), hand.m_hCursor);
    EXPECT_NE(nullptr, hand.m_hCursor);

    // "None" answers, so the search ends, but with no cursor of its own.
    element->ApplyMarkupValue(&builder, CXTPMarkupInputElement::m_pCursorProperty,
                              CXTPMarkupString::CreateValue(L"None"));
    CXTPMarkupEventArgs none;
    none.m_hCursor = LoadCursor(nullptr, IDC_ARROW);
    element->OnQueryCursor(&none);
    EXPECT_TRUE(none.m_bHandled);
    EXPECT_EQ(nullptr, none.m_hCursor);
}

TEST_F(InputElementTest, EventAttributesNameDelegatesOfTheHost)
{
    CXTPMarkupObjectBuilder builder(m_pHost);
    Ptr<CTestElement> element(NewElement(L"element"));
    auto applyHandler = [&](CXTPMarkupInputElement* pElement, LPCWSTR lpszName)
    {
        pElement->ApplyMarkupValue(&builder, CXTPMarkupInputElement::m_pMouseLeftButtonUpEvent,
                                   CXTPMarkupString::CreateValue(lpszName));
    };

    EXPECT_EQ("'OnClick' delegate not found", ErrorOf([&] { applyHandler(element.Get(), L"OnClick"); }));
    m_pHost->AddDelegate(L"OnClick", Recorder(m_log, "click"));
    EXPECT_EQ("'onclick' delegate not found", ErrorOf([&] { applyHandler(element.Get(), L"onclick"); }));
    applyHandler(element.Get(), L"OnClick");
    CXTPMarkupEventArgs args(CXTPMarkupInputElement::m_pMouseLeftButtonUpEvent);
    element->RaiseEvent(&args);
    EXPECT_EQ((std::vector<std::string>{"click@element"}), m_log);

    Ptr<CTestElement> orphan(new CTestElement());
    EXPECT_EQ("Markup Context is NULL", ErrorOf([&] { applyHandler(orphan.Get(), L"OnClick"); }));

    // In markup the messages carry the position after the attribute.
    const std::string markup = "<TestElement MouseLeftButtonUp='OnPress'/>";
    std::string strError;
    EXPECT_EQ(nullptr, CXTPMarkupObjectBuilder::Parse(m_pHost, markup.data(), markup.size(), &strError));
    EXPECT_EQ("'OnPress' delegate not found. Line 1, position 41", strError);
    EXPECT_EQ(nullptr, CXTPMarkupObjectBuilder::Parse(nullptr, markup.data(), markup.size(), &strError));
    EXPECT_EQ("Markup Context is NULL. Line 1, position 41", strError);
}

TEST_F(InputElementTest, AStyleSetOnAnElementLendsItsResourcesToTheSearch)
{
    Ptr<CTestElement> root(NewElement(L"root"));
    CTestElement* pLeaf = root->AddChild(NewElement(L"leaf"));
    CXTPMarkupStyle* pStyle = new CXTPMarkupStyle();
    CXTPMarkupResourceDictionary* pStyleResources = new CXTPMarkupResourceDictionary();
    pStyleResources->Add(CXTPMarkupString::CreateValue(L"Accent"), new CXTPMarkupInt(3));
    pStyle->SetValue(CXTPMarkupStyle::m_pResourcesProperty, pStyleResources);
    root->SetValue(CXTPMarkupInputElement::m_pStyleProperty, pStyle);
    CXTPMarkupResourceDictionary* pResources = new CXTPMarkupResourceDictionary();
    pResources->Add(CXTPMarkupString::CreateValue(L"Accent"), new CXTPMarkupInt(4));
    pResources->Add(CXTPMarkupString::CreateValue(L"Other"), new CXTPMarkupInt(5));
    root->SetValue(CXTPMarkupInputElement::m_pResourcesProperty, pResources);

    // The element's own resources come before its style's.
    Ptr<CXTPMarkupString> accent(CXTPMarkupString::CreateValue(L"Accent"));
    Ptr<CXTPMarkupString> other(CXTPMarkupString::CreateValue(L"Other"));
    EXPECT_EQ(4, IntOf(CXTPMarkupResourceDictionary::FindResource(pLeaf, accent.Get())));
    root->SetValue(CXTPMarkupInputElement::m_pResourcesProperty, nullptr);
    EXPECT_EQ(3, IntOf(CXTPMarkupResourceDictionary::FindResource(pLeaf, accent.Get())));
    EXPECT_EQ(nullptr, CXTPMarkupResourceDictionary::FindResource(pLeaf, other.Get()));
}

TEST_F(InputElementTest, KeyboardNavigationStoresItsPropertiesAndHandlesNoMessage)
{
    CXTPMarkupKeyboardNavigation* pNavigation = m_pHost->GetKeyboardNavigation();
    ASSERT_NE(nullptr, pNavigation);
    EXPECT_EQ(m_pHost, pNavigation->GetMarkupContext());

    CXTPMarkupObjectBuilder builder(m_pHost);
    Ptr<CTestElement> element(NewElement(L"element"));
    EXPECT_EQ(INT_MAX, IntOf(element->GetValue(CXTPMarkupKeyboardNavigation::m_pTabIndexProperty)));
    element->ApplyMarkupValue(&builder, CXTPMarkupKeyboardNavigation::m_pTabNavigationProperty,
                              CXTPMarkupString::CreateValue(L"cycle"));
    EXPECT_TRUE(element->GetValue(CXTPMarkupKeyboardNavigation::m_pTabNavigationProperty)
                    ->IsEqual(Ptr<CXTPMarkupEnum>(CXTPMarkupEnum::CreateValue(2)).Get()));

    LRESULT lResult = 0;
    EXPECT_FALSE(pNavigation->OnWndMsg(WM_KEYDOWN, VK_TAB, 0, &lResult));
    pNavigation->Focus(element.Get());
    EXPECT_FALSE(BoolOf(element->GetValue(CXTPMarkupInputElement::m_pIsKeyboardFocusedProperty)));
}
} // namespace
