#include "vstgui/CBitmap.h"

#include "vstgui/CDrawContext.h"

#include <cairo.h>

namespace VSTGUI {

namespace {
std::string& resourceDirectory()
{
    static std::string dir;
    return dir;
}
} // namespace

void setResourceDirectory(const std::string& dir) { resourceDirectory() = dir; }
const std::string& getResourceDirectory() { return resourceDirectory(); }

CBitmap::CBitmap(const CResourceDescription& desc)
{
    if (!desc.name || !*desc.name)
        return;
    std::string path = desc.name;
    const std::string& dir = resourceDirectory();
    if (path[0] != '/' && !dir.empty())
        path = dir + "/" + path;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS)
        surface = s;
    else
        cairo_surface_destroy(s);
}

CBitmap::CBitmap(cairo_surface_t* s)
{
    if (s && cairo_surface_status(s) == CAIRO_STATUS_SUCCESS)
        surface = cairo_surface_reference(s);
}

CBitmap::~CBitmap()
{
    if (surface)
        cairo_surface_destroy(surface);
}

CCoord CBitmap::getWidth() const { return surface ? cairo_image_surface_get_width(surface) : 0; }
CCoord CBitmap::getHeight() const { return surface ? cairo_image_surface_get_height(surface) : 0; }

void CBitmap::draw(CDrawContext* context, const CRect& destination, const CPoint& offset, float alpha)
{
    if (!surface || !context || destination.isEmpty())
        return;
    cairo_t* cr = context->getCairo();
    cairo_save(cr);
    cairo_rectangle(cr, destination.left, destination.top, destination.getWidth(), destination.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, destination.left - offset.x, destination.top - offset.y);
    cairo_paint_with_alpha(cr, alpha * context->getGlobalAlpha());
    cairo_restore(cr);
}

} // namespace VSTGUI
