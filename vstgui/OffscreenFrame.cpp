#include "vstgui/OffscreenFrame.h"

#include <cairo.h>

namespace VSTGUI {

OffscreenFrame::OffscreenFrame(IPlatformFrameCallbacks* cb, const CRect& size) : callbacks(cb)
{
    setSize(size);
}

OffscreenFrame::~OffscreenFrame()
{
    if (surface)
        cairo_surface_destroy(surface);
}

bool OffscreenFrame::setSize(const CRect& size)
{
    const int w = static_cast<int>(size.getWidth());
    const int h = static_cast<int>(size.getHeight());
    if (w <= 0 || h <= 0)
        return false;
    if (surface)
        cairo_surface_destroy(surface);
    bounds = CRect(0, 0, w, h);
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    invalidRects.assign(1, bounds);
    return true;
}

void OffscreenFrame::invalidRect(const CRect& rect)
{
    CRect r(rect);
    r.makeIntegral();
    r.bound(bounds);
    if (r.isEmpty())
        return;
    // Merge what overlaps so that each pixel is drawn once per pass.
    for (bool merged = true; merged;)
    {
        merged = false;
        for (auto it = invalidRects.begin(); it != invalidRects.end(); ++it)
        {
            if (it->rectOverlap(r))
            {
                r.unite(*it);
                invalidRects.erase(it);
                merged = true;
                break;
            }
        }
    }
    invalidRects.push_back(r);
}

void OffscreenFrame::processEvents()
{
    std::vector<CRect> rects;
    rects.swap(invalidRects);
    for (const CRect& r : rects)
    {
        cairo_t* cr = cairo_create(surface);
        auto* context = new CDrawContext(cr, bounds);
        cairo_destroy(cr);
        context->setClipRect(r);
        callbacks->platformDrawRect(context, r);
        context->forget();
    }
    cairo_surface_flush(surface);
}

void OffscreenFrame::render()
{
    invalidRects.assign(1, bounds);
    processEvents();
}

bool OffscreenFrame::writePNG(const std::string& path)
{
    cairo_surface_flush(surface);
    return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

uint32_t OffscreenFrame::pixel(int x, int y)
{
    if (!bounds.pointInside(CPoint(x, y)))
        return 0;
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
}

bool OffscreenFrame::getCurrentMousePosition(CPoint& where) const
{
    where = mousePosition;
    return true;
}

bool OffscreenFrame::getCurrentMouseButtons(CButtonState& buttons) const
{
    buttons = mouseButtons;
    return true;
}

CDrawContext* OffscreenFrame::createDrawContext()
{
    cairo_t* cr = cairo_create(surface);
    auto* context = new CDrawContext(cr, bounds);
    cairo_destroy(cr);
    return context;
}

CMouseEventResult OffscreenFrame::mouseDown(CPoint where, CButtonState buttons)
{
    mousePosition = where;
    mouseButtons = buttons;
    return callbacks->platformOnMouseDown(where, buttons);
}

CMouseEventResult OffscreenFrame::mouseMoved(CPoint where, CButtonState buttons)
{
    mousePosition = where;
    mouseButtons = buttons;
    return callbacks->platformOnMouseMoved(where, buttons);
}

CMouseEventResult OffscreenFrame::mouseUp(CPoint where, CButtonState buttons)
{
    mousePosition = where;
    mouseButtons = CButtonState(buttons.getModifierState());
    return callbacks->platformOnMouseUp(where, buttons);
}

CMouseEventResult OffscreenFrame::mouseExited(CPoint where)
{
    mousePosition = where;
    return callbacks->platformOnMouseExited(where, mouseButtons);
}

bool OffscreenFrame::wheel(CPoint where, float distance, CButtonState buttons)
{
    mousePosition = where;
    return callbacks->platformOnMouseWheel(where, distance, buttons);
}

int32_t OffscreenFrame::keyDown(VstKeyCode key) { return callbacks->platformOnKeyDown(key); }
int32_t OffscreenFrame::keyUp(VstKeyCode key) { return callbacks->platformOnKeyUp(key); }

bool OffscreenFrame::drop(IDataPackage* package, CPoint where)
{
    mousePosition = where;
    callbacks->platformOnDragEnter(package, where);
    callbacks->platformOnDragMove(package, where);
    const bool accepted = callbacks->platformOnDrop(package, where);
    package->forget();
    return accepted;
}

bool OffscreenFrame::dropFiles(const std::vector<std::string>& paths, CPoint where)
{
    auto* package = new CDropSource;
    for (const auto& path : paths)
        package->add(path.c_str(), static_cast<uint32_t>(path.size() + 1), IDataPackage::kFilePath);
    return drop(package, where);
}

bool OffscreenFrame::dropText(const std::string& text, CPoint where)
{
    return drop(new CDropSource(text.c_str(), static_cast<uint32_t>(text.size() + 1), IDataPackage::kText), where);
}

} // namespace VSTGUI
