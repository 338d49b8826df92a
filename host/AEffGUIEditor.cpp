#include "host/AEffGUIEditor.h"

#include "cf/Bundle.h"
#include "core/AudioEffectX.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace VSTGUI {
PluginBundle* gBundleRef = nullptr;
}

int32_t AEffGUIEditor::knobMode = 0;

namespace {

// Ticks of 1/60 second since an arbitrary start, as a 32-bit counter.
uint32_t tickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return (uint32_t)((uint64_t)ms * 60u / 1000u);
}

uint32_t systemTicks()
{
    // Multiplied before dividing, in 32 bits: the product wraps first.
    return tickCount() * 1000u / 60u;
}

AEffGUIEditor::TickSource ticks = systemTicks;

} // namespace

AEffGUIEditor::AEffGUIEditor(void* e) : AEffEditor(static_cast<AudioEffect*>(e))
{
    parentWindow = nullptr;
    frame = nullptr;
    inMasterIdle = false;
    if (effect)
        effect->setEditor(this);
    nextIdleTime = getTicks();
    // Each editor replaces the process-wide bundle with its own.
    delete VSTGUI::gBundleRef;
    VSTGUI::gBundleRef = GetPluginBundle();
    if (VSTGUI::gBundleRef)
        VSTGUI::setResourceDirectory(VSTGUI::gBundleRef->directory + "/Contents/Resources");
}

AEffGUIEditor::~AEffGUIEditor()
{
    delete VSTGUI::gBundleRef;
    VSTGUI::gBundleRef = nullptr;
}

uint32_t AEffGUIEditor::getTicks() { return ticks(); }

void AEffGUIEditor::setTickSource(TickSource source) { ticks = source ? source : systemTicks; }

void AEffGUIEditor::wait(unsigned int ms)
{
    if (frame && frame->getPlatformFrame())
        frame->getPlatformFrame()->processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool AEffGUIEditor::getRect(ERect** out)
{
    if (out)
        *out = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parent)
{
    AEffEditor::open(parent);
    return false; // the derived editor builds its frame and answers for itself
}

void AEffGUIEditor::idle()
{
    if (inMasterIdle || !frame)
        return;
    frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) { return frame && frame->onKeyDown(key) > 0; }

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) { return frame && frame->onKeyUp(key) > 0; }

bool AEffGUIEditor::onWheel(float distance)
{
    if (!frame)
        return false;
    VSTGUI::CPoint where(0, 0);
    frame->getCurrentMouseLocation(where);
    return frame->onWheel(where, distance, frame->getCurrentMouseButtons());
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode)
{
    knobMode = mode;
    return true;
}

void AEffGUIEditor::draw(ERect* r)
{
    if (!frame)
        return;
    VSTGUI::CRect update = frame->getViewSize();
    if (r) {
        update.left = r->left < r->right ? r->left : r->right;
        update.right = r->left < r->right ? r->right : r->left;
        update.top = r->top < r->bottom ? r->top : r->bottom;
        update.bottom = r->top < r->bottom ? r->bottom : r->top;
    }
    if (VSTGUI::CDrawContext* context = frame->createDrawContext()) {
        frame->drawRect(context, update);
        context->forget();
    }
}

void AEffGUIEditor::doIdleStuff()
{
    uint32_t now = getTicks();
    if (now < nextIdleTime) {
        wait(4);
        now += 4;
        if (now < nextIdleTime - 50)
            return;
    }
    idle();
    nextIdleTime = now + 100;
    inMasterIdle = true;
    if (effect)
        effect->masterIdle();
    inMasterIdle = false;
}

bool AEffGUIEditor::beforeSizeChange(const VSTGUI::CRect& newSize, const VSTGUI::CRect&)
{
    auto* plugin = static_cast<AudioEffectX*>(effect);
    char sizeWindow[] = "sizeWindow";
    if (plugin && plugin->canHostDo(sizeWindow) == 1)
        return plugin->sizeWindow((VstInt32)(newSize.right - newSize.left), (VstInt32)(newSize.bottom - newSize.top));
    return true;
}

void AEffGUIEditor::beginEdit(int32_t index)
{
    if (effect)
        static_cast<AudioEffectX*>(effect)->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index)
{
    if (effect)
        static_cast<AudioEffectX*>(effect)->endEdit(index);
}

PluginBundle* GetPluginBundle()
{
    const std::string modulePath = cf::modulePathForAddress(reinterpret_cast<const void*>(&GetPluginBundle));
    if (modulePath.empty())
        return nullptr;
    const std::string directory = cf::bundleDirectoryFromModulePath(modulePath);
    if (directory.empty()) {
        std::printf("Could not determine bundle location.\n");
        return nullptr;
    }
    return new PluginBundle{directory};
}
