// A line of static text.
#pragma once

#include "vstgui/CParamDisplay.h"

#include <string>

namespace VSTGUI {

class CTextLabel : public CParamDisplay
{
public:
    CTextLabel(const CRect& size, const char* txt = nullptr, CBitmap* background = nullptr, int32_t style = 0);

    virtual void setText(const char* txt);
    const char* getText() const { return text.c_str(); }

    void draw(CDrawContext* context) override;
    bool isTypeOf(const char* name) const override;

private:
    std::string text;
};

} // namespace VSTGUI
