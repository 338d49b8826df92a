// One named parameter of an instrument or the delay. Range, start and default
// only serve the editor's knobs, which show (int)(value * range) + start.
#pragma once

#include "engine/SharedValue.h"

#include <string>

struct Parameter
{
    // Set by hosts and the editor from their threads (the delay's sync
    // switch changes its time knob's range).
    SharedInt range = 100;
    SharedInt start = 0;
    int defaultValue = 0;
    SharedFloat value = 0.f;
    std::string name = "default";
};
