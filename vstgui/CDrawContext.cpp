#include "vstgui/CDrawContext.h"

#include <cairo.h>

#include <cmath>

namespace VSTGUI {

// ---- CGraphicsPath ----

void CGraphicsPath::addRect(const CRect& r) { elements.push_back({Op::Rect, r, 0}); }
void CGraphicsPath::addRoundRect(const CRect& r, CCoord radius) { elements.push_back({Op::RoundRect, r, radius}); }
void CGraphicsPath::addEllipse(const CRect& r) { elements.push_back({Op::Ellipse, r, 0}); }
void CGraphicsPath::beginSubpath(const CPoint& p) { elements.push_back({Op::Move, CRect(p.x, p.y, p.x, p.y), 0}); }
void CGraphicsPath::addLine(const CPoint& p) { elements.push_back({Op::Line, CRect(p.x, p.y, p.x, p.y), 0}); }
void CGraphicsPath::closeSubpath() { elements.push_back({Op::Close, CRect(), 0}); }

void CGraphicsPath::apply(cairo_t* cr) const
{
    cairo_new_path(cr);
    for (const Element& e : elements)
    {
        const CRect& r = e.rect;
        switch (e.op)
        {
        case Op::Rect:
            cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
            break;
        case Op::RoundRect:
        {
            const CCoord rad = std::min(e.radius, std::min(r.getWidth(), r.getHeight()) / 2);
            cairo_new_sub_path(cr);
            cairo_arc(cr, r.right - rad, r.top + rad, rad, -M_PI / 2, 0);
            cairo_arc(cr, r.right - rad, r.bottom - rad, rad, 0, M_PI / 2);
            cairo_arc(cr, r.left + rad, r.bottom - rad, rad, M_PI / 2, M_PI);
            cairo_arc(cr, r.left + rad, r.top + rad, rad, M_PI, 3 * M_PI / 2);
            cairo_close_path(cr);
            break;
        }
        case Op::Ellipse:
            if (r.getWidth() <= 0 || r.getHeight() <= 0)
                break;
            cairo_new_sub_path(cr);
            cairo_save(cr);
            cairo_translate(cr, r.left + r.getWidth() / 2, r.top + r.getHeight() / 2);
            cairo_scale(cr, r.getWidth() / 2, r.getHeight() / 2);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_close_path(cr);
            break;
        case Op::Move:
            cairo_move_to(cr, r.left, r.top);
            break;
        case Op::Line:
            cairo_line_to(cr, r.left, r.top);
            break;
        case Op::Close:
            cairo_close_path(cr);
            break;
        }
    }
}

// ---- CGradient ----

CGradient* CGradient::create(double start, double end, const CColor& startColor, const CColor& endColor)
{
    auto* g = new CGradient;
    g->addColorStop(start, startColor);
    g->addColorStop(end, endColor);
    return g;
}

void CGradient::addColorStop(double position, const CColor& color) { stops.push_back({position, color}); }

// ---- CDrawContext ----

namespace {
cairo_matrix_t baseMatrixOf(cairo_t* cr)
{
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    return m;
}
} // namespace

CDrawContext::CDrawContext(cairo_t* c, const CRect& rect) : cr(cairo_reference(c)), surfaceRect(rect)
{
    state.font.reset(kSystemFont);
    state.clip = rect;
    cairo_save(cr); // so the caller's state comes back when we are done
    baseMatrix = baseMatrixOf(cr);
    applyState();
}

CDrawContext::~CDrawContext()
{
    cairo_restore(cr);
    cairo_destroy(cr);
}

void CDrawContext::applyState()
{
    cairo_set_matrix(cr, &baseMatrix);
    cairo_reset_clip(cr);
    cairo_rectangle(cr, state.clip.left, state.clip.top, state.clip.getWidth(), state.clip.getHeight());
    cairo_clip(cr);
    cairo_translate(cr, state.offset.x, state.offset.y);
    cairo_set_antialias(cr, state.drawMode == kAliasing ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT);
}

void CDrawContext::setDrawMode(int32_t mode)
{
    state.drawMode = mode;
    cairo_set_antialias(cr, mode == kAliasing ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT);
}

void CDrawContext::setFont(const CFontRef font, const CCoord& size, const int32_t& style)
{
    if (!font)
        return;
    auto* f = new CFontDesc(font->getName(), size > 0 ? size : font->getSize(), style >= 0 ? style : font->getStyle());
    state.font.reset(f);
    f->forget();
}

void CDrawContext::setSourceColor(const CColor& c)
{
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0 * state.globalAlpha);
}

CCoord CDrawContext::strokeAlign() const
{
    // Odd line widths land on pixel centres; otherwise they blur over two pixels.
    const long w = std::lround(state.lineWidth);
    return (w % 2 == 1 && std::fabs(state.lineWidth - w) < 1e-9) ? 0.5 : 0;
}

