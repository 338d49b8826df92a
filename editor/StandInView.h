// A view that holds the place of one not yet built: it keeps the rectangle
// and draws a quiet outline with the area's name, so the window is whole.
#pragma once

#include "vstgui/vstgui.h"

#include <string>

class StandInView : public VSTGUI::CView
{
public:
    StandInView(const VSTGUI::CRect& size, const char* label) : CView(size), label(label) { setTransparency(true); }

    void draw(VSTGUI::CDrawContext* context) override
    {
        VSTGUI::CRect r = getViewSize();
        r.inset(2, 2);
        context->setDrawMode(VSTGUI::kAntiAliasing);
        context->setLineWidth(1);
        context->setFrameColor(VSTGUI::CColor(0, 160, 0, 90));
        context->setFillColor(VSTGUI::CColor(0, 40, 0, 60));
        if (VSTGUI::CGraphicsPath* path = context->createRoundRectGraphicsPath(r, 4)) {
            context->drawGraphicsPath(path, VSTGUI::CDrawContext::kPathFilled);
            context->drawGraphicsPath(path, VSTGUI::CDrawContext::kPathStroked);
            path->forget();
        }
        context->setFont(VSTGUI::kNormalFontSmall);
        context->setFontColor(VSTGUI::CColor(0, 176, 0, 150));
        context->drawString(label.c_str(), r, VSTGUI::kCenterText, true);
        setDirty(false);
    }

private:
    std::string label;
};
