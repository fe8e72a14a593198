// A button that changes its "IsChecked" state with every click: the base of
// check boxes and radio buttons, and of their glyph-and-content layout.
#pragma once

#include "markup/host/ButtonBase.h"

enum XTPMarkupCheckState
{
    xtpMarkupCheckStateFalse = 0,
    xtpMarkupCheckStateTrue = 1,
    xtpMarkupCheckStateIndeterminate = 2,
};

class CXTPMarkupToggleButton : public CXTPMarkupButtonBase
{
    DECLARE_MARKUPCLASS(CXTPMarkupToggleButton)
public:
    // Enum: "False", "True", or the empty text for Indeterminate; repaints.
    static CXTPMarkupDependencyProperty* m_pIsCheckedProperty;
    static CXTPMarkupDependencyProperty* m_pIsThreeStateProperty; // Bool, False; repaints
    // Bubbling; raised when "IsChecked" comes to that state.
    static CXTPMarkupDependencyProperty* m_pCheckedEvent;
    static CXTPMarkupDependencyProperty* m_pUncheckedEvent;
    static CXTPMarkupDependencyProperty* m_pIndeterminateEvent;
    static void RegisterMarkupProperties();

    int GetChecked() const; // xtpMarkupCheckState...; unset reads False
    void SetChecked(int nState);
    BOOL IsThreeState() const;

protected:
    CXTPMarkupToggleButton();

    // Toggles, then raises "Click".
    void OnClick() override;
    // False goes to True; True to Indeterminate when the button has three
    // states, else to False; Indeterminate to False.
    virtual void OnToggle();
    // Each raises its event from the button.
    virtual void OnChecked();
    virtual void OnUnchecked();
    virtual void OnIndeterminate();

    // The layout of check boxes and radio buttons: a 13-pixel glyph at the
    // left, the content beside it. Without content the box asks for
    // cyMinEmpty at least.
    SIZE MeasureBesideGlyph(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint, int cyMinEmpty);
    void ArrangeBesideGlyph(int cx, int cy);
    // Where the glyph goes: 13 by 13 at the left, centred vertically.
    RECT GetGlyphRect() const;
    // The glyph's look: 3 pressed, 2 under the pointer, else 1.
    int GetGlyphBaseState() const;
    void DrawGlyphFocusCue(CXTPMarkupPainter* pPainter);

    enum
    {
        kGlyphSize = 13,
        kGlyphSpace = 16, // the glyph and the gap before the content
    };

private:
    static CXTPMarkupObject* ConvertIsChecked(CXTPMarkupElementContext* pHost, CXTPMarkupObject* pValue);
    static void OnIsCheckedChanged(CXTPMarkupObject* pObject, CXTPMarkupPropertyChangedArgs* pArgs);
    void RaiseToggleEvent(CXTPMarkupDependencyProperty* pEvent);
};
