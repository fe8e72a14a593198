#include "markup/elements/ElementContext.h"

#include <atomic>

namespace
{
std::atomic<const XTPMarkupImageSourceLoader*> g_pDefaultImageSourceLoader{nullptr};
} // namespace

const XTPMarkupImageSourceLoader* XTPMarkupGetDefaultImageSourceLoader()
{
    return g_pDefaultImageSourceLoader.load();
}

void XTPMarkupSetDefaultImageSourceLoader(const XTPMarkupImageSourceLoader* pLoader)
{
    g_pDefaultImageSourceLoader.store(pLoader);
}
