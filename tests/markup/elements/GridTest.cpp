// Grid layouts as numbers: fixed, automatic and star columns and rows, spans,
// limits on definitions and the truncation of star shares, checked against
// dumps kept beside their markup; cell indices out of range; the grid
// following changes to its cells and children; the length text form.
#include "ElementTestSupport.h"

#include "markup/elements/Grid.h"
#include "markup/elements/GridDefinitions.h"
#include "markup/elements/GridLength.h"
#include "markup/elements/UIElementCollection.h"
#include "markup/model/Numbers.h"
#include "markup/model/String.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace
{
const std::string kData = HORALEON_SOURCE_DIR "/tests/data/grid/";

std::string ReadText(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(GridLayoutTest, LayoutsMatchTheirDumps)
{
    for (const char* pszName : {"auto-and-star-columns", "fixed-auto-and-spans", "star-rounding", "star-limits",
                                "stars-without-bound", "odd-cells", "mixed-groups"})
    {
        const std::string strMarkup = ReadText(kData + pszName + ".xml");
        const std::string strExpected = ReadText(kData + pszName + ".txt");
        ASSERT_FALSE(strMarkup.empty()) << pszName;
        Ptr<CXTPMarkupFrameworkElement> root = Load(strMarkup.c_str());
        ASSERT_TRUE(root) << pszName;
        EXPECT_EQ(strExpected, LayOut(root.Get(), 400, 300)) << pszName;
    }
}

TEST(GridLayoutTest, WithoutDefinitionsEveryChildHasTheWholeGrid)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Grid HorizontalAlignment='Left' VerticalAlignment='Top'>
          <TestBox ContentWidth='30' ContentHeight='5'/>
          <TestBox ContentWidth='10' ContentHeight='20' Grid.Column='1' Grid.Row='2'/>
        </Grid>)");
    ASSERT_TRUE(root);
    EXPECT_EQ("Grid 0,0,30,20\n"
              "  TestBox 0,0,30,20\n"
              "  TestBox 0,0,30,20\n",
              LayOut(root.Get(), 100, 100));
}

TEST(GridLayoutTest, StarRowsShareTheHeightLeftByAutoAndFixedRows)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Grid Height='100'>
          <Grid.RowDefinitions>
            <RowDefinition Height='10'/><RowDefinition Height='Auto'/>
            <RowDefinition Height='3*'/><RowDefinition Height='1.5*' MinHeight='40'/>
          </Grid.RowDefinitions>
          <TestBox Grid.Row='1' ContentHeight='12'/>
          <TestBox Grid.Row='2'/>
          <TestBox Grid.Row='3'/>
          <TestBox Grid.Row='0' Grid.RowSpan='9'/>
        </Grid>)");
    ASSERT_TRUE(root);
    // 78 are left for the stars: 3 / 4.5 of them (52) go to the first, and
    // the second keeps its minimum of 40. That overruns by 14; only the first
    // has room above its minimum and gives back its quarter, a third and so
    // on of the overrun as the sizing walks the rows (4.67 pixels).
    EXPECT_EQ("Grid 0,0,50,100\n"
              "  TestBox 0,10,50,22\n"
              "  TestBox 0,22,50,69\n"
              "  TestBox 0,69,50,109\n"
              "  TestBox 0,0,50,109\n",
              LayOut(root.Get(), 50, 100));
}

