// Drawing over a cairo context. Coordinates are those of the view being drawn; the offset set by
// containers maps them to the window.
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CButtonState.h"
#include "vstgui/CColor.h"
#include "vstgui/CFontDesc.h"
#include "vstgui/CGeometry.h"

#include <vector>

#include <cairo.h>

namespace VSTGUI {

class CGraphicsPath : public CBaseObject
{
public:
    void addRect(const CRect& r);
    void addRoundRect(const CRect& r, CCoord radius);
    void addEllipse(const CRect& r);
    void beginSubpath(const CPoint& p);
    void addLine(const CPoint& p);
    void closeSubpath();

    // Replaces cairo's current path with this one.
    void apply(cairo_t* cr) const;

private:
    enum class Op { Rect, RoundRect, Ellipse, Move, Line, Close };
    struct Element
    {
        Op op;
        CRect rect;
        CCoord radius;
    };
    std::vector<Element> elements;
};

class CGradient : public CBaseObject
{
public:
    static CGradient* create(double start, double end, const CColor& startColor, const CColor& endColor);
    void addColorStop(double position, const CColor& color);

    struct ColorStop
    {
        double position;
        CColor color;
    };
    const std::vector<ColorStop>& getColorStops() const { return stops; }

private:
    std::vector<ColorStop> stops;
};

class CDrawContext : public CBaseObject
{
public:
    // Takes its own reference to `cr`; `surfaceRect` is the drawable area in window coordinates.
    CDrawContext(cairo_t* cr, const CRect& surfaceRect);
    ~CDrawContext() override;

    void setFillColor(const CColor& c) { state.fillColor = c; }
    const CColor& getFillColor() const { return state.fillColor; }
    void setFrameColor(const CColor& c) { state.frameColor = c; }
    const CColor& getFrameColor() const { return state.frameColor; }
    void setFontColor(const CColor& c) { state.fontColor = c; }
    const CColor& getFontColor() const { return state.fontColor; }
    void setLineWidth(CCoord w) { state.lineWidth = w; }
    CCoord getLineWidth() const { return state.lineWidth; }
    void setDrawMode(int32_t mode);
    int32_t getDrawMode() const { return state.drawMode; }

    void setFont(const CFontRef font, const CCoord& size = 0, const int32_t& style = -1);
    CFontRef getFont() const { return state.font.get(); }

    void drawLine(const CPoint& start, const CPoint& end);
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void drawEllipse(const CRect& rect, CDrawStyle style = kDrawStroked);
    // Stroked polygons stay open, as polylines.
    void drawPolygon(const std::vector<CPoint>& points, CDrawStyle style = kDrawStroked);
    void drawString(const char* string, const CRect& rect, CHoriTxtAlign hAlign = kCenterText, bool antialias = true);
    CCoord getStringWidth(const char* string);

    CGraphicsPath* createGraphicsPath() { return new CGraphicsPath; }
    CGraphicsPath* createRoundRectGraphicsPath(const CRect& rect, CCoord radius);
    enum PathDrawMode { kPathFilled, kPathFilledEvenOdd, kPathStroked };
    void drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode = kPathFilled);
    void fillLinearGradient(CGraphicsPath* path, const CGradient& gradient, const CPoint& startPoint,
                            const CPoint& endPoint, bool evenOdd = false);

    // The clip is given and returned in the current offset's coordinates.
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();
    void setGlobalAlpha(float alpha) { state.globalAlpha = alpha; }
    float getGlobalAlpha() const { return state.globalAlpha; }

    void saveGlobalState();
    void restoreGlobalState();

    void setOffset(const CPoint& offset);
    const CPoint& getOffset() const { return state.offset; }

    cairo_t* getCairo() const { return cr; }
    const CRect& getSurfaceRect() const { return surfaceRect; }

private:
    struct State
    {
        CColor fillColor = kWhiteCColor;
        CColor frameColor = kBlackCColor;
        CColor fontColor = kBlackCColor;
        CCoord lineWidth = 1;
        int32_t drawMode = kAntiAliasing;
        SharedPointer<CFontDesc> font;
        float globalAlpha = 1.f;
        CPoint offset;
        CRect clip; // window coordinates
    };

    void applyState();
    void setSourceColor(const CColor& c);
    void finishShape(CDrawStyle style);
    CCoord strokeAlign() const;

    cairo_t* cr;
    cairo_matrix_t baseMatrix;
    CRect surfaceRect;
    State state;
    std::vector<State> stack;
};

} // namespace VSTGUI
