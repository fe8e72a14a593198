// Resources, styles and triggers written in markup: what elements show after
// a load, and every error of the style classes with its position.
#include "support/MarkupLeakCheck.h"
#include "support/MarkupStandIns.h"

#include "markup/model/Brush.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/ResourceDictionary.h"
#include "markup/model/String.h"
#include "markup/model/Style.h"
#include "markup/model/StyleState.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
// Elements that take styles as input elements do, built on the UI element
// stand-in so that they may be the root of a load: "Box" holds children,
// "Label" is a leaf.
class CStyledElement : public CTestUIElement
{
    DECLARE_MARKUPCLASS(CStyledElement)
public:
    static CXTPMarkupDependencyProperty* m_pStyleProperty;
    static CXTPMarkupDependencyProperty* m_pResourcesProperty;
    static CXTPMarkupDependencyProperty* m_pIsOverProperty; // Bool, default False
    static CXTPMarkupDependencyProperty* m_pShadeProperty;  // Int
    static CXTPMarkupDependencyProperty* m_pFillProperty;   // Brush
    static void RegisterMarkupProperties();

    CXTPMarkupObject* LookupOwnValue(const CXTPMarkupDependencyProperty* pProperty) const override
    {
        if (CXTPMarkupObject* pValue = CTestUIElement::LookupOwnValue(pProperty))
            return pValue;
        return m_state.LookupValue(pProperty, GetType());
    }
    void OnPropertyChanged(CXTPMarkupDependencyProperty* pProperty, CXTPMarkupObject* pOldValue,
                           CXTPMarkupObject* pNewValue) override
    {
        CTestUIElement::OnPropertyChanged(pProperty, pOldValue, pNewValue);
        m_state.UpdateTriggers(this, pProperty, pNewValue);
    }
    CXTPMarkupObject* FindResource(const CXTPMarkupObject* pKey) const override
    {
        return CXTPMarkupResourceDictionary::FindResource(this, pKey);
    }
    void OnMarkupLoaded() override { m_state.ApplyStyle(this); }

    CXTPMarkupStyleState m_state;

private:
    static void OnStyleChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs)
    {
        static_cast<CStyledElement*>(pObject)->m_state.SetCurrentStyle(MarkupCast<CXTPMarkupStyle>(pArgs->m_pNewValue));
    }
};

class CStyledBox : public CStyledElement
{
    DECLARE_MARKUPCLASS(CStyledBox)
public:
    CStyledBox() : m_pChildren(new CXTPMarkupCollection(MARKUP_TYPE(CTestUIElement)))
    {
        m_pChildren->SetLogicalParent(this);
    }
    void AddContent(CXTPMarkupObjectBuilder* pBuilder, CXTPMarkupObject* pContent) override
    {
        m_pChildren->AddContent(pBuilder, pContent);
    }
    int GetLogicalChildCount() const override { return m_pChildren->GetCount(); }
    CXTPMarkupObject* GetLogicalChild(int nIndex) const override { return m_pChildren->GetItem(nIndex); }

protected:
    ~CStyledBox() override { m_pChildren->Release(); }

private:
    CXTPMarkupCollection* m_pChildren;
};

class CStyledLabel : public CStyledElement
{
    DECLARE_MARKUPCLASS(CStyledLabel)
};

IMPLEMENT_MARKUPCLASS(nullptr, CStyledElement, CTestUIElement)
IMPLEMENT_MARKUPCLASS(L"Box", CStyledBox, CStyledElement)
IMPLEMENT_MARKUPCLASS(L"Label", CStyledLabel, CStyledElement)
CXTPMarkupDependencyProperty* CStyledElement::m_pStyleProperty;
CXTPMarkupDependencyProperty* CStyledElement::m_pResourcesProperty;
CXTPMarkupDependencyProperty* CStyledElement::m_pIsOverProperty;
CXTPMarkupDependencyProperty* CStyledElement::m_pShadeProperty;
CXTPMarkupDependencyProperty* CStyledElement::m_pFillProperty;

