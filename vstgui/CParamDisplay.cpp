#include "vstgui/CParamDisplay.h"

#include "vstgui/CDrawContext.h"

namespace VSTGUI {

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* bg, int32_t s) : CControl(size, nullptr, -1, bg), font(kNormalFont), style(s)
{
    font->remember();
}

CParamDisplay::~CParamDisplay() { font->forget(); }

void CParamDisplay::setFont(CFontRef f)
{
    if (!f)
        return;
    f->remember();
    font->forget();
    font = f;
    setDirty(true);
}

void CParamDisplay::setFontColor(const CColor& c)
{
    fontColor = c;
    setDirty(true);
}

void CParamDisplay::setBackColor(const CColor& c)
{
    backColor = c;
    setDirty(true);
}

void CParamDisplay::setFrameColor(const CColor& c)
{
    frameColor = c;
    setDirty(true);
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign align)
{
    horiAlign = align;
    setDirty(true);
}

void CParamDisplay::setStyle(int32_t val)
{
    style = val;
    setDirty(true);
}

void CParamDisplay::drawBack(CDrawContext* context)
{
    if (style & kNoDrawStyle)
        return;
    if (background)
        background->draw(context, size);
    else if (!getTransparency())
    {
        context->setFillColor(backColor);
        context->drawRect(size, kDrawFilled);
    }
    if (!(style & kNoFrame) && !getTransparency())
    {
        context->setLineWidth(1);
        context->setFrameColor(frameColor);
        context->drawRect(size, kDrawStroked);
    }
}

void CParamDisplay::drawText(CDrawContext* context, const char* text)
{
    if ((style & (kNoTextStyle | kNoDrawStyle)) || !text || !*text)
        return;
    context->setFont(font);
    if (style & kShadowText)
    {
        CRect shadow(size);
        shadow.offset(1, 1);
        context->setFontColor(kBlackCColor);
        context->drawString(text, shadow, horiAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, horiAlign);
}

} // namespace VSTGUI
