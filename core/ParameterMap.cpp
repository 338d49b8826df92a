// The 768 host parameters. Nothing is cached here: each index is decoded on
// every call and its value lives in the object it belongs to. The calls take
// no lock; the rack they read stays alive while they run (see ReadGate).
#include "core/Volantor2.h"

#include "editor/Volantor2Editor.h"
#include "engine/Instrument.h"
#include "engine/Rack.h"
#include "engine/Sample.h"

#include <cstdio>

namespace {

constexpr int kInstrumentFirst = 0;
constexpr int kInstrumentLast = 511;
constexpr int kPerInstrument = Instrument::kParameterCount;
constexpr int kDelayFirst = 512;
constexpr int kDelayLast = 519;
constexpr int kGlobalFirst = 576;
constexpr int kGlobalLast = 579;
constexpr int kPhaserFirst = 580;
constexpr int kPhaserLast = 587;
constexpr int kLoopFirst = 640;
constexpr int kLoopLast = 703;
constexpr int kPointsPerSlot = 4;
constexpr int kSelectedInstrument = 704;
constexpr int kLastIndex = 767;

// Hosts give more room than the 8 characters the interface promises; our
// longest name ("#16 interpolate") needs 15 plus the terminator.
constexpr size_t kNameBytes = 16;
constexpr int kDisplayChars = 8;

const char* const kGlobalNames[] = {"Master Vol", "Master Tun", "Vel. Sens.", "pb range"};
SharedFloat Program::* const kGlobalFields[] = {&Program::masterVolume, &Program::masterTune,
                                                &Program::velocitySensitivity, &Program::pitchBendRange};
const char* const kPhaserNames[] = {"Phaser on", "Phaser dpth", "Phaser fdbk", "Phaser rate", "Phaser dry/wet"};
const char* const kPointNames[] = {"Loop Start", "Loop End", "Start play", "reserved"};

bool inRange(int index, int first, int last) { return index >= first && index <= last; }

// Values from hosts can be anything; tables and envelopes downstream expect 0..1.
float unitClamped(float value)
{
    if (!(value >= 0.f))
        return 0.f;
    return value > 1.f ? 1.f : value;
}

Instrument* instrumentAt(Rack* rack, int slot) { return rack ? rack->getInstrumentAt(slot) : nullptr; }

// The sample whose loop points a loop-block index addresses, or null when the
// slot is empty or its instrument takes no loop points.
Sample* loopSampleAt(Rack* rack, int index)
{
    Instrument* instrument = instrumentAt(rack, (index - kLoopFirst) / kPointsPerSlot);
    if (!instrument || instrument->getSourceKind() == Instrument::kBuiltinFixed)
        return nullptr;
    return instrument->peekSample();
}

// Frame position of point 0..2; -1 for the reserved point.
int pointPosition(const Sample& sample, int point)
{
    switch (point) {
    case 0: return sample.getLoopStart();
    case 1: return sample.getLoopEnd();
    case 2: return sample.getStartPlay();
    default: return -1;
    }
}

void writeText(char* text, size_t bytes, const char* value)
{
    if (text)
        std::snprintf(text, bytes, "%s", value);
}

} // namespace

void Volantor2::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index > kLastIndex)
        return;
    ReadGate::Reader call(parameterCalls);
    value = unitClamped(value);
    Rack* rack = getRack(0);

    if (inRange(index, kDelayFirst, kDelayLast))
        delay.setParameter(index - kDelayFirst, value);

    if (inRange(index, kInstrumentFirst, kInstrumentLast)) {
        Instrument* instrument = instrumentAt(rack, index / kPerInstrument);
        if (!instrument)
            return;
        instrument->setParameter(index % kPerInstrument, value);
    }

    if (inRange(index, kGlobalFirst, kGlobalLast))
        currentProgram().*kGlobalFields[index - kGlobalFirst] = value;

    if (inRange(index, kPhaserFirst, kPhaserLast)) {
        currentProgram().phaser.setParameter(index - kPhaserFirst, value);
        switch (index - kPhaserFirst) {
        case 1: phaser.setDepth(value); break;
        case 2: phaser.setFeedback(value); break;
        // The rate is defined at 44100 Hz whatever the host's rate.
        case 3: phaser.setRate(value / 44100.f * 6.28318f); break;
        case 4: phaserMix = value; break;
        default: break;
        }
    }

    if (inRange(index, kLoopFirst, kLoopLast)) {
        if (!instrumentAt(rack, (index - kLoopFirst) / kPointsPerSlot))
            return;
        if (Sample* sample = loopSampleAt(rack, index)) {
            const int position = (int)((float)sample->getFrames() * value);
            switch (index % kPointsPerSlot) {
            case 0: sample->setLoopStart(position); break;
            case 1: sample->setLoopEnd(position); break;
            case 2: sample->setStartPlay(position); break;
            default: break;
            }
        }
    }

    if (index == kSelectedInstrument)
        currentProgram().selectedInstrument = value;

    notifyEditorOfParameter(index, value);
}

