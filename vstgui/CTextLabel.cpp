#include "vstgui/CTextLabel.h"

#include <cstring>

namespace VSTGUI {

CTextLabel::CTextLabel(const CRect& size, const char* txt, CBitmap* bg, int32_t s) : CParamDisplay(size, bg, s), text(txt ? txt : "") {}

void CTextLabel::setText(const char* txt)
{
    const std::string next = txt ? txt : "";
    if (next == text)
        return;
    text = next;
    setDirty(true);
}

void CTextLabel::draw(CDrawContext* context)
{
    drawBack(context);
    drawText(context, text.c_str());
    setDirty(false);
}

bool CTextLabel::isTypeOf(const char* name) const
{
    return std::strcmp(name, "CTextLabel") == 0 || CControl::isTypeOf(name);
}

} // namespace VSTGUI
