// What a frame knows of the plug-in editor that owns it.
#pragma once

#include "vstgui/CGeometry.h"

#include <cstdint>

namespace VSTGUI {

class CFrame;

class VSTGUIEditorInterface
{
public:
    virtual ~VSTGUIEditorInterface() {}
    virtual void doIdleStuff() {}
    virtual int32_t getKnobMode() const { return 0; }
    virtual bool beforeSizeChange(const CRect& /*newSize*/, const CRect& /*oldSize*/) { return true; }
    virtual void beginEdit(int32_t /*index*/) {}
    virtual void endEdit(int32_t /*index*/) {}
    CFrame* getFrame() const { return frame; }

protected:
    CFrame* frame = nullptr;
};

} // namespace VSTGUI
