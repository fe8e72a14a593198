// Loading throughput of the object builder: the application's three markup
// texts, and generated documents of 1 MB and 4 MB to show that the cost grows
// linearly. Stand-in element types take the place of the element library.
#include "BenchSupport.h"
#include "support/MarkupStandIns.h"

#include "markup/model/ObjectBuilder.h"
#include "markup/model/Type.h"

#include <cstdio>
#include <string>

namespace
{
void LoadOnce(const std::string& text)
{
    if (CXTPMarkupObject* pRoot = CXTPMarkupObjectBuilder::Parse(nullptr, text.data(), text.size(), nullptr))
        pRoot->Release();
}

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
    return ReportThroughput(pszName, text.size(), "", SecondsPerRun([&] { LoadOnce(text); }));
}
} // namespace

int main()
{
    CXTPMarkupType::InitializeTypes();
    RegisterStandInElements();
    MeasureDocuments(
        "  <StackPanel Orientation='Horizontal' Margin='0,12,0,0'>\r\n"
        "    <Image Source='res://clock.png' Width='24' Height='24' VerticalAlignment='Center'/>\r\n"
        "    <TextBlock FontSize='14' Padding='5,0,0,0' TextWrapping='Wrap'>已经成功校时！您的系统时间比标准时间"
        "快了 <Run Foreground='Red' FontWeight='Bold'>0.1234</Run> 秒！ a &amp; b &#x41;</TextBlock>\r\n"
        "  </StackPanel><!-- a comment -->\r\n",
        Measure);
    return 0;
}
