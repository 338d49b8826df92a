// Small fixtures shared by the tests: a plug-in without a host, instruments
// made from inline sample data, and MIDI event lists.
#pragma once

#include "core/Volantor2.h"
#include "engine/Instrument.h"
#include "engine/Rack.h"
#include "engine/Sample.h"
#include "engine/Voice.h"

#include <memory>
#include <vector>

namespace test {

// Sample data owned by the test; a sample never owns its buffers. The last
// value is the guard after the last frame.
struct SampleData
{
    std::vector<float> left, right;
};

inline std::vector<float> ramp(int frames)
{
    std::vector<float> v(frames + 1);
    for (int i = 0; i <= frames; ++i)
        v[i] = (float)((i % 200) - 100) / 128.f;
    return v;
}

// An instrument playing `data` (mono, or stereo when right is not empty) as its sample.
inline Instrument* makeInstrument(Volantor2& synth, SampleData& data)
{
    auto* instrument = new Instrument(synth.getRenderBlockSize(), (int)synth.getSampleRate());
    auto* sample = new Sample();
    sample->loadFromHeader(data.left.data(), (int)data.left.size(), 0);
    if (!data.right.empty())
        sample->loadFromHeader(data.right.data(), (int)data.right.size(), 1);
    instrument->addSample(sample, true);
    return instrument;
}

inline Sample* sampleOf(Instrument* instrument) { return instrument->getSample(0); }

// A plug-in with no host, an empty rack, neutral velocity (every velocity
// plays at 1.0) and the given block size.
inline std::unique_ptr<Volantor2> makeSynth(int blockSize = 256)
{
    std::unique_ptr<Volantor2> synth(new Volantor2(nullptr));
    synth->getRack(0)->clear();
    synth->setSampleRate(44100.f);
    synth->setBlockSize(blockSize);
    synth->currentProgram().velocitySensitivity = 0.f;
    return synth;
}

struct Block
{
    std::vector<float> left, right;
    explicit Block(int frames) : left(frames, 0.f), right(frames, 0.f) {}
};

inline Block render(Volantor2& synth, int frames)
{
    Block b(frames);
    float* outputs[2] = {b.left.data(), b.right.data()};
    synth.processReplacing(nullptr, outputs, frames);
    return b;
}

// A list of MIDI events in the layout hosts hand over.
class MidiList
{
public:
    MidiList& add(int status, int d1, int d2, int delta = 0)
    {
        VstMidiEvent e{};
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = delta;
        e.midiData[0] = (char)status;
        e.midiData[1] = (char)d1;
        e.midiData[2] = (char)d2;
        events.push_back(e);
        return *this;
    }

    VstEvents* get()
    {
        storage.assign(sizeof(VstEvents) + events.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = (VstInt32)events.size();
        for (size_t i = 0; i < events.size(); ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        return list;
    }

private:
    std::vector<VstMidiEvent> events;
    std::vector<char> storage;
};

} // namespace test
