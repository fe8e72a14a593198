// markup-render as its users run it: the picture and the layout dump it
// gives, the exit codes and messages of everything that can go wrong, and
// hostile files that must never bring it down.
#include "support/ChildProcess.h"
#include "toolkit/CodePage.h"

#include <png.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
struct Picture
{
    int cx = 0;
    int cy = 0;
    std::vector<BYTE> rgba;

    COLORREF Color(int x, int y) const
    {
        const BYTE* p = &rgba[(static_cast<size_t>(y) * cx + x) * 4];
        return RGB(p[0], p[1], p[2]);
    }
    BYTE Alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * cx + x) * 4 + 3]; }
};

// The file as 8-bit RGBA, read back through libpng; false when it is no PNG.
bool ReadPng(const std::string& strPath, Picture& picture)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, strPath.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    picture.cx = static_cast<int>(image.width);
    picture.cy = static_cast<int>(image.height);
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    const bool bRead = png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return bRead;
}

bool FileExists(const std::string& strPath)
{
    return GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class MarkupRenderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, szTemp);
        m_strDir = std::string(szTemp) + "markup-render-" + std::to_string(GetCurrentProcessId()) + "-"
                   + testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        CreateDirectoryA(m_strDir.c_str(), nullptr);
        m_strOutput = m_strDir + "out.png";
    }

    void TearDown() override
    {
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA((m_strDir + "*").c_str(), &fd);
        if (hFind != INVALID_HANDLE_VALUE)
        {
            do
                DeleteFileA((m_strDir + fd.cFileName).c_str());
            while (FindNextFileA(hFind, &fd));
            FindClose(hFind);
        }
        RemoveDirectoryA(m_strDir.c_str());
    }

    std::string Input(const std::string& strMarkup, const std::string& strName = "in.xml")
    {
        const std::string strPath = m_strDir + strName;
        FILE* pFile = fopen(strPath.c_str(), "wb");
        EXPECT_TRUE(pFile);
        if (pFile)
        {
            fwrite(strMarkup.data(), 1, strMarkup.size(), pFile);
            fclose(pFile);
        }
        return strPath;
    }

    // Runs the tool; the arguments come before the input and output files.
    DWORD Render(const std::string& strMarkup, const std::string& strOptions = "")
    {
        const std::string strInput = Input(strMarkup);
        EXPECT_TRUE(m_run.Run("markup-render.exe", strOptions + " \"" + strInput + "\" \"" + m_strOutput + "\""));
        return m_run.dwExitCode;
    }

    std::string m_strDir;
    std::string m_strOutput;
    CChildProcess m_run;
};

