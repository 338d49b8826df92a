#include "vstgui/vstgui.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

TEST(CRect, PointInsideIncludesLeftTopOnly)
{
    const CRect r(10, 20, 30, 40);
    struct Case
    {
        CPoint p;
        bool inside;
    };
    for (const Case& c : {Case{{10, 20}, true}, Case{{29.9, 39.9}, true}, Case{{30, 30}, false},
                          Case{{20, 40}, false}, Case{{9.9, 25}, false}, Case{{15, 19.9}, false}})
        EXPECT_EQ(r.pointInside(c.p), c.inside) << c.p.x << "," << c.p.y;
}

TEST(CRect, BoundUniteOverlap)
{
    struct Case
    {
        CRect a, b;
        bool overlap;
        CRect bound, unite;
    };
    const Case cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, true, {5, 5, 10, 10}, {0, 0, 15, 15}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {10, 0, 10, 10}, {0, 0, 20, 10}},
        {{0, 0, 10, 10}, {20, 20, 30, 30}, false, {20, 20, 20, 20}, {0, 0, 30, 30}},
        {{0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}, {0, 0, 10, 10}},
        {{0, 0, 0, 0}, {2, 3, 4, 5}, false, {2, 3, 2, 3}, {2, 3, 4, 5}},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.a.rectOverlap(c.b), c.overlap);
        CRect b(c.a), u(c.a);
        b.bound(c.b);
        u.unite(c.b);
        EXPECT_EQ(b.isEmpty(), !c.overlap);
        if (c.overlap)
        {
            EXPECT_EQ(b, c.bound);
        }
        EXPECT_EQ(u, c.unite);
    }
}

TEST(CRect, Arithmetic)
{
    CRect r(CPoint(1, 2), CPoint(10, 20));
    EXPECT_EQ(r, CRect(1, 2, 11, 22));
    EXPECT_EQ(r.getSize(), CPoint(10, 20));
    r.moveTo(5, 5);
    EXPECT_EQ(r, CRect(5, 5, 15, 25));
    r.inset(2, 3);
    EXPECT_EQ(r, CRect(7, 8, 13, 22));
    r.offset(CPoint(-7, -8));
    EXPECT_EQ(r.getTopLeft(), CPoint(0, 0));
    CRect n(10, 10, 0, 0);
    EXPECT_EQ(n.normalize(), CRect(0, 0, 10, 10));
    CRect f(0.5, 1.2, 9.1, 9.9);
    EXPECT_EQ(f.makeIntegral(), CRect(0, 1, 10, 10));
}

TEST(CButtonState, SplitsButtonsFromModifiers)
{
    struct Case
    {
        int32_t state, buttons, modifiers;
        bool left, right, doubleClick;
    };
    const Case cases[] = {
        {kLButton, kLButton, 0, true, false, false},
        {kRButton | kShift, kRButton, kShift, false, true, false},
        {kLButton | kDoubleClick | kControl | kAlt, kLButton, kControl | kAlt, true, false, true},
        {kApple | kButton4 | kButton5 | kMButton, kButton4 | kButton5 | kMButton, kApple, false, false, false},
        {0, 0, 0, false, false, false},
    };
    for (const Case& c : cases)
    {
        const CButtonState b(c.state);
        EXPECT_EQ(b.getButtonState(), c.buttons);
        EXPECT_EQ(b.getModifierState(), c.modifiers);
        EXPECT_EQ(b.isLeftButton(), c.left);
        EXPECT_EQ(b.isRightButton(), c.right);
        EXPECT_EQ(b.isDoubleClick(), c.doubleClick);
        EXPECT_TRUE(b == c.state);
        EXPECT_EQ(b(), c.state);
        EXPECT_EQ(b & kShift, c.state & kShift);
    }
}
