// A frame's window drawn into a cairo image: headless tests and screenshots.
#pragma once

#include "vstgui/PlatformFrame.h"

#include <string>
#include <vector>

namespace VSTGUI {

class OffscreenFrame : public IPlatformFrame
{
public:
    OffscreenFrame(IPlatformFrameCallbacks* callbacks, const CRect& size);
    ~OffscreenFrame() override;

    void invalidRect(const CRect& rect) override;
    // There are no window events: redraws what was invalidated.
    void processEvents() override;
    bool getCurrentMousePosition(CPoint& where) const override;
    bool getCurrentMouseButtons(CButtonState& buttons) const override;
    void setMouseCursor(CCursorType type) override { cursor = type; }
    bool setSize(const CRect& size) override;
    CDrawContext* createDrawContext() override;
    void* getPlatformHandle() const override { return nullptr; }

    // test and screenshot helpers
    void render(); // redraws everything into the image surface
    bool writePNG(const std::string& path);
    cairo_surface_t* getSurface() { return surface; }
    uint32_t pixel(int x, int y); // ARGB32 value
    CMouseEventResult mouseDown(CPoint where, CButtonState buttons); // synthetic events, window coordinates;
    CMouseEventResult mouseMoved(CPoint where, CButtonState buttons); // they also update what
    CMouseEventResult mouseUp(CPoint where, CButtonState buttons);    // getCurrentMousePosition/Buttons answer
    CMouseEventResult mouseExited(CPoint where);
    bool wheel(CPoint where, float distance, CButtonState buttons = 0);
    int32_t keyDown(VstKeyCode key);
    int32_t keyUp(VstKeyCode key);
    bool dropFiles(const std::vector<std::string>& paths, CPoint where); // enter, move, drop
    bool dropText(const std::string& text, CPoint where);

    CCursorType getCursor() const { return cursor; }
    const std::vector<CRect>& getInvalidRects() const { return invalidRects; }

private:
    bool drop(IDataPackage* package, CPoint where);

    IPlatformFrameCallbacks* callbacks;
    CRect bounds;
    cairo_surface_t* surface = nullptr;
    std::vector<CRect> invalidRects;
    CPoint mousePosition;
    CButtonState mouseButtons;
    CCursorType cursor = kCursorDefault;
};

} // namespace VSTGUI
