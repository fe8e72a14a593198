#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

// The program's 8-bit texts are code page 936; the tests run where that is
// the ANSI code page, as on the systems the program is written for.
TEST(Environment, AnsiCodePageIsSimplifiedChinese)
{
    EXPECT_EQ(GetACP(), 936u);
}

namespace
{
// The pixels of one character drawn black on white in the given font.
std::vector<DWORD> DrawCharacter(const LOGFONTW& font, WCHAR ch)
{
    const int kSize = 48;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HDC hdc = CreateCompatibleDC(NULL);
    HBITMAP hBitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
    HFONT hFont = CreateFontIndirectW(&font);
    HGDIOBJ hOldBitmap = SelectObject(hdc, hBitmap);
    HGDIOBJ hOldFont = SelectObject(hdc, hFont);
    RECT rc = {0, 0, kSize, kSize};
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TextOutW(hdc, 4, 4, &ch, 1);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(pBits), static_cast<const DWORD*>(pBits) + kSize * kSize);
    SelectObject(hdc, hOldFont);
    SelectObject(hdc, hOldBitmap);
    DeleteObject(hFont);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

LOGFONTW Face(const wchar_t* pszFace)
{
    LOGFONTW font = {};
    font.lfHeight = -24;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, pszFace, LF_FACESIZE);
    return font;
}

// Two different Chinese characters that draw differently are glyphs, not
// the same missing-glyph box.
void ExpectChineseGlyphs(const LOGFONTW& font)
{
    const std::vector<DWORD> blank(48 * 48, 0xFFFFFF);
    const std::vector<DWORD> shi = DrawCharacter(font, L'\x65F6');  // 时
    const std::vector<DWORD> jian = DrawCharacter(font, L'\x95F4'); // 间
    EXPECT_NE(shi, blank);
    EXPECT_NE(shi, jian);
}
} // namespace

TEST(Environment, ChineseTextDrawsAsGlyphsInTheProgramsFonts)
{
    for (const wchar_t* pszFace : {L"\x5B8B\x4F53" /* 宋体 */, L"SimSun", L"MS Shell Dlg", L"MS Shell Dlg 2"})
    {
        SCOPED_TRACE(testing::Message() << "face " << static_cast<const void*>(pszFace));
        ExpectChineseGlyphs(Face(pszFace));
    }

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    ExpectChineseGlyphs(metrics.lfMessageFont);
}