void CStyledElement::RegisterMarkupProperties()
{
    typedef CXTPMarkupDependencyProperty P;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CStyledElement);
    m_pStyleProperty = P::Register(L"Style", MARKUP_TYPE(CXTPMarkupStyle), pOwner,
                                   new CXTPMarkupPropertyOptions(nullptr, &CStyledElement::OnStyleChanged));
    CXTPMarkupStyle::m_pElementStyleProperty = m_pStyleProperty;
    MARKUP_TYPE(CXTPMarkupStyle)->EnsureInitialized();
    m_pResourcesProperty = CXTPMarkupStyle::m_pResourcesProperty->AddOwner(pOwner);
    m_pIsOverProperty = P::Register(L"IsOver", MARKUP_TYPE(CXTPMarkupBool), pOwner,
                                    new CXTPMarkupPropertyOptions(CXTPMarkupBool::CreateFalseValue()));
    m_pShadeProperty = P::Register(L"Shade", MARKUP_TYPE(CXTPMarkupInt), pOwner);
    m_pFillProperty = P::Register(L"Fill", MARKUP_TYPE(CXTPMarkupBrush), pOwner);
}

struct Loaded
{
    CXTPMarkupPtr<CXTPMarkupObject> root;
    std::string strError;
};

Loaded Load(const std::string& markup)
{
    Loaded loaded;
    loaded.root.Reset(CXTPMarkupObjectBuilder::Parse(nullptr, markup.data(), markup.size(), &loaded.strError));
    EXPECT_TRUE(loaded.root) << loaded.strError;
    return loaded;
}

// The error of a load, and where the position must point: just past the
// first occurrence of pszLastRead.
void ExpectError(const std::string& markup, const std::string& strMessage, const char* pszLastRead)
{
    CMarkupLiveObjects live;
    std::string strError;
    CXTPMarkupPtr<CXTPMarkupObject> root(
        CXTPMarkupObjectBuilder::Parse(nullptr, markup.data(), markup.size(), &strError));
    EXPECT_FALSE(root) << markup;
    size_t nAt = markup.find(pszLastRead);
    ASSERT_NE(std::string::npos, nAt) << pszLastRead;
    EXPECT_EQ(strMessage + ". Line 1, position " + std::to_string(nAt + strlen(pszLastRead) + 1), strError);
    root.Reset();
    EXPECT_EQ(0, live.Added()) << markup;
}

// The child of the loaded root named by "x:Name".
CStyledElement* Child(const Loaded& loaded, LPCWSTR lpszName)
{
    for (int i = 0; i < loaded.root->GetLogicalChildCount(); ++i)
    {
        CXTPMarkupObject* pChild = loaded.root->GetLogicalChild(i);
        const CXTPMarkupString* pName =
            MarkupCast<CXTPMarkupString>(pChild->GetValue(CXTPMarkupObject::m_pNameProperty));
        if (pName && wcscmp(pName->GetText(), lpszName) == 0)
            return MarkupCast<CStyledElement>(pChild);
    }
    ADD_FAILURE() << "no child of that name";
    return nullptr;
}

int Shade(const CXTPMarkupObject* pElement)
{
    const CXTPMarkupInt* pInt = MarkupCast<CXTPMarkupInt>(pElement->GetValue(CStyledElement::m_pShadeProperty));
    return pInt ? static_cast<int>(*pInt) : -1;
}

class StyleMarkup : public testing::Test
{
protected:
    void SetUp() override
    {
        RegisterStandInElements();
        MARKUP_TYPE(CStyledBox);
        MARKUP_TYPE(CStyledLabel);
    }
};

