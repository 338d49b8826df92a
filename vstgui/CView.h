// The base of everything drawn in a frame.
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CBitmap.h"
#include "vstgui/CButtonState.h"
#include "vstgui/CColor.h"
#include "vstgui/CGeometry.h"
#include "vst2/Vst2.h"

namespace VSTGUI {

class CDrawContext;
class CFrame;
class CViewContainer;
class IDataPackage;

enum DragResult { kDragRefused = 0, kDragMoved, kDragCopied, kDragError };

// A view's size is in its parent's coordinates, and so are the mouse positions it is given.
class CView : public CBaseObject
{
public:
    CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);

    virtual bool onDrop(IDataPackage* drag, const CPoint& where);
    virtual void onDragEnter(IDataPackage* drag, const CPoint& where);
    virtual void onDragLeave(IDataPackage* drag, const CPoint& where);
    virtual void onDragMove(IDataPackage* drag, const CPoint& where);
    // A drag inside our own frame; see CFrame::doDrag.
    DragResult doDrag(IDataPackage* source, const CPoint& offset = CPoint(0, 0), CBitmap* dragBitmap = nullptr);

    virtual void setDirty(bool state = true);
    bool isDirty() const { return dirty; }
    void invalid() { invalidRect(size); }
    // `rect` is in the same coordinates as the view's size.
    virtual void invalidRect(const CRect& rect);

    virtual void setViewSize(const CRect& rect, bool invalid = true);
    const CRect& getViewSize() const { return size; }
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    const CRect& getMouseableArea() const { return mouseableArea; }
    CRect& getMouseableArea(CRect& rect) const { return rect = mouseableArea; }

    virtual void setVisible(bool state);
    bool isVisible() const { return visible; }
    virtual void setTransparency(bool state) { transparent = state; }
    bool getTransparency() const { return transparent; }
    virtual void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }

    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    CFrame* getFrame() const { return frame; }
    CView* getParentView() const { return parentView; }
    bool isAttached() const { return frame != nullptr; }

    // Plain views: from parent coordinates; containers: from their children's coordinates.
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual CPoint& frameToLocal(CPoint& point) const;

    virtual bool attached(CView* parent);
    virtual bool removed(CView* parent);
    virtual bool isTypeOf(const char* name) const;
    virtual CView* newCopy() const { return nullptr; }
    virtual void looseFocus() {}
    virtual void takeFocus() {}

protected:
    friend class CViewContainer;

    CRect size;
    CRect mouseableArea;
    CView* parentView = nullptr;
    CFrame* frame = nullptr;
    CBitmap* background = nullptr;
    bool dirty = false;
    bool visible = true;
    bool transparent = false;
    bool mouseEnabled = true;
};

} // namespace VSTGUI
