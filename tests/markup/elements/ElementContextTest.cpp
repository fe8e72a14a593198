// Elements against a context that is not the host: everything they ask of
// their context goes through the element-side interface, so a tree loads,
// lays out, routes events and captures the mouse with any implementation.
#include "ElementTestSupport.h"

#include "markup/elements/Delegate.h"
#include "markup/elements/ElementContext.h"
#include "markup/elements/EventArgs.h"
#include "markup/elements/Hyperlink.h"
#include "markup/elements/TextBlock.h"
#include "markup/host/CachedFont.h"
#include "markup/host/GdiPainter.h"
#include "markup/model/ObjectBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
// Counts what elements ask; knows one delegate, "OnClick".
class CCountingContext : public CXTPMarkupElementContext
{
public:
    CCountingContext()
        : m_pOnClick(new CXTPMarkupDelegate([this](CXTPMarkupObject*, CXTPMarkupEventArgs*) { ++m_nClicks; }))
    {
        m_lf = {};
        m_lf.lfHeight = -12;
        strcpy(m_lf.lfFaceName, "Tahoma");
    }
    ~CCountingContext() override { m_pOnClick->Release(); }

    CXTPMarkupFont* GetCachedFont(const LOGFONTA& lf) override
    {
        ++m_nFonts;
        return new CXTPMarkupCachedFont(lf);
    }
    const LOGFONTA& GetDefaultFont() const override { return m_lf; }
    COLORREF GetDefaultTextColor() const override { return 0; }
    CXTPImageStore* GetImageStore() const override { return nullptr; }
    int GetDpi() const override { return 96; }
    CXTPMarkupPainter* CreateMeasuringPainter() const override
    {
        ++m_nPainters;
        return new CXTPMarkupGdiPainter();
    }
    void InvalidateElement(CXTPMarkupInputElement*) override {}
    void InvalidateAll() override {}
    LONG AddRef() override { return ++m_nRef; }
    LONG Release() override { return --m_nRef; }
    void AttachElement(CXTPMarkupInputElement* pElement) override
    {
        ++m_nRef;
        SetElementContext(pElement, this);
    }
    void DetachElement(CXTPMarkupInputElement* pElement) override
    {
        SetElementContext(pElement, nullptr);
        --m_nRef;
    }
    CXTPMarkupDelegate* FindDelegate(LPCWSTR lpszName) const override
    {
        return wcscmp(lpszName, L"OnClick") == 0 ? m_pOnClick : nullptr;
    }
    void RaiseHostHandlers(CXTPMarkupObject* pSender, CXTPMarkupEventArgs*) override { m_pUnhandledFrom = pSender; }
    CXTPMarkupInputElement* GetCapturedElement() const override { return m_pCaptured; }
    void CaptureElement(CXTPMarkupInputElement* pElement) override { m_pCaptured = pElement; }
    void ReleaseElementCapture() override { m_pCaptured = nullptr; }

    LONG m_nRef = 1;
    int m_nClicks = 0;
    int m_nFonts = 0;
    mutable int m_nPainters = 0;
    CXTPMarkupObject* m_pUnhandledFrom = nullptr;
    CXTPMarkupInputElement* m_pCaptured = nullptr;

private:
    LOGFONTA m_lf;
    CXTPMarkupDelegate* m_pOnClick;
};

TEST(ElementContextTest, ATreeLivesOnAnyContext)
{
    CCountingContext context;
    const char kMarkup[] = "<TextBlock><Hyperlink Click='OnClick'>go</Hyperlink> on</TextBlock>";
    std::string strError;
    {
        Ptr<CXTPMarkupObject> root(CXTPMarkupObjectBuilder::Parse(&context, kMarkup, strlen(kMarkup), &strError));
        CXTPMarkupTextBlock* pText = MarkupCast<CXTPMarkupTextBlock>(root.Get());
        ASSERT_NE(nullptr, pText) << strError;
        // The text block, the hyperlink and its two runs each hold the context.
        EXPECT_EQ(1 + 4, context.m_nRef);
        EXPECT_EQ(&context, pText->GetMarkupContext());

        pText->Arrange(RECT{0, 0, 200, 40}); // measured first, with the context's painter
        EXPECT_EQ(1, context.m_nPainters);
        EXPECT_GT(context.m_nFonts, 0);
        EXPECT_GT(pText->GetMeasuredSize().cx, 0);

        CXTPMarkupInputElement* pLink = pText->GetInlines()->GetInline(0);
        CXTPMarkupEventArgs args(CXTPMarkupHyperlink::m_pClickEvent);
        pLink->RaiseEvent(&args);
        EXPECT_EQ(1, context.m_nClicks);
        EXPECT_EQ(pLink, context.m_pUnhandledFrom);

        pLink->CaptureMouse();
        EXPECT_TRUE(pLink->IsMouseCaptured());
        EXPECT_FALSE(pText->IsMouseCaptured());
        pText->ReleaseMouseCapture(); // not the holder: nothing
        EXPECT_TRUE(pLink->IsMouseCaptured());
        pLink->ReleaseMouseCapture();
        EXPECT_EQ(nullptr, context.m_pCaptured);
    }
    EXPECT_EQ(1, context.m_nRef);
}
} // namespace
