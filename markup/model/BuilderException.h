// The one error of markup loading: an 8-bit message in the ANSI code page.
#pragma once

#include <windows.h>

#include <exception>

class CXTPMarkupBuilderException : public std::exception
{
public:
    enum
    {
        kMaxMessage = 255, // bytes, without the terminator
    };

    // printf-style, with the conversions the engine's messages use: %ls (wide
    // text, converted to the ANSI code page), %s, %i, %d, %u and %%. A longer
    // message is cut at a character boundary.
    explicit CXTPMarkupBuilderException(const char* pszFormat, ...) __attribute__((format(gnu_printf, 2, 3)));

    const char* what() const noexcept override { return m_szMessage; }

private:
    char m_szMessage[kMaxMessage + 1];
};
