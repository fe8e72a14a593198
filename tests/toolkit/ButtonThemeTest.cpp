#include "support/Bitmap32.h"
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
    std::unique_ptr<CBitmap32> pBitmap;
    CXTPButtonTheme::Face face;
};

Drawn Draw(const CXTPButtonTheme& theme, const State& state)
{
    Drawn drawn{std::make_unique<CBitmap32>(kFace.right, kFace.bottom), {}};
    drawn.pBitmap->Fill(kUnpainted);
    drawn.face = theme.DrawFace(*drawn.pBitmap, NULL, kFace, state);
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
    EXPECT_EQ(normal.pBitmap->Count(kUnpainted, kFace), 0);
    EXPECT_EQ(normal.pBitmap->Pixel(ptCentre.x, ptCentre.y), clrFace);
    // Raised: lit from the top left.
    EXPECT_GT(Brightness(normal.pBitmap->Pixel(0, 0)), Brightness(clrFace));
    EXPECT_LT(Brightness(normal.pBitmap->Pixel(kFace.right - 1, kFace.bottom - 1)), Brightness(clrFace));
    EXPECT_EQ(normal.face.clrText, ::GetSysColor(COLOR_BTNTEXT));

    // Pressed: sunk, and the caption moves with the face.
    const Drawn pressed = Draw(theme, MakeState(false, true, false, false));
    EXPECT_LT(Brightness(pressed.pBitmap->Pixel(0, 0)), Brightness(clrFace));
    EXPECT_EQ(pressed.face.rcText.left, normal.face.rcText.left + 1);
    EXPECT_EQ(pressed.face.rcText.top, normal.face.rcText.top + 1);

    // Default: a dark outer frame around the raised edge; pressed, it goes flat.
    const COLORREF clrFrame = ::GetSysColor(COLOR_WINDOWFRAME);
    const Drawn defaulted = Draw(theme, MakeState(false, false, false, true));
    EXPECT_EQ(defaulted.pBitmap->Pixel(0, 0), clrFrame);
    EXPECT_EQ(defaulted.pBitmap->Pixel(kFace.right - 1, kFace.bottom - 1), clrFrame);
    EXPECT_GT(Brightness(defaulted.pBitmap->Pixel(1, 1)), Brightness(clrFace));
    const Drawn defaultPressed = Draw(theme, MakeState(false, true, false, true));
    EXPECT_EQ(defaultPressed.pBitmap->Pixel(0, 0), clrFrame);
    EXPECT_EQ(defaultPressed.pBitmap->Pixel(1, 1), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(defaultPressed.pBitmap->Pixel(2, 2), clrFace);

    // Hot: the same edge with a tinted face.
    const Drawn hot = Draw(theme, MakeState(true, false, false, false));
    EXPECT_EQ(hot.pBitmap->Pixel(0, 0), normal.pBitmap->Pixel(0, 0));
    EXPECT_NE(hot.pBitmap->Pixel(ptCentre.x, ptCentre.y), clrFace);

    const Drawn disabled = Draw(theme, MakeState(true, false, true, false));
    EXPECT_TRUE(disabled.pBitmap->SameAs(*normal.pBitmap)) << "a disabled button is never hot";
    EXPECT_EQ(disabled.face.clrText, ::GetSysColor(COLOR_GRAYTEXT));
}

TEST(VisualStyle, UnknownClassStaysClosedAndDrawsNothing)
{
    CXTPVisualStyle style;
    EXPECT_FALSE(style.Open(NULL, L"NoSuchControlClass"));
    CBitmap32 bitmap(kFace.right, kFace.bottom);
    bitmap.Fill(kUnpainted);
    EXPECT_FALSE(style.DrawBackground(bitmap, 1, 1, kFace));
    EXPECT_EQ(bitmap.Count(kUnpainted, kFace), kFace.right * kFace.bottom);
    const RECT rcContent = style.GetContentRect(bitmap, 1, 1, kFace);
    EXPECT_TRUE(::EqualRect(&rcContent, &kFace));
    COLORREF clr = 0;
    EXPECT_FALSE(style.GetColor(1, 1, 3803, clr));
}
