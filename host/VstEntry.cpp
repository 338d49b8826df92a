// The plug-in's one exported symbol: hosts call it with their callback and
// get the record through which they drive the plug-in.
#include "core/AudioEffect.h"
#include "vst2/Vst2.h"

#include <new>

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    // A host that does not answer the version request is not a VST 2 host.
    if (!audioMaster || !audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0))
        return nullptr;
    // Nothing may unwind into the host.
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
