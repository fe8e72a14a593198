// Gradient brushes as markup values: their tags and properties, stops written
// as content, the content error, and the colour texts every brush reads.
#include "markup/model/Brush.h"
#include "markup/model/BuilderException.h"
#include "markup/model/Color.h"
#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/ObjectBuilder.h"
#include "markup/model/Point.h"
#include "markup/model/String.h"
#include "markup/model/Type.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace
{
template <class T> using Ptr = CXTPMarkupPtr<T>;

Ptr<CXTPMarkupObject> Create(LPCWSTR lpszTag)
{
    CXTPMarkupType* pType = CXTPMarkupType::FindType(lpszTag);
    return Ptr<CXTPMarkupObject>(pType ? CXTPMarkupType::CreateObject(nullptr, pType) : nullptr);
}

TEST(GradientBrushTest, MarkupNamesTheBrushTheStopAndTheirProperties)
{
    Ptr<CXTPMarkupObject> brush = Create(L"LinearGradientBrush");
    Ptr<CXTPMarkupObject> stop = Create(L"GradientStop");
    ASSERT_NE(nullptr, MarkupCast<CXTPMarkupLinearGradientBrush>(brush.Get()));
    ASSERT_NE(nullptr, MarkupCast<CXTPMarkupGradientStop>(stop.Get()));
    EXPECT_NE(nullptr, MarkupCast<CXTPMarkupBrush>(brush.Get()));

    // The properties and their value types; none has metadata, so changing a
    // brush in use repaints nothing by itself.
    const std::pair<LPCWSTR, CXTPMarkupType*> kProperties[] = {{L"StartPoint", MARKUP_TYPE(CXTPMarkupPoint)},
                                                               {L"EndPoint", MARKUP_TYPE(CXTPMarkupPoint)},
                                                               {L"Color", MARKUP_TYPE(CXTPMarkupColor)},
                                                               {L"Offset", MARKUP_TYPE(CXTPMarkupDouble)}};
    for (const auto& expected : kProperties)
    {
        CXTPMarkupDependencyProperty* pProperty =
            CXTPMarkupDependencyProperty::FindProperty(brush->GetType(), expected.first);
        if (!pProperty)
            pProperty = CXTPMarkupDependencyProperty::FindProperty(stop->GetType(), expected.first);
        ASSERT_NE(nullptr, pProperty);
        EXPECT_EQ(expected.second, pProperty->GetPropertyType());
        EXPECT_EQ(nullptr, pProperty->GetOptions());
    }

    // Unset values read as black at offset 0 and as no end points.
    const CXTPMarkupGradientStop* pStop = MarkupCast<CXTPMarkupGradientStop>(stop.Get());
    EXPECT_EQ(0u, pStop->GetColor());
    EXPECT_EQ(0.0, pStop->GetOffset());
    const CXTPMarkupLinearGradientBrush* pBrush = MarkupCast<CXTPMarkupLinearGradientBrush>(brush.Get());
    EXPECT_EQ(nullptr, pBrush->GetStartPoint());
    EXPECT_EQ(nullptr, pBrush->GetEndPoint());

    // An end point given as text, the way an attribute arrives.
    CXTPMarkupObjectBuilder builder(nullptr);
    Ptr<CXTPMarkupString> text(CXTPMarkupString::CreateValue(L"0.5, 1"));
    brush->ApplyMarkupValue(&builder, CXTPMarkupLinearGradientBrush::m_pEndPointProperty, text.Detach());
    ASSERT_NE(nullptr, pBrush->GetEndPoint());
    EXPECT_EQ(0.5, pBrush->GetEndPoint()->GetX());
    EXPECT_EQ(1.0, pBrush->GetEndPoint()->GetY());
}

TEST(GradientBrushTest, StopsWrittenInsideTheBrushJoinItsCollectionInOrder)
{
    Ptr<CXTPMarkupLinearGradientBrush> brush(new CXTPMarkupLinearGradientBrush());
    CXTPMarkupGradientStopCollection* pStops = brush->GetGradientStops();
    EXPECT_FALSE(brush->HasContent());
    CXTPMarkupObjectBuilder builder(nullptr);
    CXTPMarkupGradientStop* pFirst = new CXTPMarkupGradientStop(RGB(255, 0, 0), 0.7);
    CXTPMarkupGradientStop* pSecond = new CXTPMarkupGradientStop(RGB(0, 0, 255), 0.1);
    brush->AddContent(&builder, pFirst);
    brush->AddContent(&builder, pSecond);

    ASSERT_EQ(2, pStops->GetCount());
    EXPECT_EQ(pFirst, pStops->GetStop(0)); // document order; the painter sorts
    EXPECT_EQ(pSecond, pStops->GetStop(1));
    EXPECT_EQ(pStops, pFirst->GetLogicalParent());
    EXPECT_EQ(brush.Get(), pStops->GetLogicalParent());
    EXPECT_EQ(1, brush->GetLogicalChildCount());
    EXPECT_EQ(pStops, brush->GetLogicalChild(0));
    EXPECT_TRUE(brush->HasContent());
    EXPECT_EQ(RGB(255, 0, 0), pFirst->GetColor());
    EXPECT_EQ(0.7, pFirst->GetOffset());

    // Anything else is refused with the names of all three types, and freed.
    std::string strMessage;
    try
    {
        brush->AddContent(&builder, new CXTPMarkupSolidColorBrush(RGB(1, 2, 3)));
    }
    catch (const CXTPMarkupBuilderException& e)
    {
        strMessage = e.what();
    }
    EXPECT_EQ("'CXTPMarkupSolidColorBrush' object cannot be added to 'CXTPMarkupGradientStopCollection'. "
              "Object cannot be converted to type 'CXTPMarkupGradientStop'",
              strMessage);
    EXPECT_EQ(2, pStops->GetCount());
}

TEST(GradientBrushTest, AColourTextMakesASolidBrushAndGradientsEqualOnlyThemselves)
{
    Ptr<CXTPMarkupObject> prototype = Create(L"LinearGradientBrush");
    Ptr<CXTPMarkupString> green(CXTPMarkupString::CreateValue(L"#00FF00"));
    Ptr<CXTPMarkupObject> solid(prototype->ParseValue(green.Get()));
    ASSERT_NE(nullptr, MarkupCast<CXTPMarkupSolidColorBrush>(solid.Get()));
    EXPECT_EQ(RGB(0, 255, 0), MarkupCast<CXTPMarkupSolidColorBrush>(solid.Get())->GetColor());
    Ptr<CXTPMarkupString> points(CXTPMarkupString::CreateValue(L"0,0 1,1"));
    EXPECT_EQ(nullptr, Ptr<CXTPMarkupObject>(prototype->ParseValue(points.Get())).Get());

    Ptr<CXTPMarkupLinearGradientBrush> a(new CXTPMarkupLinearGradientBrush());
    Ptr<CXTPMarkupLinearGradientBrush> b(new CXTPMarkupLinearGradientBrush());
    EXPECT_TRUE(a->IsEqual(a.Get()));
    EXPECT_FALSE(a->IsEqual(b.Get()));
}
} // namespace