float Volantor2::getParameter(VstInt32 index)
{
    ReadGate::Reader call(parameterCalls);
    Rack* rack = getRack(0);
    if (inRange(index, kInstrumentFirst, kInstrumentLast)) {
        Instrument* instrument = instrumentAt(rack, index / kPerInstrument);
        const int k = index % kPerInstrument;
        return (instrument && k < instrument->getParameterCount()) ? instrument->getParameterRecord(k).value.load() : 0.f;
    }
    if (inRange(index, kDelayFirst, kDelayLast))
        return delay.getParameter(index - kDelayFirst);
    if (inRange(index, kGlobalFirst, kGlobalLast))
        return currentProgram().*kGlobalFields[index - kGlobalFirst];
    if (inRange(index, kPhaserFirst, kPhaserLast))
        return currentProgram().phaser.values[index - kPhaserFirst];
    if (inRange(index, kLoopFirst, kLoopLast)) {
        const Sample* sample = loopSampleAt(rack, index);
        const int position = sample ? pointPosition(*sample, index % kPointsPerSlot) : -1;
        // An empty sample has no positions to express as a fraction.
        if (position < 0 || sample->getFrames() <= 0)
            return 0.f;
        return (float)position / (float)sample->getFrames();
    }
    if (index == kSelectedInstrument)
        return currentProgram().selectedInstrument;
    return 0.f;
}

void Volantor2::getParameterName(VstInt32 index, char* text)
{
    if (!text)
        return;
    ReadGate::Reader call(parameterCalls);
    Rack* rack = getRack(0);
    text[0] = 0;
    if (inRange(index, kInstrumentFirst, kInstrumentLast)) {
        const int slot = index / kPerInstrument;
        const int k = index % kPerInstrument;
        Instrument* instrument = instrumentAt(rack, slot);
        if (instrument && k < instrument->getParameterCount())
            std::snprintf(text, kNameBytes, "#%d %s", slot + 1, instrument->getParameterRecord(k).name.c_str());
    } else if (inRange(index, kDelayFirst, kDelayLast)) {
        const int k = index - kDelayFirst;
        if (k < delay.getParameterCount())
            std::snprintf(text, kNameBytes, "dly %s", delay.getParameterRecord(k).name.c_str());
    } else if (inRange(index, kGlobalFirst, kGlobalLast)) {
        writeText(text, kNameBytes, kGlobalNames[index - kGlobalFirst]);
    } else if (index >= kPhaserFirst && index - kPhaserFirst < (int)(sizeof(kPhaserNames) / sizeof(*kPhaserNames))) {
        writeText(text, kNameBytes, kPhaserNames[index - kPhaserFirst]);
    } else if (inRange(index, kLoopFirst, kLoopLast)) {
        if (loopSampleAt(rack, index))
            std::snprintf(text, kNameBytes, "#%d %s", (index - kLoopFirst) / kPointsPerSlot + 1,
                          kPointNames[index % kPointsPerSlot]);
    }
}

void Volantor2::getParameterDisplay(VstInt32 index, char* text)
{
    if (!text)
        return;
    ReadGate::Reader call(parameterCalls);
    Rack* rack = getRack(0);
    writeText(text, kDisplayChars + 1, "reserved");
    if (inRange(index, kInstrumentFirst, kInstrumentLast)) {
        if (instrumentAt(rack, index / kPerInstrument))
            float2string(getParameter(index), text, kDisplayChars);
    } else if (inRange(index, kDelayFirst, kDelayLast)) {
        if (index - kDelayFirst < delay.getParameterCount())
            float2string(getParameter(index), text, kDisplayChars);
    } else if (inRange(index, kGlobalFirst, kPhaserLast) || index == kSelectedInstrument) {
        float2string(getParameter(index), text, kDisplayChars);
    } else if (inRange(index, kLoopFirst, kLoopLast)) {
        if (const Sample* sample = loopSampleAt(rack, index)) {
            const int position = pointPosition(*sample, index % kPointsPerSlot);
            if (position >= 0)
                int2string(position, text, kDisplayChars);
        }
    }
}

void Volantor2::getParameterLabel(VstInt32, char* text)
{
    if (text)
        text[0] = 0;
}

// The editor's control whose tag is the index follows the value.
void Volantor2::notifyEditorOfParameter(int index, float value)
{
    if (editor)
        editor->setParameter(index, value);
}
