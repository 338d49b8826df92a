// Font descriptions; faces come from fontconfig and are drawn through cairo's FreeType backend.
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CGeometry.h"

#include <string>

typedef struct _cairo_font_face cairo_font_face_t;

namespace VSTGUI {

enum CTxtFace { kNormalFace = 0, kBoldFace = 1 << 1, kItalicFace = 1 << 2, kUnderlineFace = 1 << 3 };

class CFontDesc : public CBaseObject
{
public:
    CFontDesc(const char* name = "", CCoord size = 0, int32_t style = 0);

    const char* getName() const { return name.c_str(); }
    CCoord getSize() const { return size; }
    int32_t getStyle() const { return style; }
    void setName(const char* n) { name = n ? n : ""; }
    void setSize(CCoord s) { size = s; }
    void setStyle(int32_t s) { style = s; }

    // The fontconfig family this name draws with (aliases, then "Sans" for generic or unknown names).
    std::string getResolvedFamily() const;
    // Cached; owned by the cache, valid for the process.
    cairo_font_face_t* getFontFace() const;

private:
    std::string name;
    CCoord size;
    int32_t style;
};

using CFontRef = CFontDesc*;

extern const CFontRef kSystemFont;
extern const CFontRef kNormalFont;
extern const CFontRef kNormalFontSmall;

// Makes a TrueType file usable by family name in this process; `family` receives its family name.
bool registerFontFile(const std::string& path, std::string* family = nullptr);
// Draws `name` with the fontconfig family `family`.
void addFontAlias(const std::string& name, const std::string& family);

} // namespace VSTGUI
