// What an element needs from the context it was created for: fonts, default
// text settings, pictures and repainting. The host implements it; elements
// ask only this, never the host itself.
#pragma once

#include <windows.h>

class CXTPImageStore;
class CXTPMarkupCachedFont;
class CXTPMarkupInputElement;

// How file:// and res:// picture sources become image stores: one reference
// for the caller, or null when the picture cannot be read. Decoding pictures
// is the host's business; elements only name them.
struct XTPMarkupImageSourceLoader
{
    CXTPImageStore* (*pfnCreateFileStore)(LPCSTR lpszPath);
    CXTPImageStore* (*pfnCreateResourceStore)(HMODULE hModule, LPCSTR lpszName);
};

// The loader of trees built without a context, and of contexts that name no
// loader of their own; installed with the host's markup types. Null until
// then: such sources then load no picture.
const XTPMarkupImageSourceLoader* XTPMarkupGetDefaultImageSourceLoader();
void XTPMarkupSetDefaultImageSourceLoader(const XTPMarkupImageSourceLoader* pLoader);

class CXTPMarkupElementContext
{
public:
    // The font for lf, shared with every element of the context asking for
    // the same one; one reference for the caller.
    virtual CXTPMarkupCachedFont* GetCachedFont(const LOGFONTA& lf) = 0;

    // Text of elements that set no font or colour.
    virtual const LOGFONTA& GetDefaultFont() const = 0;
    virtual COLORREF GetDefaultTextColor() const = 0;

    // The store image numbers name; null leaves them to the process-wide
    // store.
    virtual CXTPImageStore* GetImageStore() const = 0;
    // Dots per inch of the window: markup lengths and pictures are in
    // 96-DPI pixels and scale to it.
    virtual int GetDpi() const = 0;
    // What reads picture files and resources for this context's elements.
    virtual const XTPMarkupImageSourceLoader* GetImageSourceLoader() const
    {
        return XTPMarkupGetDefaultImageSourceLoader();
    }

    // Repaints the part of the window an element covers: it looks different.
    virtual void InvalidateElement(CXTPMarkupInputElement* pElement) = 0;
    // Repaints everything: the root asks for another size.
    virtual void InvalidateAll() = 0;

protected:
    virtual ~CXTPMarkupElementContext() = default;
};