void CDrawContext::finishShape(CDrawStyle style)
{
    cairo_set_line_width(cr, state.lineWidth);
    if (style == kDrawFilled || style == kDrawFilledAndStroked)
    {
        setSourceColor(state.fillColor);
        if (style == kDrawFilledAndStroked)
            cairo_fill_preserve(cr);
        else
            cairo_fill(cr);
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked)
    {
        setSourceColor(state.frameColor);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
}

void CDrawContext::drawLine(const CPoint& start, const CPoint& end)
{
    const CCoord a = strokeAlign();
    cairo_new_path(cr);
    cairo_move_to(cr, start.x + a, start.y + a);
    cairo_line_to(cr, end.x + a, end.y + a);
    finishShape(kDrawStroked);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style)
{
    cairo_new_path(cr);
    if (style == kDrawFilled)
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    else
    {
        // The stroke stays inside the rect, as the right/bottom edges are exclusive.
        const CCoord a = strokeAlign();
        cairo_rectangle(cr, rect.left + a, rect.top + a, rect.getWidth() - 2 * a, rect.getHeight() - 2 * a);
    }
    finishShape(style);
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style)
{
    CGraphicsPath path;
    path.addEllipse(rect);
    path.apply(cr);
    finishShape(style);
}

void CDrawContext::drawPolygon(const std::vector<CPoint>& points, CDrawStyle style)
{
    if (points.empty())
        return;
    cairo_new_path(cr);
    cairo_move_to(cr, points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].x, points[i].y);
    if (style != kDrawStroked)
        cairo_close_path(cr);
    finishShape(style);
}

void CDrawContext::drawString(const char* string, const CRect& rect, CHoriTxtAlign hAlign, bool antialias)
{
    if (!string || !*string || rect.isEmpty())
        return;
    CFontDesc* font = state.font.get();
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    cairo_set_font_face(cr, font->getFontFace());
    cairo_set_font_size(cr, font->getSize() > 0 ? font->getSize() : 12);
    if (!antialias)
    {
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
    }
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, string, &te);
    CCoord x = rect.left;
    if (hAlign == kCenterText)
        x = rect.left + (rect.getWidth() - te.x_advance) / 2;
    else if (hAlign == kRightText)
        x = rect.right - te.x_advance;
    const CCoord baseline = std::round(rect.top + rect.getHeight() / 2 + (fe.ascent - fe.descent) / 2);
    x = std::round(x);
    setSourceColor(state.fontColor);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, string);
    if (font->getStyle() & kUnderlineFace)
    {
        cairo_new_path(cr);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, x, baseline + 1.5);
        cairo_line_to(cr, x + te.x_advance, baseline + 1.5);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

CCoord CDrawContext::getStringWidth(const char* string)
{
    if (!string || !*string)
        return 0;
    CFontDesc* font = state.font.get();
    cairo_save(cr);
    cairo_set_font_face(cr, font->getFontFace());
    cairo_set_font_size(cr, font->getSize() > 0 ? font->getSize() : 12);
    cairo_text_extents_t te;
    cairo_text_extents(cr, string, &te);
    cairo_restore(cr);
    return te.x_advance;
}

CGraphicsPath* CDrawContext::createRoundRectGraphicsPath(const CRect& rect, CCoord radius)
{
    auto* path = new CGraphicsPath;
    path->addRoundRect(rect, radius);
    return path;
}

void CDrawContext::drawGraphicsPath(CGraphicsPath* path, PathDrawMode mode)
{
    if (!path)
        return;
    path->apply(cr);
    if (mode == kPathStroked)
    {
        finishShape(kDrawStroked);
        return;
    }
    cairo_set_fill_rule(cr, mode == kPathFilledEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    finishShape(kDrawFilled);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void CDrawContext::fillLinearGradient(CGraphicsPath* path, const CGradient& gradient, const CPoint& startPoint,
                                      const CPoint& endPoint, bool evenOdd)
{
    if (!path)
        return;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(startPoint.x, startPoint.y, endPoint.x, endPoint.y);
    for (const auto& stop : gradient.getColorStops())
        cairo_pattern_add_color_stop_rgba(pattern, stop.position, stop.color.red / 255.0, stop.color.green / 255.0,
                                          stop.color.blue / 255.0, stop.color.alpha / 255.0 * state.globalAlpha);
    path->apply(cr);
    cairo_set_fill_rule(cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_pattern_destroy(pattern);
}

void CDrawContext::setClipRect(const CRect& clip)
{
    state.clip = clip;
    state.clip.offset(state.offset);
    state.clip.normalize();
    state.clip.bound(surfaceRect);
    applyState();
}

CRect& CDrawContext::getClipRect(CRect& clip) const
{
    clip = state.clip;
    clip.offset(-state.offset.x, -state.offset.y);
    return clip;
}

void CDrawContext::resetClipRect()
{
    state.clip = surfaceRect;
    applyState();
}

void CDrawContext::saveGlobalState() { stack.push_back(state); }

void CDrawContext::restoreGlobalState()
{
    if (stack.empty())
        return;
    state = stack.back();
    stack.pop_back();
    applyState();
}

void CDrawContext::setOffset(const CPoint& offset)
{
    state.offset = offset;
    applyState();
}

} // namespace VSTGUI
