// What a window system provides to a frame, and what the frame offers back.
#pragma once

#include "vstgui/CButtonState.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CGeometry.h"
#include "vstgui/IDataPackage.h"
#include "vst2/Vst2.h"

namespace VSTGUI {

class IPlatformFrameCallbacks // implemented by CFrame
{
public:
    virtual ~IPlatformFrameCallbacks() = default;
    virtual void platformDrawRect(CDrawContext* context, const CRect& rect) = 0;
    virtual CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) = 0;
    virtual CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) = 0;
    virtual bool platformOnMouseWheel(const CPoint& where, float distance, const CButtonState& buttons) = 0;
    virtual int32_t platformOnKeyDown(VstKeyCode& key) = 0;
    virtual int32_t platformOnKeyUp(VstKeyCode& key) = 0;
    virtual bool platformOnDragEnter(IDataPackage* drag, const CPoint& where) = 0; // true: accepted (show copy cursor)
    virtual bool platformOnDragMove(IDataPackage* drag, const CPoint& where) = 0;
    virtual void platformOnDragLeave(IDataPackage* drag, const CPoint& where) = 0;
    virtual bool platformOnDrop(IDataPackage* drag, const CPoint& where) = 0;
};

class IPlatformFrame
{
public:
    virtual ~IPlatformFrame() = default;
    virtual void invalidRect(const CRect& rect) = 0; // frame coordinates
    virtual void processEvents() = 0;                // drain window events, then redraw the invalid region
    virtual bool getCurrentMousePosition(CPoint& where) const = 0;
    virtual bool getCurrentMouseButtons(CButtonState& buttons) const = 0;
    virtual void setMouseCursor(CCursorType type) = 0;
    virtual bool setSize(const CRect& size) = 0;
    virtual CDrawContext* createDrawContext() = 0; // may return null
    virtual void* getPlatformHandle() const = 0;   // X11: the child Window id
};

} // namespace VSTGUI
