// The root container: owns the platform window and routes its events to the views.
#pragma once

#include "vstgui/CViewContainer.h"
#include "vstgui/PlatformFrame.h"

namespace VSTGUI {

class OffscreenFrame;
class VSTGUIEditorInterface;

class CFrame : public CViewContainer, public IPlatformFrameCallbacks
{
public:
    enum class PlatformType { kX11EmbedWindowID, kOffscreen };

    // The frame sits at the window's origin whatever the rect's position.
    CFrame(const CRect& size, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    // `parent` is the X11 Window id cast to void*; ignored offscreen.
    bool open(void* parent, PlatformType type = PlatformType::kX11EmbedWindowID);
    void close();
    bool isOpen() const { return platform != nullptr; }

    VSTGUIEditorInterface* getEditor() const { return editor; }
    // Fires due timers, then lets the platform drain its events and redraw.
    bool idle();

    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

    bool getCurrentMouseLocation(CPoint& where) const;
    CButtonState getCurrentMouseButtons() const;

    CDrawContext* createDrawContext();
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void invalidRect(const CRect& rect) override;
    void setCursor(CCursorType type);
    bool setSize(CCoord width, CCoord height);

    IPlatformFrame* getPlatformFrame() const { return platform; }
    OffscreenFrame* getOffscreen() const { return offscreen; }

    void setFocusView(CView* view);
    CView* getFocusView() const { return focusView; }

    // Tracks the pointer until the button goes up and drops on the view there. On X11 this returns
    // when the drag is over; offscreen it returns kDragRefused at once and the next synthetic mouse
    // events move and drop it (getLastDragResult() tells the outcome).
    DragResult doDrag(IDataPackage* source, const CPoint& offset = CPoint(0, 0), CBitmap* dragBitmap = nullptr);
    bool isDragging() const { return drag.active; }
    DragResult getLastDragResult() const { return lastDragResult; }

    bool isTypeOf(const char* name) const override;

    // IPlatformFrameCallbacks
    void platformDrawRect(CDrawContext* context, const CRect& rect) override;
    CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult platformOnMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool platformOnMouseWheel(const CPoint& where, float distance, const CButtonState& buttons) override;
    int32_t platformOnKeyDown(VstKeyCode& key) override;
    int32_t platformOnKeyUp(VstKeyCode& key) override;
    bool platformOnDragEnter(IDataPackage* drag, const CPoint& where) override;
    bool platformOnDragMove(IDataPackage* drag, const CPoint& where) override;
    void platformOnDragLeave(IDataPackage* drag, const CPoint& where) override;
    bool platformOnDrop(IDataPackage* drag, const CPoint& where) override;

private:
    struct DragSession
    {
        bool active = false;
        bool inside = false;
        SharedPointer<IDataPackage> data;
        SharedPointer<CBitmap> bitmap;
        CPoint offset;
        CPoint position;
    };

    void dragTo(const CPoint& where);
    void finishDrag(const CPoint& where, bool dropIt);
    CRect dragBitmapRect() const;
    bool hasTargetAt(const CPoint& where) const;

    VSTGUIEditorInterface* editor;
    IPlatformFrame* platform = nullptr;
    OffscreenFrame* offscreen = nullptr;
    CView* focusView = nullptr;
    CCursorType cursor = kCursorDefault;
    DragSession drag;
    DragResult lastDragResult = kDragRefused;
};

} // namespace VSTGUI
