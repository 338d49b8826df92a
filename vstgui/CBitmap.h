// PNG bitmaps loaded from the resource directory.
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CGeometry.h"

#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace VSTGUI {

class CDrawContext;

struct CResourceDescription
{
    CResourceDescription(const char* n) : name(n) {}
    const char* name;
};

// Process-wide directory bitmaps are loaded from.
void setResourceDirectory(const std::string& dir);
const std::string& getResourceDirectory();

class CBitmap : public CBaseObject
{
public:
    CBitmap(const CResourceDescription& desc);
    // Takes its own reference to the surface.
    explicit CBitmap(cairo_surface_t* surface);
    ~CBitmap() override;

    bool isLoaded() const { return surface != nullptr; }
    CCoord getWidth() const;
    CCoord getHeight() const;
    cairo_surface_t* getSurface() const { return surface; }

    // Draws the part of the bitmap starting at `offset` into `destination` (clipped to it).
    void draw(CDrawContext* context, const CRect& destination, const CPoint& offset = CPoint(0, 0), float alpha = 1.f);

private:
    cairo_surface_t* surface = nullptr;
};

} // namespace VSTGUI
