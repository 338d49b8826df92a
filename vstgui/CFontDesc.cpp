#include "vstgui/CFontDesc.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <strings.h>
#include <tuple>

namespace VSTGUI {

namespace {

CFontDesc gSystemFont("System", 12);
CFontDesc gNormalFont("System", 12);
CFontDesc gNormalFontSmall("System", 11);

struct FontRegistry
{
    std::map<std::string, std::string> aliases;
    // Registered font files by family: text in such a family uses that very
    // file (a bold file stays bold whatever face is asked for).
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> resolved;
    std::map<std::tuple<std::string, bool, bool>, cairo_font_face_t*> faces;
};

FontRegistry& registry()
{
    static FontRegistry r;
    return r;
}

bool fontconfigHasFamily(const std::string& family)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    if (match)
    {
        FcChar8* value = nullptr;
        for (int i = 0; !found && FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i)
            found = strcasecmp(reinterpret_cast<const char*>(value), family.c_str()) == 0;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

} // namespace

const CFontRef kSystemFont = &gSystemFont;
const CFontRef kNormalFont = &gNormalFont;
const CFontRef kNormalFontSmall = &gNormalFontSmall;

CFontDesc::CFontDesc(const char* n, CCoord s, int32_t st) : name(n ? n : ""), size(s), style(st) {}

std::string CFontDesc::getResolvedFamily() const
{
    auto& reg = registry();
    auto cached = reg.resolved.find(name);
    if (cached != reg.resolved.end())
        return cached->second;
    std::string family;
    auto alias = reg.aliases.find(name);
    if (alias != reg.aliases.end())
        family = alias->second;
    else if (name.empty() || name == "System" || name == "Helvetica" || !fontconfigHasFamily(name))
        family = "Sans";
    else
        family = name;
    reg.resolved[name] = family;
    return family;
}

cairo_font_face_t* CFontDesc::getFontFace() const
{
    const bool bold = (style & kBoldFace) != 0;
    const bool italic = (style & kItalicFace) != 0;
    auto key = std::make_tuple(getResolvedFamily(), bold, italic);
    auto& faces = registry().faces;
    auto found = faces.find(key);
    if (found != faces.end())
        return found->second;
    // cairo resolves the pattern against the current fontconfig set, app fonts included.
    FcPattern* pattern = FcPatternCreate();
    auto file = registry().files.find(std::get<0>(key));
    if (file != registry().files.end())
    {
        FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(file->second.c_str()));
        FcPatternAddInteger(pattern, FC_INDEX, 0);
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(std::get<0>(key).c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    faces[key] = face;
    return face;
}

bool registerFontFile(const std::string& path, std::string* family)
{
    if (!FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str())))
        return false;
    registry().resolved.clear();
    if (family)
    {
        family->clear();
        int count = 0;
        if (FcPattern* query = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(path.c_str()), 0, nullptr, &count))
        {
            FcChar8* value = nullptr;
            if (FcPatternGetString(query, FC_FAMILY, 0, &value) == FcResultMatch)
            {
                *family = reinterpret_cast<const char*>(value);
                registry().files[*family] = path;
                // Faces made for this family before now came from another file.
                auto& faces = registry().faces;
                for (auto it = faces.begin(); it != faces.end();)
                {
                    if (std::get<0>(it->first) != *family)
                    {
                        ++it;
                        continue;
                    }
                    cairo_font_face_destroy(it->second);
                    it = faces.erase(it);
                }
            }
            FcPatternDestroy(query);
        }
    }
    return true;
}

void addFontAlias(const std::string& name, const std::string& family)
{
    registry().aliases[name] = family;
    registry().resolved.clear();
}

} // namespace VSTGUI