TEST_F(StyleMarkup, AKeyedStyleNamedByStaticResourceGivesItsValuesAndLocalValuesWin)
{
    Loaded loaded = Load("<Box><Box.Resources>"
                         "<Style x:Key='S' TargetType='Label'><Setter Property='Shade' Value='3'/>"
                         "<Setter Property='Fill' Value='Red'/></Style>"
                         "</Box.Resources>"
                         "<Label x:Name='styled' Style='{StaticResource S}'/>"
                         "<Label x:Name='local' Style='{StaticResource S}' Shade='9'/>"
                         "<Label x:Name='plain'/></Box>");
    ASSERT_TRUE(loaded.root);
    CStyledElement* pStyled = Child(loaded, L"styled");
    EXPECT_EQ(3, Shade(pStyled));
    // The setter's text was converted when the style was built.
    const CXTPMarkupSolidColorBrush* pFill =
        MarkupCast<CXTPMarkupSolidColorBrush>(pStyled->GetValue(CStyledElement::m_pFillProperty));
    ASSERT_NE(nullptr, pFill);
    EXPECT_EQ(RGB(255, 0, 0), pFill->GetColor());
    EXPECT_EQ(9, Shade(Child(loaded, L"local")));
    EXPECT_EQ(-1, Shade(Child(loaded, L"plain")));
    EXPECT_EQ(-1, Shade(loaded.root.Get()));
}

TEST_F(StyleMarkup, AStyleWithoutKeyAppliesToEveryElementOfItsTargetTypeBelowIt)
{
    Loaded loaded = Load("<Box><Box.Resources><Style TargetType='{x:Type Label}'><Setter Property='Shade' "
                         "Value='4'/></Style></Box.Resources>"
                         "<Label x:Name='a'/><Box x:Name='inner'><Label x:Name='deep'/></Box><Label x:Name='b'/>"
                         "</Box>");
    ASSERT_TRUE(loaded.root);
    EXPECT_EQ(4, Shade(Child(loaded, L"a")));
    EXPECT_EQ(4, Shade(Child(loaded, L"b")));
    CStyledElement* pInner = Child(loaded, L"inner");
    EXPECT_EQ(-1, Shade(pInner));
    EXPECT_EQ(-1, Shade(loaded.root.Get()));
    EXPECT_EQ(4, Shade(pInner->GetLogicalChild(0)));

    // The nearest implicit style wins, and an explicit style is kept.
    Loaded nested = Load("<Box><Box.Resources><Style TargetType='Label'><Setter Property='Shade' Value='1'/></Style>"
                         "<Style x:Key='Own' TargetType='Label'><Setter Property='Shade' Value='3'/></Style>"
                         "</Box.Resources><Box x:Name='inner'><Box.Resources><Style TargetType='Label'>"
                         "<Setter Property='Shade' Value='2'/></Style></Box.Resources><Label/>"
                         "<Label Style='{StaticResource Own}'/></Box></Box>");
    ASSERT_TRUE(nested.root);
    EXPECT_EQ(2, Shade(Child(nested, L"inner")->GetLogicalChild(0)));
    EXPECT_EQ(3, Shade(Child(nested, L"inner")->GetLogicalChild(1)));
}

TEST_F(StyleMarkup, BasedOnStylesAndRepeatedSettersTheLaterOneWins)
{
    Loaded loaded = Load("<Box><Box.Resources>"
                         "<Style x:Key='Base' TargetType='Label'><Setter Property='Shade' Value='1'/>"
                         "<Setter Property='Fill' Value='Blue'/></Style>"
                         "<Style x:Key='Derived' TargetType='Label' BasedOn='{StaticResource Base}'>"
                         "<Setter Property='Shade' Value='2'/><Setter Property='Label.Shade' Value='5'/></Style>"
                         "</Box.Resources><Label x:Name='a' Style='{StaticResource Derived}'/></Box>");
    ASSERT_TRUE(loaded.root);
    CStyledElement* pLabel = Child(loaded, L"a");
    EXPECT_EQ(5, Shade(pLabel));
    const CXTPMarkupSolidColorBrush* pFill =
        MarkupCast<CXTPMarkupSolidColorBrush>(pLabel->GetValue(CStyledElement::m_pFillProperty));
    ASSERT_NE(nullptr, pFill);
    EXPECT_EQ(RGB(0, 0, 255), pFill->GetColor());
}

