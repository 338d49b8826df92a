// A view holding child views, drawn and given events front (last added) to back.
#pragma once

#include "vstgui/CView.h"

#include <vector>

namespace VSTGUI {

class CViewContainer : public CView
{
public:
    CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Takes over the caller's reference.
    virtual bool addView(CView* view);
    virtual bool addView(CView* view, CView* before);
    virtual bool removeView(CView* view, bool withForget = true);
    virtual bool removeAll(bool withForget = true);
    bool isChild(CView* view) const;
    int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
    CView* getView(int32_t index) const;
    // `where` is in the container's own (parent) coordinates; the front-most visible child there.
    CView* getViewAt(const CPoint& where) const;

    void setBackgroundColor(const CColor& color);
    const CColor& getBackgroundColor() const { return backgroundColor; }
    void setBackgroundOffset(const CPoint& offset) { backgroundOffset = offset; }
    const CPoint& getBackgroundOffset() const { return backgroundOffset; }

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;

    bool onDrop(IDataPackage* drag, const CPoint& where) override;
    void onDragEnter(IDataPackage* drag, const CPoint& where) override;
    void onDragLeave(IDataPackage* drag, const CPoint& where) override;
    void onDragMove(IDataPackage* drag, const CPoint& where) override;

    CPoint& localToFrame(CPoint& point) const override;
    CPoint& frameToLocal(CPoint& point) const override;

    bool attached(CView* parent) override;
    bool removed(CView* parent) override;
    bool isTypeOf(const char* name) const override;

    // Forgets which children hold the mouse, without telling them.
    void releaseMouseCapture();
    CView* getMouseDownView() const { return mouseDownView; }

protected:
    // Visible, mouse-enabled child whose mouseable area holds `local`, front first.
    CView* mouseTargetAt(const CPoint& local) const;
    void updateHover(const CPoint& local, const CButtonState& buttons);
    // Offers a key to the children front first, until one answers other than -1.
    int32_t dispatchKey(VstKeyCode& keyCode, int32_t (CView::*handler)(VstKeyCode&));

    std::vector<CView*> children;
    CColor backgroundColor = kBlackCColor;
    CPoint backgroundOffset;
    CView* mouseDownView = nullptr;
    CView* mouseOverView = nullptr;
    CView* dragView = nullptr;
};

} // namespace VSTGUI
