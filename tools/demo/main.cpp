// Plays a short phrase through a Volantor2 object and writes it to a WAV file.
#include "core/Volantor2.h"
#include "engine/Instrument.h"
#include "engine/Rack.h"

#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Note
{
    double beat;
    double length;
    int note;
    int velocity;
};

// A rising arpeggio answered by a chord, at 120 beats per minute.
const Note kPhrase[] = {
    {0.0, 0.5, 60, 110}, {0.5, 0.5, 64, 90},  {1.0, 0.5, 67, 100}, {1.5, 0.5, 72, 120},
    {2.0, 0.5, 67, 80},  {2.5, 0.5, 64, 90},  {3.0, 1.0, 60, 127}, {4.0, 2.0, 48, 100},
    {4.0, 2.0, 55, 90},  {4.0, 2.0, 60, 90},  {4.0, 2.0, 64, 90},
};

VstMidiEvent midiEvent(int delta, int status, int d1, int d2)
{
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = delta;
    e.midiData[0] = (char)status;
    e.midiData[1] = (char)d1;
    e.midiData[2] = (char)d2;
    return e;
}

} // namespace

int main(int argc, char** argv)
{
    std::string output = "volantor2-demo.wav";
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-o") && i + 1 < argc)
            output = argv[++i];
        else {
            std::fprintf(stderr, "usage: vlt2-demo [-o out.wav]\n");
            return 2;
        }
    }

    const int rate = 44100, block = 512;
    std::unique_ptr<Volantor2> synth(new Volantor2(nullptr));
    synth->setSampleRate((float)rate);
    synth->setBlockSize(block);
    // Eight layered notes at once: leave headroom.
    synth->currentProgram().masterVolume = 0.4f;

    // Two layers of the default sound: bright in the centre, an octave below
    // with a soft attack and a long release, panned left.
    Rack* rack = synth->getRack(0);
    rack->clear();
    auto* bright = new Instrument(block, rate);
    auto* low = new Instrument(block, rate);
    low->setParameter(Instrument::kTune, 0.25f);
    low->setParameter(Instrument::kPan, 0.3f);
    low->setParameter(Instrument::kVolume, 0.6f);
    low->setParameter(Instrument::kVolA, 0.02f);
    low->setParameter(Instrument::kVolR, 0.2f);
    rack->addInstrument(bright);
    rack->addInstrument(low);

    const double framesPerBeat = rate * 60.0 / 120.0;
    const long total = (long)(7.0 * framesPerBeat);
    std::vector<float> left(block), right(block), interleaved;
    interleaved.reserve(2 * total);

    for (long start = 0; start < total; start += block) {
        std::vector<VstMidiEvent> events;
        for (const Note& n : kPhrase) {
            const long on = (long)(n.beat * framesPerBeat), off = (long)((n.beat + n.length) * framesPerBeat);
            if (on >= start && on < start + block)
                events.push_back(midiEvent((int)(on - start), 0x90, n.note, n.velocity));
            if (off >= start && off < start + block)
                events.push_back(midiEvent((int)(off - start), 0x80, n.note, 0));
        }
        std::vector<char> storage(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = (VstInt32)events.size();
        for (size_t i = 0; i < events.size(); ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        synth->processEvents(list);

        float* outputs[2] = {left.data(), right.data()};
        synth->processReplacing(nullptr, outputs, block);
        for (int k = 0; k < block && start + k < total; ++k) {
            interleaved.push_back(left[k]);
            interleaved.push_back(right[k]);
        }
    }

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* file = sf_open(output.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "vlt2-demo: cannot write %s: %s\n", output.c_str(), sf_strerror(nullptr));
        return 1;
    }
    const sf_count_t frames = (sf_count_t)interleaved.size() / 2;
    const bool ok = sf_writef_float(file, interleaved.data(), frames) == frames;
    sf_close(file);
    if (!ok) {
        std::fprintf(stderr, "vlt2-demo: writing %s failed\n", output.c_str());
        return 1;
    }
    std::printf("vlt2-demo: wrote %s (%.2f s)\n", output.c_str(), (double)frames / rate);
    return 0;
}
