// What an element needs from the context it was created for: fonts, default
// text settings, pictures, repainting, and for input elements the link to
// the context with its delegates, handlers and mouse capture. The host
// implements it; elements ask only this, never the host itself.
#pragma once

#include <windows.h>

class CXTPImageStore;
class CXTPMarkupDelegate;
class CXTPMarkupEventArgs;
class CXTPMarkupFont;
class CXTPMarkupInputElement;
class CXTPMarkupObject;
class CXTPMarkupPainter;

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

// Makes a painter that measures outside a paint, for the caller to delete.
// Measuring needs a device, which only the host knows; it installs this with
// its markup types. Null until then: layout then has nothing to measure with.
typedef CXTPMarkupPainter* (*PFNXTPMARKUPCREATEPAINTER)();
void XTPMarkupSetMeasuringPainterFactory(PFNXTPMARKUPCREATEPAINTER pfnCreate);
// A painter from that factory, for the caller to delete; null without one.
CXTPMarkupPainter* XTPMarkupCreateMeasuringPainter();

class CXTPMarkupElementContext
{
public:
    // The font for lf, shared with every element of the context asking for
    // the same one; one reference for the caller.
    virtual CXTPMarkupFont* GetCachedFont(const LOGFONTA& lf) = 0;

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

    // A painter for measuring this context's elements outside a paint, for
    // the caller to delete; null when there is none.
    virtual CXTPMarkupPainter* CreateMeasuringPainter() const { return XTPMarkupCreateMeasuringPainter(); }

    // Repaints the part of the window an element covers: it looks different.
    virtual void InvalidateElement(CXTPMarkupInputElement* pElement) = 0;
    // Repaints everything: the root asks for another size.
    virtual void InvalidateAll() = 0;

    // The implementation behind this context when it is the one pKey names
    // (each implementation's own static key), else null: how code on the
    // implementation's side finds itself again from an element, without
    // run-time type information, which the release build leaves out.
    virtual void* FindImplementation(const void* /*pKey*/) { return nullptr; }

    // Reference counted: every input element attached holds one reference.
    virtual LONG AddRef() = 0;
    virtual LONG Release() = 0;

    // Object creation for the context attaches every input element made: the
    // element keeps the context until its final release detaches it.
    virtual void AttachElement(CXTPMarkupInputElement* pElement) = 0;
    virtual void DetachElement(CXTPMarkupInputElement* pElement) = 0;

    // The delegate an event attribute names, borrowed; null when unknown.
    virtual CXTPMarkupDelegate* FindDelegate(LPCWSTR lpszName) const = 0;
    // A bubbling event no element handled ends here.
    virtual void RaiseHostHandlers(CXTPMarkupObject* pSender, CXTPMarkupEventArgs* pArgs) = 0;

    // The element holding the mouse capture (not held), and taking it.
    virtual CXTPMarkupInputElement* GetCapturedElement() const = 0;
    virtual void CaptureElement(CXTPMarkupInputElement* pElement) = 0;
    virtual void ReleaseElementCapture() = 0;

protected:
    virtual ~CXTPMarkupElementContext() = default;

    // Attaching and detaching set the element's link.
    static void SetElementContext(CXTPMarkupInputElement* pElement, CXTPMarkupElementContext* pContext);
};
