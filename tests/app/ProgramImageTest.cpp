// The program as built: Wine reads an image whose sections are not
// page-aligned in the file into private memory, debug sections included;
// and its icon.
#include "app/res/Resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
std::vector<char> ReadFile(const std::wstring& strPath)
{
    std::ifstream file(strPath.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
std::wstring ThisFolder()
{
    wchar_t szPath[MAX_PATH] = {};
    const std::wstring strPath(szPath, ::GetModuleFileNameW(NULL, szPath, MAX_PATH));
    return strPath.substr(0, strPath.find_last_of(L"\\/") + 1);
}

// A section's name; a long one ("/N") is read from the string table after
// the symbols.
std::string SectionName(const std::vector<char>& image, const IMAGE_FILE_HEADER& header, const BYTE* pName)
{
    std::string strName(reinterpret_cast<const char*>(pName), strnlen(reinterpret_cast<const char*>(pName), 8));
    if (strName.empty() || strName[0] != '/')
        return strName;
    const size_t nAt = size_t(header.PointerToSymbolTable) + size_t(header.NumberOfSymbols) * 18
                       + strtoul(strName.c_str() + 1, nullptr, 10);
    return nAt < image.size() ? std::string(image.data() + nAt, strnlen(image.data() + nAt, image.size() - nAt))
                              : strName;
}
} // namespace

TEST(ProgramImage, SectionsArePageAlignedAndDebugInformationLiesBeside)
{
    const std::wstring strDir = ThisFolder();
    const std::vector<char> image = ReadFile(strDir + L"clockfix.exe");
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    IMAGE_DOS_HEADER dos;
    memcpy(&dos, image.data(), sizeof(dos));
    ASSERT_LT(size_t(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS64), image.size());
    IMAGE_NT_HEADERS64 nt;
    memcpy(&nt, image.data() + dos.e_lfanew, sizeof(nt));
    EXPECT_EQ(nt.OptionalHeader.FileAlignment, nt.OptionalHeader.SectionAlignment);

    const size_t nSections =
        size_t(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    bool bDebugLink = false;
    for (int i = 0; i < nt.FileHeader.NumberOfSections; ++i)
    {
        IMAGE_SECTION_HEADER section;
        ASSERT_LE(nSections + (i + 1) * sizeof(section), image.size());
        memcpy(&section, image.data() + nSections + i * sizeof(section), sizeof(section));
        const std::string strName = SectionName(image, nt.FileHeader, section.Name);
        EXPECT_NE(strName.rfind(".debug", 0), 0u) << strName << " stayed in the program";
        bDebugLink = bDebugLink || strName == ".gnu_debuglink";
    }
    EXPECT_TRUE(bDebugLink);
    EXPECT_GT(ReadFile(strDir + L"clockfix.exe.debug").size(), image.size());
}

TEST(ProgramImage, TheIconLoadsAtEverySizeWithItsTransparency)
{
    HMODULE hProgram = ::LoadLibraryExW((ThisFolder() + L"clockfix.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(hProgram);
    for (int nSize : {16, 24, 32, 48})
    {
        HICON hIcon =
            static_cast<HICON>(::LoadImageW(hProgram, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, nSize, nSize, 0));
        ASSERT_TRUE(hIcon) << nSize;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(hIcon, &info));
        BITMAP bitmap = {};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(nSize, bitmap.bmWidth);
        EXPECT_EQ(32, bitmap.bmBitsPixel) << nSize;
        // The corner lies outside the clock face.
        HDC hDC = ::CreateCompatibleDC(NULL);
        HGDIOBJ hOld = ::SelectObject(hDC, info.hbmMask);
        EXPECT_EQ(RGB(255, 255, 255), ::GetPixel(hDC, 0, 0)) << nSize;
        ::SelectObject(hDC, hOld);
        ::DeleteDC(hDC);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(hIcon);
    }
    ::FreeLibrary(hProgram);
}
