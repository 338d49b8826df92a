// Points and rectangles in double coordinates.
#pragma once

#include <algorithm>
#include <cmath>

namespace VSTGUI {

using CCoord = double;

struct CPoint
{
    CCoord x = 0, y = 0;

    CPoint() = default;
    CPoint(CCoord x_, CCoord y_) : x(x_), y(y_) {}

    CPoint& offset(CCoord dx, CCoord dy)
    {
        x += dx;
        y += dy;
        return *this;
    }
    CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
    CPoint& operator+=(const CPoint& o) { return offset(o.x, o.y); }
    CPoint& operator-=(const CPoint& o) { return offset(-o.x, -o.y); }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CRect
{
    CCoord left = 0, top = 0, right = 0, bottom = 0;

    CRect() = default;
    CRect(CCoord l, CCoord t, CCoord r, CCoord b) : left(l), top(t), right(r), bottom(b) {}
    CRect(const CPoint& origin, const CPoint& size)
        : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y)
    {
    }

    CCoord getWidth() const { return right - left; }
    CCoord getHeight() const { return bottom - top; }
    CRect& setWidth(CCoord w)
    {
        right = left + w;
        return *this;
    }
    CRect& setHeight(CCoord h)
    {
        bottom = top + h;
        return *this;
    }
    CPoint getTopLeft() const { return {left, top}; }
    CPoint getSize() const { return {getWidth(), getHeight()}; }
    CPoint getCenter() const { return {(left + right) / 2, (top + bottom) / 2}; }

    CRect& offset(CCoord dx, CCoord dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect& offset(const CPoint& p) { return offset(p.x, p.y); }
    CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
    CRect& moveTo(const CPoint& p) { return moveTo(p.x, p.y); }
    CRect& inset(CCoord dx, CCoord dy)
    {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
        return *this;
    }
    CRect& extend(CCoord dx, CCoord dy) { return inset(-dx, -dy); }
    // Intersection; an empty result collapses to a zero-size rect.
    CRect& bound(const CRect& o)
    {
        left = std::max(left, o.left);
        top = std::max(top, o.top);
        right = std::min(right, o.right);
        bottom = std::min(bottom, o.bottom);
        if (right < left)
            right = left;
        if (bottom < top)
            bottom = top;
        return *this;
    }
    CRect& unite(const CRect& o)
    {
        if (o.isEmpty())
            return *this;
        if (isEmpty())
            return *this = o;
        left = std::min(left, o.left);
        top = std::min(top, o.top);
        right = std::max(right, o.right);
        bottom = std::max(bottom, o.bottom);
        return *this;
    }
    bool pointInside(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool rectOverlap(const CRect& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    CRect& normalize()
    {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
        return *this;
    }
    // Grows outwards to whole pixels.
    CRect& makeIntegral()
    {
        left = std::floor(left);
        top = std::floor(top);
        right = std::ceil(right);
        bottom = std::ceil(bottom);
        return *this;
    }
    bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

} // namespace VSTGUI
