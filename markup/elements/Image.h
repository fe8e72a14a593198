// The element that shows one picture, named by its "Source" text.
#pragma once

#include "markup/elements/FrameworkElement.h"

class CXTPImageStore;
class CXTPImageStoreImage;

class CXTPMarkupImage : public CXTPMarkupFrameworkElement
{
    DECLARE_MARKUPCLASS(CXTPMarkupImage)
public:
    CXTPMarkupImage();

    static CXTPMarkupDependencyProperty* m_pSourceProperty; // String, re-measures
    static void RegisterMarkupProperties();

    // Makes the store and picture from "Source": "file://" and a path,
    // "res://" and a resource name in the program's module (both prefixes
    // compared case-sensitively, each read into a store of its own), or an
    // image number of the host's store, else of the process-wide store. An
    // unset "Source" keeps what the element has; a source that cannot be
    // loaded leaves it without a picture.
    void ResolveImageSource();

    // Borrowed; null until a source resolved to a picture.
    CXTPImageStoreImage* GetImage() const { return m_pImage; }
    // The picture's size, or 0 x 0 without one.
    SIZE GetImageSize() const;

protected:
    ~CXTPMarkupImage() override;

    // The picture's own size, whatever the constraint: "Width" and "Height"
    // above it stretch the picture, below it crop it.
    SIZE MeasureContent(CXTPMarkupPainter* pPainter, int cxConstraint, int cyConstraint) override;
    // The picture stretched over the arranged size.
    void DrawContent(CXTPMarkupPainter* pPainter) override;

private:
    void ReleaseImage();

    CXTPImageStore* m_pImageStore; // held
    CXTPImageStoreImage* m_pImage; // held
};
