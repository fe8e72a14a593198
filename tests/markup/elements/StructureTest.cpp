// How element trees hang together: a panel's children behind their
// collection, what markup may put into a panel, and which keyword texts the
// layout properties take.
#include "ElementTestSupport.h"

#include "markup/elements/FrameworkContentElement.h"
#include "markup/elements/UIElementCollection.h"
#include "markup/model/String.h"

#include <gtest/gtest.h>

namespace
{
TEST(StructureTest, PanelChildrenFindThePanelPastTheirCollection)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load("<StackPanel><TestBox x:Name='child'/><WrapPanel/></StackPanel>");
    ASSERT_TRUE(root);
    CXTPMarkupPanel* pPanel = MarkupCast<CXTPMarkupPanel>(root.Get());
    ASSERT_TRUE(pPanel);
    CTestBox* pChild = FindBox(root.Get(), L"child");

    EXPECT_EQ(pPanel->GetChildren(), pChild->GetLogicalParent());
    EXPECT_EQ(pPanel, pChild->GetParentVisual());
    EXPECT_EQ(nullptr, pPanel->GetParentVisual());
    // Inherited values and styles travel over the visual children.
    ASSERT_EQ(2, pPanel->GetLogicalChildCount());
    EXPECT_EQ(pChild, pPanel->GetLogicalChild(0));
    EXPECT_EQ(nullptr, pPanel->GetChild(2));
    EXPECT_EQ(nullptr, pPanel->GetChild(-1));
}

TEST(StructureTest, PanelsTakeOnlyElementsAsContent)
{
    EXPECT_EQ("'CXTPMarkupSolidColorBrush' object cannot be added to 'CXTPMarkupUIElementCollection'. Object "
              "cannot be converted to type 'CXTPMarkupUIElement'. Line 1, position 62",
              LoadError("<StackPanel><FrameworkElement/><SolidColorBrush Color='Red'/></StackPanel>"));
    EXPECT_EQ("Root element have to be 'CXTPMarkupUIElement' type", LoadError("<SolidColorBrush/>"));
    // The two classes between the input element and the framework element
    // cannot be written.
    EXPECT_EQ("The tag 'UIElement' does not exist in XML namespace. Line 1, position 12", LoadError("<UIElement/>"));
}

TEST(StructureTest, TextContentCarriesATagAsElementsDo)
{
    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<TextBlock Tag='block'><Hyperlink Tag='https://example.com/'>a</Hyperlink><Run Tag='x'>b</Run>"
             "<Span Tag='s'/></TextBlock>");
    ASSERT_TRUE(root);
    EXPECT_EQ(CXTPMarkupFrameworkContentElement::m_pTagProperty, CXTPMarkupFrameworkElement::m_pTagProperty);
    const LPCWSTR kTags[] = {L"https://example.com/", L"x", L"s"};
    CXTPMarkupObject* pInlines = root->GetLogicalChild(0);
    ASSERT_EQ(pInlines->GetLogicalChildCount(), 3);
    for (int i = 0; i < 3; i++)
    {
        const CXTPMarkupString* pTag = MarkupCast<CXTPMarkupString>(
            pInlines->GetLogicalChild(i)->GetValue(CXTPMarkupFrameworkContentElement::m_pTagProperty));
        ASSERT_TRUE(pTag) << i;
        EXPECT_STREQ(pTag->GetText(), kTags[i]);
    }
}

TEST(StructureTest, LayoutKeywordsOutsideTheirListAreRejected)
{
    for (const char* pszMarkup :
         {"<StackPanel Orientation='Diagonal'/>", "<WrapPanel Orientation='Left'/>", "<Panel Visibility='Gone'/>",
          "<Panel HorizontalAlignment='Top'/>", "<Panel VerticalAlignment='Left'/>"})
    {
        EXPECT_NE(std::string::npos, LoadError(pszMarkup).find("Cannot convert string in attribute")) << pszMarkup;
    }
}
} // namespace
