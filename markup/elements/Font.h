// A font as elements hold it: made by their context (the host's cached GDI
// font) for a LOGFONT, and shared by the elements that use it.
#pragma once

#include "markup/model/Object.h"

#include <windows.h>

class CXTPMarkupFont : public CXTPMarkupObject
{
public:
    virtual const LOGFONTA& GetLogFont() const = 0;
    // Whether this font serves a request for lf.
    virtual BOOL IsSameFont(const LOGFONTA& lf) const = 0;
};