TEST(GridBehaviourTest, CellPropertiesAndChildChangesReachTheLayout)
{
    Ptr<CXTPMarkupFrameworkElement> root = Load(R"(
        <Grid Width='100' Height='10' HorizontalAlignment='Left' VerticalAlignment='Top'>
          <Grid.ColumnDefinitions><ColumnDefinition/><ColumnDefinition/></Grid.ColumnDefinitions>
          <TestBox x:Name='a'/>
          <TestBox x:Name='b' Grid.Column='1'/>
        </Grid>)");
    ASSERT_TRUE(root);
    CXTPMarkupGrid* pGrid = MarkupCast<CXTPMarkupGrid>(root.Get());
    ASSERT_TRUE(pGrid);
    LayOut(root.Get(), 200, 50);

    // Moving a child to another cell lays the grid out again at once.
    CTestBox* pA = FindBox(root.Get(), L"a");
    pA->SetValue(CXTPMarkupGrid::m_pColumnProperty, new CXTPMarkupInt(1));
    EXPECT_EQ(RECT({50, 0, 100, 10}), pA->GetLayoutRect());
    EXPECT_EQ("Grid 0,0,100,10\n"
              "  TestBox 50,0,100,10\n"
              "  TestBox 50,0,100,10\n",
              LayOut(root.Get(), 200, 50));

    // Children removed or added after the measure are arranged by cells made
    // for them, even when no measure comes in between.
    pGrid->GetChildren()->RemoveAt(1);
    CTestBox* pC = new CTestBox();
    pC->SetValue(CXTPMarkupGrid::m_pColumnProperty, new CXTPMarkupInt(0));
    pGrid->GetChildren()->Add(pC);
    pGrid->InvalidateArrange();
    pGrid->Arrange(RECT{0, 0, 100, 10});
    EXPECT_EQ(RECT({50, 0, 100, 10}), pA->GetLayoutRect());
    EXPECT_EQ(RECT({0, 0, 50, 10}), pC->GetLayoutRect());
}

TEST(GridBehaviourTest, DefinitionCollectionsTakeOnlyTheirOwnKind)
{
    EXPECT_EQ("CXTPMarkupColumnDefinitionCollection class expected. Line 1, position 28",
              LoadError("<Grid ColumnDefinitions='*'></Grid>"));
    EXPECT_EQ("'CXTPMarkupColumnDefinition' object cannot be added to 'CXTPMarkupRowDefinitionCollection'. Object "
              "cannot be converted to type 'CXTPMarkupRowDefinition'. Line 1, position 47",
              LoadError("<Grid><Grid.RowDefinitions><ColumnDefinition/></Grid.RowDefinitions></Grid>"));

    Ptr<CXTPMarkupFrameworkElement> root =
        Load("<Grid><Grid.RowDefinitions><RowDefinition/><RowDefinition/></Grid.RowDefinitions></Grid>");
    ASSERT_TRUE(root);
    CXTPMarkupGrid* pGrid = MarkupCast<CXTPMarkupGrid>(root.Get());
    EXPECT_EQ(2, pGrid->GetRowDefinitions()->GetCount());
    EXPECT_EQ(pGrid, pGrid->GetRowDefinitions()->GetLogicalParent());
    EXPECT_EQ(pGrid->GetRowDefinitions(), pGrid->GetValue(CXTPMarkupGrid::m_pRowDefinitionsProperty));
    EXPECT_EQ(0, pGrid->GetColumnDefinitions()->GetCount());
}

TEST(GridLengthTest, TextForms)
{
    struct Case
    {
        const wchar_t* pszText;
        bool bValid;
        int nUnit;
        double dValue;
    };
    const Case cases[] = {
        {L"Auto", true, CXTPMarkupGridLength::Auto, 1.0},
        {L"aUTO", true, CXTPMarkupGridLength::Auto, 1.0},
        {L"*", true, CXTPMarkupGridLength::Star, 1.0},
        {L"2.5*", true, CXTPMarkupGridLength::Star, 2.5},
        {L"-1*", true, CXTPMarkupGridLength::Star, -1.0},
        {L"40", true, CXTPMarkupGridLength::Pixel, 40.0},
        {L"12.75", true, CXTPMarkupGridLength::Pixel, 12.75},
        {L"", false, 0, 0},
        {L"wide", false, 0, 0},
        {L"x*", false, 0, 0},
        {L"Autos", false, 0, 0},
    };
    Ptr<CXTPMarkupGridLength> prototype(new CXTPMarkupGridLength());
    for (const Case& c : cases)
    {
        Ptr<CXTPMarkupString> text(CXTPMarkupString::CreateValue(c.pszText, int(wcslen(c.pszText))));
        Ptr<CXTPMarkupObject> value(prototype->ParseValue(text.Get()));
        CXTPMarkupGridLength* pLength = MarkupCast<CXTPMarkupGridLength>(value.Get());
        ASSERT_EQ(c.bValid, pLength != nullptr) << c.pszText;
        if (pLength)
        {
            EXPECT_EQ(c.nUnit, pLength->GetUnit()) << c.pszText;
            EXPECT_EQ(c.dValue, pLength->GetValue()) << c.pszText;
        }
    }
}
} // namespace
