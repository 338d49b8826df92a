// One playable sound slot of the rack: its samples, 22 parameters, tuning,
// volume, pan, switches, channel filter, and for each of the 16 voices the
// playback state of that voice in this instrument (voices keep none).
#pragma once

#include "engine/ADSR.h"
#include "engine/Parameter.h"
#include "engine/Sample.h"

#include <atomic>
#include <string>

class Instrument
{
public:
    static constexpr int kVoices = 16;
    static constexpr int kMaxSamples = 256;
    static constexpr int kParameterCount = 22;

    // Source kinds: built-in made by name, built-in (tested, unused), from a path.
    enum SourceKind { kBuiltin = 0, kBuiltinFixed = 1, kFromPath = 2 };

    enum ParameterIndex {
        kVolume = 0, kPan, kTune, kFinetune, kShowWave, kLoop, kGlobal, kVolEg, kPitEg, kSpecial,
        kVolA, kVolD, kVolS, kVolR, kPitchA, kPitchD, kPitchR, kPitchEg,
        kReverse, kInterpolate, kGrain, kGrainAdvance
    };

    Instrument(int bufferSize, int sampleRate);
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;
    virtual ~Instrument();

    void createParameters(int count);
    void setParameter(int k, float value);
    const Parameter& getParameterRecord(int k) const { return parameters[k]; }
    int getParameterCount() const { return parameterCount; }

    // The sample a voice plays; note and velocity are not used.
    Sample* getSample(int index, int note = 0, int velocity = 0);
    // The same sample as getSample(0), without touching the instrument: for
    // host threads, while the audio thread may be calling getSample.
    Sample* peekSample();
    void addSample(Sample* sample, bool makeCurrent);
    int getSampleCount() const { return sampleCount; }
    Sample* getDefaultSample() { return &defaultSample; }

    // Built-in sounds, by id or display name; these live with the sound sources.
    void loadFromId(int id, int kind);
    bool loadFromName(const std::string& name);

    void setSemitone(float value);
    void setCent(float value);
    void adjustBufferSize(int size);

    void setAttackVolume(float value);
    void setDecayVolume(float value);
    void setSustainVolume(float value);
    void setReleaseVolume(float value);
    void setAttackPitch(float value);
    void setDecayPitch(float value);
    void setReleasePitch(float value);
    void setPitchEgDepth(float value);

    void setSamplerate(int rate);
    int getSamplerate() const { return sampleRate; }
    void setId(int newId) { id = newId; }
    int getId() const { return id; }
    void setPeak(int channel, float peak);
    float getPeak(int channel) const;

    int getSourceKind() const { return sourceKind; }
    void setSourceKind(int kind) { sourceKind = kind; }
    const std::string& getName() const { return name; }
    void setName(const std::string& n) { name = n; }
    const std::string& getPath() const { return path; }
    void setPath(const std::string& p) { path = p; }
    int getMidiChannel() const { return midiChannel; }
    void setMidiChannel(int channel) { midiChannel = channel; }
    bool isMarkedForDelete() const { return markedForDelete; }
    void markForDelete() { markedForDelete = true; }

    float getVolume() const { return volume; }
    float getPan() const { return pan; }
    double getTuningRatio() const { return tuningRatio; }
    double getSampleRatio() const { return sampleRatio; }
    double getPitchDepth() const { return pitchDepth; }
    bool isReverse() const { return reverse; }
    bool isInterpolate() const { return interpolate; }
    bool isGrain() const { return grain; }
    float getGrainAdvance() const { return grainAdvance; }
    int getGrainSize() const { return grainSize; }
    void setGrainSize(int size) { grainSize = size; }

    float* getMixBuffer(int channel) const { return channel == 0 ? mixLeft : mixRight; }
    int getMixBufferSize() const { return mixSize; }

    // Per-voice playback state, read and written by the voice with that id.
    double position[kVoices];
    double grainPosition[kVoices];
    double grainCounter[kVoices];
    ADSR volumeEnvelope[kVoices];
    ADSR pitchEnvelope[kVoices];
    int grainAdvanceWhole = 100;

protected:
    // Everything a host or the editor sets while voices play is a shared
    // value: parameters arrive from any thread, even the host's audio thread.
    int sourceKind = kBuiltin;
    SharedInt id = 0;
    int sampleCapacity = kMaxSamples;
    int sampleCount = 0;
    Sample** samples;
    std::atomic<Sample*> currentSample{nullptr};
    Sample defaultSample;
    SharedFloat pan = 0.5f;
    SharedFloat semitoneRatio = 1.0f;
    SharedFloat centRatio = 1.0f;
    SharedDouble sampleRatio = 1.0;
    SharedDouble tuningRatio = 1.0;
    SharedFloat volume = 1.0f;
    float* mixLeft = nullptr;
    float* mixRight = nullptr;
    int mixSize = 0;
    SharedDouble pitchDepth = 0.0;
    SharedBool reverse = false;
    SharedBool interpolate = false;
    SharedBool grain = false;
    SharedBool markedForDelete = false;
    std::string name;
    std::string path;
    Parameter* parameters = nullptr;
    int parameterCount = 0;
    SharedInt sampleRate = 44100;
    SharedInt grainSize = 1000;
    SharedFloat grainAdvance = 0.0f;
    SharedInt midiChannel = -1;
    SharedFloat peaks[2] = {0.0f, 0.0f};
};
