#include "markup/elements/ElementContext.h"

#include "markup/elements/InputElement.h"

#include <atomic>

namespace
{
std::atomic<const XTPMarkupImageSourceLoader*> g_pDefaultImageSourceLoader{nullptr};
std::atomic<PFNXTPMARKUPCREATEPAINTER> g_pfnCreateMeasuringPainter{nullptr};
} // namespace

const XTPMarkupImageSourceLoader* XTPMarkupGetDefaultImageSourceLoader()
{
    return g_pDefaultImageSourceLoader.load();
}

void XTPMarkupSetDefaultImageSourceLoader(const XTPMarkupImageSourceLoader* pLoader)
{
    g_pDefaultImageSourceLoader.store(pLoader);
}

void XTPMarkupSetMeasuringPainterFactory(PFNXTPMARKUPCREATEPAINTER pfnCreate)
{
    g_pfnCreateMeasuringPainter.store(pfnCreate);
}

void CXTPMarkupElementContext::SetElementContext(CXTPMarkupInputElement* pElement, CXTPMarkupElementContext* pContext)
{
    pElement->m_pMarkupContext = pContext;
}

CXTPMarkupPainter* XTPMarkupCreateMeasuringPainter()
{
    PFNXTPMARKUPCREATEPAINTER pfnCreate = g_pfnCreateMeasuringPainter.load();
    return pfnCreate ? pfnCreate() : nullptr;
}