// Chains thousands of styles long load, apply and go again within a second
// each: nothing walks them recursively, and the loop check is linear.
TEST_F(StyleMarkup, ThousandsOfChainedStylesLoadApplyAndAreReleased)
{
    using Link = std::string (*)(const std::string& strBase, const std::string& strIndex);
    const struct
    {
        int nStyles;
        Link link;  // the attribute or setter by which style i names style i - 1
        int nShade; // of a label with the last style
    } chains[] = {
        {4000,
         [](const std::string& strBase, const std::string&)
         { return "><Setter Property='Style' Value='{StaticResource s" + strBase + "}'/>"; },
         -1},
        {8000,
         [](const std::string& strBase, const std::string& strIndex)
         { return " BasedOn='{StaticResource s" + strBase + "}'><Setter Property='Shade' Value='" + strIndex + "'/>"; },
         7999},
    };
    for (const auto& chain : chains)
    {
        CMarkupLiveObjects live;
        std::string markup = "<Box><Box.Resources><Style x:Key='s0' TargetType='Label'>"
                             "<Setter Property='Fill' Value='Red'/></Style>";
        for (int i = 1; i < chain.nStyles; i++)
        {
            markup += "<Style x:Key='s" + std::to_string(i) + "' TargetType='Label'"
                      + chain.link(std::to_string(i - 1), std::to_string(i)) + "</Style>";
        }
        markup += "</Box.Resources><Label x:Name='a' Style='{StaticResource s" + std::to_string(chain.nStyles - 1)
                  + "}'/></Box>";
        const ULONGLONG nStart = GetTickCount64();
        {
            Loaded loaded = Load(markup);
            ASSERT_TRUE(loaded.root);
            EXPECT_EQ(chain.nShade, Shade(Child(loaded, L"a")));
        }
        EXPECT_LT(GetTickCount64() - nStart, 1000u) << chain.nStyles;
        EXPECT_EQ(0, live.Added());
    }
}

