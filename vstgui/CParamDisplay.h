// Text on a coloured box: what labels and option menus share.
#pragma once

#include "vstgui/CControl.h"
#include "vstgui/CFontDesc.h"

namespace VSTGUI {

enum
{
    kShadowText = 1 << 2,
    kNoTextStyle = 1 << 11,
    kNoDrawStyle = 1 << 12,
    kNoFrame = 1 << 14
};

class CParamDisplay : public CControl
{
public:
    CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);
    ~CParamDisplay() override;

    virtual void setFont(CFontRef font);
    CFontRef getFont() const { return font; }
    virtual void setFontColor(const CColor& color);
    const CColor& getFontColor() const { return fontColor; }
    virtual void setBackColor(const CColor& color);
    const CColor& getBackColor() const { return backColor; }
    virtual void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return frameColor; }
    virtual void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    virtual void setStyle(int32_t val);
    int32_t getStyle() const { return style; }

protected:
    void drawBack(CDrawContext* context);
    void drawText(CDrawContext* context, const char* text);

    CFontRef font;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    int32_t style;
};

} // namespace VSTGUI
