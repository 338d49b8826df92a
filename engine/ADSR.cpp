#include "engine/ADSR.h"

#include <cmath>

ADSR::ADSR()
{
    setAttackRate(0);
    setDecayRate(0);
    setReleaseRate(0);
    setTargetRatioA(0.3f);
    setTargetRatioDR(0.0001f);
}

// A rate of 0 gives -infinity in the exponent and a coefficient of 0, so the
// stage completes in one step. A negative or NaN rate would make the stage
// diverge or poison the output, so it is treated as 0.
float ADSR::calcCoef(float rate, float ratio)
{
    if (!(rate > 0.0f))
        return 0.0f;
    return (float)std::exp(-std::log((1.0 + ratio) / ratio) / rate);
}

void ADSR::setAttackRate(float samples)
{
    attackRate = samples;
    attackCoef = calcCoef(samples, targetRatioA);
    attackBase = (1.0f + targetRatioA) * (1.0f - attackCoef);
}

void ADSR::setDecayRate(float samples)
{
    decayRate = samples;
    decayCoef = calcCoef(samples, targetRatioDR);
    decayBase = (sustainLevel - targetRatioDR) * (1.0f - decayCoef);
}

void ADSR::setReleaseRate(float samples)
{
    releaseRate = samples;
    releaseCoef = calcCoef(samples, targetRatioDR);
    releaseBase = -targetRatioDR * (1.0f - releaseCoef);
}

void ADSR::setSustainLevel(float level)
{
    sustainLevel = level;
    decayBase = (sustainLevel - targetRatioDR) * (1.0f - decayCoef);
}

void ADSR::setTargetRatioA(float ratio)
{
    if (ratio < 0.000000001f)
        ratio = 0.000000001f;
    targetRatioA = ratio;
    attackBase = (1.0f + targetRatioA) * (1.0f - attackCoef);
}

void ADSR::setTargetRatioDR(float ratio)
{
    if (ratio < 0.000000001f)
        ratio = 0.000000001f;
    targetRatioDR = ratio;
    decayBase = (sustainLevel - targetRatioDR) * (1.0f - decayCoef);
    releaseBase = -targetRatioDR * (1.0f - releaseCoef);
}
