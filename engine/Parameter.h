// One named parameter of an instrument or the delay. Range, start and default
// only serve the editor's knobs, which show (int)(value * range) + start.
#pragma once

#include <string>

struct Parameter
{
    int range = 100;
    int start = 0;
    int defaultValue = 0;
    float value = 0.f;
    std::string name = "default";
};
