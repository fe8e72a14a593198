// Tokenizer throughput: the application's three markup texts, and generated
// documents of 1 MB and 4 MB to show that the cost grows linearly.
#include "BenchSupport.h"

#include "markup/model/Tokenizer.h"

#include <cstdio>
#include <string>

namespace
{
long TokenizeOnce(const std::string& text)
{
    CXTPMarkupTokenizer tokenizer;
    tokenizer.SetInput(text.data(), text.data() + text.size());
    if (!tokenizer.SkipToFirstTag())
        return 0;
    long nTokens = 0;
    CXTPMarkupTokenizer::TokenKind kind;
    while ((kind = tokenizer.NextToken()) != CXTPMarkupTokenizer::TokenEnd && kind != CXTPMarkupTokenizer::TokenError)
        nTokens++;
    return kind == CXTPMarkupTokenizer::TokenEnd ? nTokens : -1;
}

double Measure(const char* pszName, const std::string& text)
{
    char szTokens[32];
    snprintf(szTokens, sizeof(szTokens), " %8ld tokens", TokenizeOnce(text));
    return ReportThroughput(pszName, text.size(), szTokens, SecondsPerRun([&] { TokenizeOnce(text); }));
}
} // namespace

int main()
{
    MeasureDocuments(
        "  <TextBlock FontSize='14' Padding='5,0,0,0' TextWrapping='Wrap'>已经成功校时！您的系统时间比标准时间"
        "快了 <Run Foreground='Red' FontWeight='Bold'>0.1234</Run> 秒！ a &amp; b &#x41;</TextBlock>\r\n"
        "  <!-- a comment --><Image Source='res://clock.png' Width='24' Height='24'/>\r\n",
        Measure);
    return 0;
}