TEST_F(MarkupRenderTest, DrawsTheTreeOverTheButtonFaceAndDumpsItsLayout)
{
    const char kMarkup[] = "<StackPanel>"
                           " <StackPanel Orientation='Horizontal' Height='40' Background='Red'>"
                           "  <StackPanel Width='30' Background='Blue'/>"
                           "  <StackPanel Width='50' Background='Lime' Margin='5'/>"
                           " </StackPanel>"
                           " <WrapPanel Height='20' Width='100' HorizontalAlignment='Left' Background='Yellow'/>"
                           "</StackPanel>";
    ASSERT_EQ(Render(kMarkup, "--width 200 --height 100 --dump"), 0u) << m_run.strErr;
    EXPECT_EQ(m_run.strOut, "StackPanel 0,0,200,100\n"
                            "  StackPanel 0,0,200,40\n"
                            "    StackPanel 0,0,30,40\n"
                            "    StackPanel 35,5,85,35\n"
                            "  WrapPanel 0,40,100,60\n");
    EXPECT_EQ(m_run.strErr, "");

    Picture picture;
    ASSERT_TRUE(ReadPng(m_strOutput, picture));
    ASSERT_EQ(picture.cx, 200);
    ASSERT_EQ(picture.cy, 100);
    EXPECT_EQ(picture.Color(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(picture.Color(40, 10), RGB(0, 255, 0));
    EXPECT_EQ(picture.Color(40, 2), RGB(255, 0, 0)) << "the margin shows the parent";
    EXPECT_EQ(picture.Color(150, 20), RGB(255, 0, 0));
    EXPECT_EQ(picture.Color(50, 50), RGB(255, 255, 0));
    EXPECT_EQ(picture.Color(150, 80), GetSysColor(COLOR_BTNFACE));
    for (POINT pt : {POINT{0, 0}, POINT{10, 10}, POINT{199, 99}})
        EXPECT_EQ(picture.Alpha(pt.x, pt.y), 255);

    // Without options: 400 x 300, and nothing on stdout.
    ASSERT_EQ(Render(kMarkup), 0u) << m_run.strErr;
    EXPECT_EQ(m_run.strOut, "");
    ASSERT_TRUE(ReadPng(m_strOutput, picture));
    EXPECT_EQ(picture.cx, 400);
    EXPECT_EQ(picture.cy, 300);
    EXPECT_EQ(picture.Color(399, 20), RGB(255, 0, 0));
}

TEST_F(MarkupRenderTest, MarkupThatDoesNotLoadWritesNoFile)
{
    EXPECT_EQ(Render("<StackPanel/><StackPanel/>"), 1u);
    EXPECT_EQ(m_run.strErr, "markup-render: There are multiple root elements. Line 1, position 26\n");
    EXPECT_EQ(m_run.strOut, "");
    EXPECT_FALSE(FileExists(m_strOutput));

    EXPECT_EQ(Render("<StackPanel><Nonsense/></StackPanel>", "--dump"), 1u);
    EXPECT_EQ(m_run.strErr, "markup-render: The tag 'Nonsense' does not exist in XML namespace. Line 1, position 23\n");
    EXPECT_EQ(m_run.strOut, "");
    EXPECT_FALSE(FileExists(m_strOutput));
}

TEST_F(MarkupRenderTest, BadCommandLinesAndFilesEndWithCodeTwo)
{
    const std::string strInput = Input("<StackPanel/>");
    const std::string strUsage =
        "usage: markup-render [--width W] [--height H] [--utf8] [--classic] [--dump] INPUT OUTPUT.png\n"
        "       markup-render [--width W] [--height H] [--utf8] [--classic] [--dump] --view INPUT\n";
    const std::string badCommandLines[] = {
        "",
        "\"" + strInput + "\"",
        "--width 0 \"" + strInput + "\" out.png",
        "--height 9000 \"" + strInput + "\" out.png",
        "--width 12x \"" + strInput + "\" out.png",
        "--bold \"" + strInput + "\" out.png",
        "\"" + strInput + "\" out.png extra.png",
        "\"" + strInput + "\" out.png --height",
        "--view \"" + strInput + "\" out.png",
        "--view",
    };
    for (const std::string& strArguments : badCommandLines)
    {
        ASSERT_TRUE(m_run.Run("markup-render.exe", strArguments)) << "error " << m_run.dwStartError;
        EXPECT_EQ(m_run.dwExitCode, 2u) << strArguments;
        EXPECT_EQ(m_run.strErr.compare(0, 15, "markup-render: "), 0) << m_run.strErr;
        EXPECT_EQ(m_run.strErr.substr(m_run.strErr.size() - strUsage.size()), strUsage) << strArguments;
    }
    EXPECT_FALSE(FileExists("out.png"));

    const std::string strMissing = m_strDir + "missing.xml";
    ASSERT_TRUE(m_run.Run("markup-render.exe", "\"" + strMissing + "\" \"" + m_strOutput + "\""));
    EXPECT_EQ(m_run.dwExitCode, 2u);
    EXPECT_EQ(m_run.strErr.find("markup-render: cannot read " + strMissing + ": "), 0u) << m_run.strErr;
    EXPECT_FALSE(FileExists(m_strOutput));

    const std::string strNowhere = m_strDir + "no such folder\\out.png";
    ASSERT_TRUE(m_run.Run("markup-render.exe", "\"" + strInput + "\" \"" + strNowhere + "\""));
    EXPECT_EQ(m_run.dwExitCode, 2u);
    EXPECT_EQ(m_run.strErr.find("markup-render: cannot write " + strNowhere), 0u) << m_run.strErr;
}

TEST_F(MarkupRenderTest, Utf8SwitchReadsTheFileAsUtf8)
{
    // The tag is reported back in the ANSI code page: it arrives intact only
    // when the file was read as UTF-8.
    const std::string strMarkup = "<StackPanel><\xe4\xb8\xad/></StackPanel>";
    const std::string strExpected = "'" + XTPToMultiByte(L"\u4e2d", 1, CP_ACP) + "' does not exist";

    EXPECT_EQ(Render(strMarkup, "--utf8"), 1u);
    EXPECT_NE(m_run.strErr.find(strExpected), std::string::npos) << m_run.strErr;
    EXPECT_EQ(Render(strMarkup), 1u);
    EXPECT_EQ(m_run.strErr.find(strExpected), std::string::npos) << m_run.strErr;
}

TEST_F(MarkupRenderTest, HostileFilesNeverCrashIt)
{
    std::vector<std::string> inputs = {
        "",
        std::string("<StackPanel\0 Width='10'/>", 25),
        "<StackPanel Width='2147483647' Height='-2147483648' Margin='2147483647,-2147483648,2147483647,1'/>",
        "<StackPanel Margin='1e308' MaxWidth='NaN' Orientation='Sideways'/>",
        "<StackPanel><WrapPanel Width='0' Height='0'><StackPanel Width='100000' Height='100000' "
        "Background='Red'/></WrapPanel></StackPanel>",
        "<StackPanel Background='" + std::string(1 << 20, 'A') + "'/>",
        "\xef\xbb\xbf<StackPanel>\xff\xfe\x80\xc0</StackPanel>",
        "<?xml version='1.0' encoding='utf-8'?><StackPanel>\xed\xa0\x80\xf4\x90\x80\x80</StackPanel>",
    };
    std::string strDeep;
    for (int i = 0; i < 100000; ++i)
        strDeep += "<StackPanel>";
    inputs.push_back(strDeep);
    // Bytes of a fixed pseudo-random sequence, some of them markup's own.
    const char kAlphabet[] = "<>/=' \"&;:{}x\xa1\xfe\x00StackPanel";
    unsigned nSeed = 12345;
    for (int nFile = 0; nFile < 3; ++nFile)
    {
        std::string strNoise;
        for (int i = 0; i < 4096; ++i)
        {
            nSeed = nSeed * 1103515245 + 12345;
            strNoise += kAlphabet[(nSeed >> 16) % (sizeof(kAlphabet) - 1)];
        }
        inputs.push_back("<StackPanel>" + strNoise);
    }

    for (size_t i = 0; i < inputs.size(); ++i)
    {
        for (const char* pszOptions : {"--dump", "--utf8 --width 1 --height 1"})
        {
            const DWORD dwExit = Render(inputs[i], pszOptions);
            EXPECT_TRUE(dwExit == 0 || dwExit == 1) << "input " << i << " ended with 0x" << std::hex << dwExit;
            if (dwExit == 1)
            {
                EXPECT_EQ(m_run.strErr.compare(0, 15, "markup-render: "), 0) << m_run.strErr;
            }
        }
    }
}

TEST_F(MarkupRenderTest, CarriesTheProgramsPictures)
{
    // "res://" image sources look in the running program's own resources.
    HMODULE hTool =
        LoadLibraryExA((CChildProcess::BinDir() + "markup-render.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(hTool);
    for (const char* pszName : {"CLOCK.PNG", "INFO.PNG", "SYNC.PNG"})
        EXPECT_TRUE(FindResourceA(hTool, pszName, "PNG")) << pszName;
    FreeLibrary(hTool);

    ASSERT_EQ(Render("<StackPanel><Image Source='res://sync.png' Width='32' Height='32'/></StackPanel>",
                     "--width 32 --height 32"),
              0u)
        << m_run.strErr;
    Picture picture;
    ASSERT_TRUE(ReadPng(m_strOutput, picture));
    int nDrawn = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            nDrawn += picture.Color(x, y) != GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(nDrawn, 100) << "the picture was drawn";
}
} // namespace
