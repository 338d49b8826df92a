// Our one vendor-specific request, used by the command-line host to audition
// a sound: effVendorSpecific with this index and value 0, ptr a C string (a
// built-in display name, a resource path or a sound file's path). While the
// plug-in is suspended it replaces the rack with that one sound, played from
// the next block; it answers 1 when the sound loaded.
#pragma once

#include "vst2/Vst2.h"

constexpr VstInt32 kAuditionSelector = vstFourCC('V', 'l', 'A', 'u');
