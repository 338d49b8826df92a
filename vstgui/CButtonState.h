// Mouse buttons, modifiers and the small enums shared by views and the platform layer.
#pragma once

#include <cstdint>

namespace VSTGUI {

enum CButton
{
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    kApple = 1 << 7,
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10
};

struct CButtonState
{
    int32_t state = 0;

    CButtonState(int32_t s = 0) : state(s) {}

    int32_t getButtonState() const { return state & (kLButton | kMButton | kRButton | kButton4 | kButton5); }
    int32_t getModifierState() const { return state & (kShift | kControl | kAlt | kApple); }
    bool isLeftButton() const { return (state & kLButton) != 0; }
    bool isRightButton() const { return (state & kRButton) != 0; }
    bool isDoubleClick() const { return (state & kDoubleClick) != 0; }
    int32_t operator&(int32_t mask) const { return state & mask; }
    bool operator==(int32_t s) const { return state == s; }
    bool operator!=(int32_t s) const { return state != s; }
    int32_t operator()() const { return state; }
};

enum CMouseEventResult
{
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
    kMouseMoveEventHandledButDontNeedMoreEvents
};

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };
enum CDrawModeFlags { kAliasing = 0, kAntiAliasing = 1 };
enum CDrawStyle { kDrawStroked = 0, kDrawFilled, kDrawFilledAndStroked };

enum CCursorType
{
    kCursorDefault = 0,
    kCursorWait,
    kCursorHSize,
    kCursorVSize,
    kCursorSizeAll,
    kCursorNESWSize,
    kCursorNWSESize,
    kCursorCopy,
    kCursorNotAllowed,
    kCursorHand
};

enum CKnobMode { kCircularMode = 0, kRelativCircularMode, kLinearMode };

} // namespace VSTGUI
