#include "markup/host/ButtonBase.h"

#include "markup/elements/Hyperlink.h"

#include "markup/elements/EventArgs.h"
#include "markup/host/Host.h"
#include "markup/host/KeyboardNavigation.h"

#include "markup/model/DependencyProperty.h"
#include "markup/model/Numbers.h"
#include "markup/model/Type.h"

IMPLEMENT_MARKUPCLASS(nullptr, CXTPMarkupButtonBase, CXTPMarkupContentControl)

CXTPMarkupDependencyProperty* CXTPMarkupButtonBase::m_pIsPressedProperty = nullptr;
CXTPMarkupDependencyProperty* CXTPMarkupButtonBase::m_pClickEvent = nullptr;

void CXTPMarkupButtonBase::RegisterMarkupProperties()
{
    using Options = CXTPMarkupPropertyOptions;
    CXTPMarkupType* pOwner = MARKUP_TYPE(CXTPMarkupButtonBase);
    m_pIsPressedProperty = CXTPMarkupDependencyProperty::Register(
        L"IsPressed", MARKUP_TYPE(CXTPMarkupBool), pOwner,
        new Options(CXTPMarkupBool::CreateFalseValue(), Options::AffectsArrange));
    // The links' record, made first whatever order the types were listed in.
    MARKUP_TYPE(CXTPMarkupHyperlink)->EnsureInitialized();
    m_pClickEvent = CXTPMarkupHyperlink::m_pClickEvent->AddOwner(pOwner);
}

CXTPMarkupButtonBase::CXTPMarkupButtonBase() : m_bPressed(FALSE), m_bMouseInside(FALSE)
{
    SetValue(m_pFocusableProperty, CXTPMarkupBool::CreateTrueValue());
}

BOOL CXTPMarkupButtonBase::IsPressed() const
{
    const CXTPMarkupBool* pValue = MarkupCast<CXTPMarkupBool>(GetValue(m_pIsPressedProperty));
    return pValue && *pValue;
}

BOOL CXTPMarkupButtonBase::IsMouseOver() const
{
    const CXTPMarkupBool* pValue = MarkupCast<CXTPMarkupBool>(GetValue(m_pIsMouseOverProperty));
    return pValue && *pValue;
}

void CXTPMarkupButtonBase::OpenTheme()
{
    m_theme.Open(nullptr, L"BUTTON");
}

void CXTPMarkupButtonBase::SetPressed(BOOL bPressed)
{
    if (bPressed)
    {
        if (!m_bPressed)
        {
            m_bPressed = TRUE;
            SetValue(m_pIsPressedProperty, CXTPMarkupBool::CreateTrueValue());
        }
        return;
    }

    if (m_bPressed)
    {
        m_bPressed = FALSE;
        SetValue(m_pIsPressedProperty, nullptr);
    }
    // The leave that came while the button was held changed nothing; the
    // hot look goes now.
    if (!m_bMouseInside && IsMouseOver())
    {
        SetValue(m_pIsMouseOverProperty, nullptr);
        InvalidateVisual();
    }
}

void CXTPMarkupButtonBase::OnMouseLeftButtonDown(CXTPMarkupEventArgs* pArgs)
{
    SetPressed(TRUE);
    pArgs->m_bHandled = TRUE;
    if (CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this))
        pHost->GetKeyboardNavigation()->Focus(this);
    CaptureMouse();
}

void CXTPMarkupButtonBase::OnMouseLeftButtonUp(CXTPMarkupEventArgs* pArgs)
{
    if (!m_bPressed)
        return;
    // Click handlers may drop the last other reference to the button.
    CXTPMarkupPtr<CXTPMarkupButtonBase> self = CXTPMarkupPtr<CXTPMarkupButtonBase>::AddRefOf(this);
    ReleaseMouseCapture();
    SetPressed(FALSE);
    if (m_bMouseInside)
        OnClick();
    pArgs->m_bHandled = TRUE;
}

void CXTPMarkupButtonBase::OnMouseEnter(CXTPMarkupEventArgs* pArgs)
{
    m_bMouseInside = TRUE;
    if (m_bPressed)
    {
        SetValue(m_pIsPressedProperty, CXTPMarkupBool::CreateTrueValue());
        return;
    }
    CXTPMarkupContentControl::OnMouseEnter(pArgs);
    InvalidateVisual();
}

void CXTPMarkupButtonBase::OnMouseLeave(CXTPMarkupEventArgs* pArgs)
{
    m_bMouseInside = FALSE;
    if (m_bPressed)
    {
        SetValue(m_pIsPressedProperty, nullptr);
        return;
    }
    CXTPMarkupContentControl::OnMouseLeave(pArgs);
    InvalidateVisual();
}

void CXTPMarkupButtonBase::OnLostMouseCapture(CXTPMarkupEventArgs* /*pArgs*/)
{
    SetPressed(FALSE);
}

void CXTPMarkupButtonBase::OnClick()
{
    CXTPMarkupEventArgs args(m_pClickEvent, this);
    if (CXTPMarkupHost* pHost = CXTPMarkupHost::FromElement(this))
        args.m_hWnd = pHost->GetHwnd();
    RaiseEvent(&args);
}