TEST_F(StyleMarkup, TriggersAreEvaluatedAfterTheLoadAndFollowTheirProperty)
{
    Loaded loaded = Load("<Box><Box.Resources><Style TargetType='Label'><Setter Property='Shade' Value='1'/>"
                         "<Style.Triggers>"
                         "<Trigger Property='IsOver' Value='True'><Trigger.Setters>"
                         "<Setter Property='Shade' Value='2'/></Trigger.Setters></Trigger>"
                         "<Trigger Property='IsOver' Value='False'><Trigger.Setters>"
                         "<Setter Property='Fill' Value='Lime'/></Trigger.Setters></Trigger>"
                         "</Style.Triggers></Style></Box.Resources>"
                         "<Label x:Name='a'/><Label x:Name='b' Shade='7'/></Box>");
    ASSERT_TRUE(loaded.root);
    CStyledElement* pLabel = Child(loaded, L"a");
    EXPECT_EQ(1, Shade(pLabel));
    EXPECT_NE(nullptr, pLabel->GetValue(CStyledElement::m_pFillProperty)); // matched the initial False

    pLabel->SetValue(CStyledElement::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(2, Shade(pLabel));
    EXPECT_EQ(nullptr, pLabel->GetValue(CStyledElement::m_pFillProperty));
    pLabel->SetValue(CStyledElement::m_pIsOverProperty, CXTPMarkupBool::CreateFalseValue());
    EXPECT_EQ(1, Shade(pLabel));

    CStyledElement* pLocal = Child(loaded, L"b");
    pLocal->SetValue(CStyledElement::m_pIsOverProperty, CXTPMarkupBool::CreateTrueValue());
    EXPECT_EQ(7, Shade(pLocal));
}

TEST_F(StyleMarkup, ResourcesInsideAStyleSeeTheEnclosingResourcesButNotThemselves)
{
    Loaded loaded = Load("<Box><Box.Resources><SolidColorBrush x:Key='B' Color='Blue'/>"
                         "<Style x:Key='S' TargetType='Label'><Setter Property='Fill' Value='{StaticResource B}'/>"
                         "</Style></Box.Resources><Label x:Name='a' Style='{StaticResource S}'/></Box>");
    ASSERT_TRUE(loaded.root);
    EXPECT_NE(nullptr,
              MarkupCast<CXTPMarkupSolidColorBrush>(Child(loaded, L"a")->GetValue(CStyledElement::m_pFillProperty)));

    // A resource is entered only once it is complete, so it cannot name itself.
    ExpectError("<Box><Box.Resources><Style x:Key='S' BasedOn='{StaticResource S}'/></Box.Resources></Box>",
                "Cannot find resource named 'S'. Resource names are case sensitive", "{StaticResource S}'");
    ExpectError("<Box><Box.Resources><Label x:Key='L' Tag='{StaticResource L}'/></Box.Resources></Box>",
                "Cannot find resource named 'L'. Resource names are case sensitive", "{StaticResource L}'");
}

TEST_F(StyleMarkup, ErrorsOfDictionariesSettersAndTriggersCarryTheirPosition)
{
    ExpectError("<Box><Box.Resources><Label x:Key='a'/><Label x:Key='a'/></Box.Resources></Box>",
                "Dictionary key is already used. Key attributes must be unique.",
                "<Label x:Key='a'/><Label x:Key='a'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'/><Style TargetType='{x:Type Label}'/>"
                "</Box.Resources></Box>",
                "Dictionary key is already used. Key attributes must be unique.", "{x:Type Label}'/>");
    ExpectError("<Box><Box.Resources><Label/></Box.Resources></Box>",
                "Objects added to Dictionary must have Key attribute or some other type of associated Key", "<Label/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Setter Property='Colour' Value='1'/></Style>"
                "</Box.Resources></Box>",
                "Cannot find the Style Property 'Colour'", "Value='1'/>");
    ExpectError("<Box><Box.Resources><Style x:Key='k'><Setter Property='Shade' Value='1'/></Style>"
                "</Box.Resources></Box>",
                "Cannot find the Style Property 'Shade'", "Value='1'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Setter Property='Shade'/></Style>"
                "</Box.Resources></Box>",
                "Must specify both Property and Value for Setter.", "Property='Shade'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Setter Value='1'/></Style></Box.Resources></Box>",
                "Must specify both Property and Value for Setter.", "<Setter Value='1'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Setter Property='{x:Type Label}' Value='1'/>"
                "</Style></Box.Resources></Box>",
                "Must specify both Property and Value for Setter.", "Value='1'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Setter Property='shade' Value='1'/></Style>"
                "</Box.Resources></Box>",
                "Cannot find the Style Property 'shade'", "Value='1'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Setter Property='Fill' Value='Reddish'/></Style>"
                "</Box.Resources></Box>",
                "Cannot convert string in attribute 'Fill' to object of type 'CXTPMarkupBrush'", "'Reddish'/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Label/></Style></Box.Resources></Box>",
                "Cannot add content to an object of type 'CXTPMarkupStyle'", "<Label/>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Style.Triggers><Trigger Property='IsOver' "
                "Value='True'><Setter Property='Shade' Value='2'/></Trigger></Style.Triggers></Style>"
                "</Box.Resources></Box>",
                "Cannot add content to an object of type 'CXTPMarkupTrigger'", "Value='2'/>");
    // A trigger's own pair is resolved with its style's triggers.
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Style.Triggers><Trigger Property='IsUnder' "
                "Value='True'/></Style.Triggers></Style></Box.Resources></Box>",
                "Cannot find the Style Property 'IsUnder'", "</Style.Triggers>");
    ExpectError("<Box><Box.Resources><Style TargetType='Label'><Style.Triggers><Trigger Property='IsOver'/>"
                "</Style.Triggers></Style></Box.Resources></Box>",
                "Must specify both Property and Value for Setter.", "</Style.Triggers>");
}
} // namespace
