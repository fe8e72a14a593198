#include "markup/host/MarkupTypes.h"

#include "markup/elements/Border.h"
#include "markup/elements/Canvas.h"
#include "markup/elements/FrameworkContentElement.h"
#include "markup/elements/FrameworkElement.h"
#include "markup/elements/Grid.h"
#include "markup/elements/GridDefinitions.h"
#include "markup/elements/GridLength.h"
#include "markup/elements/Hyperlink.h"
#include "markup/elements/Image.h"
#include "markup/elements/Inline.h"
#include "markup/elements/InlineUIContainer.h"
#include "markup/elements/Page.h"
#include "markup/elements/Panel.h"
#include "markup/elements/PointCollection.h"
#include "markup/elements/Run.h"
#include "markup/elements/Shape.h"
#include "markup/elements/Span.h"
#include "markup/elements/StackPanel.h"
#include "markup/elements/TextBlock.h"
#include "markup/elements/TextElement.h"
#include "markup/elements/UIElement.h"
#include "markup/elements/UIElementCollection.h"
#include "markup/elements/Visual.h"
#include "markup/elements/WrapPanel.h"

#include "markup/host/Button.h"
#include "markup/host/ButtonBase.h"
#include "markup/host/CheckBox.h"
#include "markup/elements/ElementContext.h"
#include "markup/host/GdiPainter.h"
#include "markup/host/ImageLoader.h"
#include "markup/host/ContentControl.h"
#include "markup/host/Control.h"
#include "markup/elements/Delegate.h"
#include "markup/elements/InputElement.h"
#include "markup/host/KeyboardNavigation.h"
#include "markup/host/RadioButton.h"
#include "markup/host/ToggleButton.h"
#include "markup/host/ScrollBar.h"
#include "markup/host/ScrollBarGripper.h"
#include "markup/host/ScrollViewer.h"

#include "markup/model/ObjectBuilder.h"
#include "markup/model/Type.h"

namespace
{
const XTPMarkupImageSourceLoader kImageLoader = {&CXTPImageLoader::CreateFileStore,
                                                 &CXTPImageLoader::CreateResourceStore};

CXTPMarkupPainter* CreateMeasuringPainter()
{
    return new CXTPMarkupGdiPainter();
}
} // namespace

void RegisterMarkupTypes()
{
    XTPMarkupSetDefaultImageSourceLoader(&kImageLoader);
    XTPMarkupSetMeasuringPainterFactory(&CreateMeasuringPainter);
    // Referencing each class here also keeps its object file in a static link.
    CXTPMarkupInputElement::GetMarkupType();
    CXTPMarkupKeyboardNavigation::GetMarkupType();
    CXTPMarkupDelegate::GetMarkupType();
    CXTPMarkupVisual::GetMarkupType();
    CXTPMarkupUIElement::GetMarkupType();
    CXTPMarkupFrameworkElement::GetMarkupType();
    CXTPMarkupUIElementCollection::GetMarkupType();
    CXTPMarkupPanel::GetMarkupType();
    CXTPMarkupStackPanel::GetMarkupType();
    CXTPMarkupWrapPanel::GetMarkupType();
    CXTPMarkupFrameworkContentElement::GetMarkupType();
    CXTPMarkupTextElement::GetMarkupType();
    CXTPMarkupInline::GetMarkupType();
    CXTPMarkupInlineCollection::GetMarkupType();
    CXTPMarkupRun::GetMarkupType();
    CXTPMarkupLineBreak::GetMarkupType();
    CXTPMarkupSpan::GetMarkupType();
    CXTPMarkupBold::GetMarkupType();
    CXTPMarkupItalic::GetMarkupType();
    CXTPMarkupUnderline::GetMarkupType();
    CXTPMarkupHyperlink::GetMarkupType();
    CXTPMarkupInlineUIContainer::GetMarkupType();
    CXTPMarkupTextBlock::GetMarkupType();
    CXTPMarkupImage::GetMarkupType();
    CXTPMarkupCanvas::GetMarkupType();
    CXTPMarkupSingleChildElement::GetMarkupType();
    CXTPMarkupBorder::GetMarkupType();
    CXTPMarkupPage::GetMarkupType();
    CXTPMarkupGridLength::GetMarkupType();
    CXTPMarkupDefinitionBase::GetMarkupType();
    CXTPMarkupColumnDefinition::GetMarkupType();
    CXTPMarkupRowDefinition::GetMarkupType();
    CXTPMarkupDefinitionCollection::GetMarkupType();
    CXTPMarkupColumnDefinitionCollection::GetMarkupType();
    CXTPMarkupRowDefinitionCollection::GetMarkupType();
    CXTPMarkupGrid::GetMarkupType();
    CXTPMarkupPointCollection::GetMarkupType();
    CXTPMarkupShape::GetMarkupType();
    CXTPMarkupPolygon::GetMarkupType();
    CXTPMarkupPolyline::GetMarkupType();
    CXTPMarkupRectangle::GetMarkupType();
    CXTPMarkupEllipse::GetMarkupType();
    CXTPMarkupLine::GetMarkupType();
    CXTPMarkupControl::GetMarkupType();
    CXTPMarkupContentControl::GetMarkupType();
    CXTPMarkupButtonBase::GetMarkupType();
    CXTPMarkupButton::GetMarkupType();
    CXTPMarkupToggleButton::GetMarkupType();
    CXTPMarkupCheckBox::GetMarkupType();
    CXTPMarkupRadioButton::GetMarkupType();
    CXTPMarkupScrollViewer::GetMarkupType();
    CXTPMarkupScrollBar::GetMarkupType();
    CXTPMarkupScrollBarGripper::GetMarkupType();

    CXTPMarkupObjectBuilder::SetRootType(MARKUP_TYPE(CXTPMarkupUIElement));
}

void EnsureMarkupTypes()
{
    static const bool s_bInitialized = []
    {
        RegisterMarkupTypes();
        CXTPMarkupType::InitializeTypes();
        return true;
    }();
    (void)s_bInitialized;
}
