// Our vendor-specific requests, used by the command-line host:
// - kAuditionSelector, value 0, ptr a C string (a built-in display name, a
//   resource path or a sound file's path): while the plug-in is suspended it
//   replaces the rack with that one sound, played from the next block; it
//   answers 1 when the sound loaded.
// - kScreenshotSelector, value 0, ptr a C string path: writes the editor's
//   window, opened offscreen (a null parent to effEditOpen), as a PNG; it
//   answers 1 when the file was written.
#pragma once

#include "vst2/Vst2.h"

constexpr VstInt32 kAuditionSelector = vstFourCC('V', 'l', 'A', 'u');
constexpr VstInt32 kScreenshotSelector = vstFourCC('V', 'l', 'S', 'h');
