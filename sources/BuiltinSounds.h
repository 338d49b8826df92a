// Sound arrays compiled into the plug-in: little-endian 32-bit floats at
// 44100 Hz, made at build time by the sound generator and used in place.
#pragma once

extern "C" {
// The fallback sound every new instrument holds.
extern const float coinData[];
}

constexpr int kCoinLength = 20108;
