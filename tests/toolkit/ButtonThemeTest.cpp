#include "support/DibCanvas.h"
#include "toolkit/ButtonTheme.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
const RECT kFace = {0, 0, 80, 30};
const COLORREF kUnpainted = RGB(255, 0, 255);

using State = CXTPButtonTheme::State;

State MakeState(bool bHot, bool bPressed, bool bDisabled, bool bDefault)
{
    State state;
    state.bHot = bHot;
    state.bPressed = bPressed;
    state.bDisabled = bDisabled;
    state.bDefault = bDefault;
    return state;
}

int Brightness(COLORREF clr)
{
    return GetRValue(clr) + GetGValue(clr) + GetBValue(clr);
}

struct Drawn
{
    std::unique_ptr<CDibCanvas> pCanvas;
    CXTPButtonTheme::Face face;
};

Drawn Draw(const CXTPButtonTheme& theme, const State& state)
{
    Drawn drawn{std::make_unique<CDibCanvas>(kFace.right, kFace.bottom, kUnpainted), {}};
    drawn.face = theme.DrawFace(drawn.pCanvas->GetDC(), NULL, kFace, state);
    return drawn;
}
} // namespace

TEST(ButtonTheme, ClassicFaceShowsEachStateInTheSystemColours)
{
    CXTPButtonTheme theme;
    theme.SetClassicLook(true);
    theme.RefreshMetrics(NULL);
    ASSERT_FALSE(theme.IsVisualStyle());
    const COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
    const POINT ptCentre = {kFace.right / 2, kFace.bottom / 2};

    const Drawn normal = Draw(theme, State());
    EXPECT_EQ(normal.pCanvas->Count(kUnpainted, kFace), 0);
    EXPECT_EQ(normal.pCanvas->Color(ptCentre.x, ptCentre.y), clrFace);
    // Raised: lit from the top left.
    EXPECT_GT(Brightness(normal.pCanvas->Color(0, 0)), Brightness(clrFace));
    EXPECT_LT(Brightness(normal.pCanvas->Color(kFace.right - 1, kFace.bottom - 1)), Brightness(clrFace));
    EXPECT_EQ(normal.face.clrText, ::GetSysColor(COLOR_BTNTEXT));

    // Pressed: sunk, and the caption moves with the face.
    const Drawn pressed = Draw(theme, MakeState(false, true, false, false));
    EXPECT_LT(Brightness(pressed.pCanvas->Color(0, 0)), Brightness(clrFace));
    EXPECT_EQ(pressed.face.rcText.left, normal.face.rcText.left + 1);
    EXPECT_EQ(pressed.face.rcText.top, normal.face.rcText.top + 1);

    // Default: a dark outer frame around the raised edge; pressed, it goes flat.
    const COLORREF clrFrame = ::GetSysColor(COLOR_WINDOWFRAME);
    const Drawn defaulted = Draw(theme, MakeState(false, false, false, true));
    EXPECT_EQ(defaulted.pCanvas->Color(0, 0), clrFrame);
    EXPECT_EQ(defaulted.pCanvas->Color(kFace.right - 1, kFace.bottom - 1), clrFrame);
    EXPECT_GT(Brightness(defaulted.pCanvas->Color(1, 1)), Brightness(clrFace));
    const Drawn defaultPressed = Draw(theme, MakeState(false, true, false, true));
    EXPECT_EQ(defaultPressed.pCanvas->Color(0, 0), clrFrame);
    EXPECT_EQ(defaultPressed.pCanvas->Color(1, 1), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(defaultPressed.pCanvas->Color(2, 2), clrFace);

    // Hot: the same edge with a tinted face.
    const Drawn hot = Draw(theme, MakeState(true, false, false, false));
    EXPECT_EQ(hot.pCanvas->Color(0, 0), normal.pCanvas->Color(0, 0));
    EXPECT_NE(hot.pCanvas->Color(ptCentre.x, ptCentre.y), clrFace);

    const Drawn disabled = Draw(theme, MakeState(true, false, true, false));
    EXPECT_TRUE(disabled.pCanvas->SameAs(*normal.pCanvas)) << "a disabled button is never hot";
    EXPECT_EQ(disabled.face.clrText, ::GetSysColor(COLOR_GRAYTEXT));
}

TEST(VisualStyle, UnknownClassStaysClosedAndDrawsNothing)
{
    CXTPThemeHandle style;
    EXPECT_FALSE(style.Open(NULL, L"NoSuchControlClass"));
    CDibCanvas canvas(kFace.right, kFace.bottom, kUnpainted);
    EXPECT_FALSE(style.DrawBackground(canvas.GetDC(), 1, 1, kFace));
    EXPECT_EQ(canvas.Count(kUnpainted, kFace), kFace.right * kFace.bottom);
    const RECT rcContent = style.GetContentRect(canvas.GetDC(), 1, 1, kFace);
    EXPECT_TRUE(::EqualRect(&rcContent, &kFace));
    COLORREF clr = 0;
    EXPECT_FALSE(style.GetColor(1, 1, 3803, clr));
}
