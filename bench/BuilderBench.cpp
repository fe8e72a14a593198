// Loading throughput of the object builder: the application's three markup
// texts, and generated documents of 1 MB and 4 MB to show that the cost grows
// linearly. Stand-in element types take the place of the element library.
#include "support/MarkupStandIns.h"

#include "markup/model/ObjectBuilder.h"
#include "markup/model/Type.h"

#include <cstdio>
#include <string>

namespace
{
const char kInfoMarkup[] =
    "<StackPanel><StackPanel Orientation='Horizontal'><Image Source='res://info.png' Width='24' Height='24' "
    "VerticalAlignment='Center'/><TextBlock FontSize='16' FontWeight='Bold' VerticalAlignment='Center' "
    "Padding='5,0,0,0'>使用说明</TextBlock></StackPanel><StackPanel><TextBlock FontSize='14' "
    "VerticalAlignment='Center' MaxWidth='485' TextWrapping='Wrap' Padding='5,10,0,0'>"
    "本工具是通过互联网进行自动校时，所以您必须首先确保已连接互联网才能使用校时功能！"
    "</TextBlock></StackPanel></StackPanel>";
const char kResultMarkup[] =
    "<StackPanel Orientation='Horizontal'><Image Source='res://clock.png' Width='24' Height='24' "
    "VerticalAlignment='Center'/><TextBlock FontSize='14' VerticalAlignment='Center' Padding='5,0,0,0'>"
    "已经成功校时！您的系统时间比标准时间快了<Run Foreground='Red' FontWeight='Bold'>0.1234</Run>秒！"
    "</TextBlock></StackPanel>";
const char kButtonMarkup[] =
    "<StackPanel><Image Source='res://sync.png' Width='32' Height='32' /><TextBlock FontSize='18' "
    "FontWeight='Bold' Padding='0,10,0,0'>立即校时</TextBlock></StackPanel>";

// The application keeps its texts in the ANSI code page.
std::string ToAnsi(const std::string& utf8)
{
    const int nWide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(nWide, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], nWide);
    const int nAnsi = WideCharToMultiByte(CP_ACP, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string ansi(nAnsi, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), nWide, &ansi[0], nAnsi, nullptr, nullptr);
    return ansi;
}

std::string Generate(size_t nBytes)
{
    const std::string block =
        ToAnsi("  <StackPanel Orientation='Horizontal' Margin='0,12,0,0'>\r\n"
               "    <Image Source='res://clock.png' Width='24' Height='24' VerticalAlignment='Center'/>\r\n"
               "    <TextBlock FontSize='14' Padding='5,0,0,0' TextWrapping='Wrap'>已经成功校时！您的系统时间比标准时间"
               "快了 <Run Foreground='Red' FontWeight='Bold'>0.1234</Run> 秒！ a &amp; b &#x41;</TextBlock>\r\n"
               "  </StackPanel><!-- a comment -->\r\n");
    std::string text = "<?xml version='1.0'?>\r\n<StackPanel>\r\n";
    while (text.size() + block.size() < nBytes)
        text += block;
    return text + "</StackPanel>";
}

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

bool LoadOnce(const std::string& text)
{
    CXTPMarkupObject* pRoot = CXTPMarkupObjectBuilder::Parse(nullptr, text.data(), text.size(), nullptr);
    if (!pRoot)
        return false;
    pRoot->Release();
    return true;
}

// Repeats for at least half a second; returns nanoseconds per byte.
double Measure(const char* pszName, const std::string& text)
{
    std::string strError;
    CXTPMarkupObject* pRoot = CXTPMarkupObjectBuilder::Parse(nullptr, text.data(), text.size(), &strError);
    if (!pRoot)
    {
        printf("%-14s failed: %s\n", pszName, strError.c_str());
        return 0;
    }
    pRoot->Release();
    long nRuns = 0;
    const double start = Seconds();
    double elapsed;
    do
    {
        LoadOnce(text);
        nRuns++;
        elapsed = Seconds() - start;
    } while (elapsed < 0.5);
    const double perRun = elapsed / double(nRuns);
    printf("%-14s %9zu bytes %12.0f documents/s %8.1f MB/s %6.2f ns/byte\n", pszName, text.size(), 1.0 / perRun,
           double(text.size()) / perRun / 1e6, perRun * 1e9 / double(text.size()));
    return perRun * 1e9 / double(text.size());
}
} // namespace

int main()
{
    CXTPMarkupType::InitializeTypes();
    RegisterStandInElements();
    printf("ANSI code page %u\n", GetACP());
    Measure("information", ToAnsi(kInfoMarkup));
    Measure("result", ToAnsi(kResultMarkup));
    Measure("button", ToAnsi(kButtonMarkup));
    const double small = Measure("generated 1 MB", Generate(1 << 20));
    const double large = Measure("generated 4 MB", Generate(4 << 20));
    if (small > 0)
        printf("cost per byte, 4 MB against 1 MB: %.2f (1.00 is linear)\n", large / small);
    return 0;
}
