// The instrument object a host creates: voices, racks, note table, programs,
// effects, and the order in which one audio block is produced.
#pragma once

#include "core/AudioEffectX.h"
#include "core/Program.h"
#include "core/ReadGate.h"
#include "engine/Delay.h"
#include "engine/Phaser.h"
#include "engine/VoiceOwner.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class Instrument;
class Rack;
class Voice;
class Volantor2Editor;

extern int g_nbInstance;

class Volantor2 : public AudioEffectX, public VoiceOwner
{
public:
    static constexpr int kVoices = 16;
    static constexpr int kRacks = 16;
    static constexpr int kPrograms = 128;
    static constexpr int kParameters = 768;
    static constexpr int kNoteSlots = 17; // MIDI channels 1..16, then the on-screen keyboard
    static constexpr int kKeyboardSlot = 16;
    // Longest piece rendered at once; longer host blocks are split.
    static constexpr int kMaxRenderFrames = 8192;

    explicit Volantor2(audioMasterCallback audioMaster);
    ~Volantor2() override;

    // Host-facing operations.
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    void resume() override { suspended = false; }
    void suspend() override { suspended = true; }
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    VstInt32 processEvents(VstEvents* events) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;

    // The 768 host parameters, decoded by index on every call. They take no
    // lock: hosts call them from any thread, their audio thread included.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* text) override;
    bool canParameterBeAutomated(VstInt32) override { return true; }
    VstInt32 canDo(char* text) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1; }

    // Note-on and note-off; channel -1 is the on-screen keyboard. Audio thread.
    void play(int note, int velocity, int deltaFrames, int channel);
    void stop(int note, int velocity, int deltaFrames, int channel);
    void allNoteOff(int deltaFrames, int = 0);

    // The on-screen keyboard plays from the user-interface thread: its notes
    // are queued and started by the audio thread at the next block, in order.
    bool queueKeyboardNote(bool on, int note, int velocity);

    // Instruments made from a source and added to the first rack (or to
    // `target`); null when the sound cannot be loaded or the rack refuses it.
    Instrument* createInstrumentFromPath(const std::string& path, Rack* target = nullptr);
    Instrument* createInstrumentFromString(const std::string& name, Rack* target = nullptr);

    // The saved state: the current program or the whole bank as one chunk.
    // The buffer getChunk hands out stays valid until the next getChunk.
    VstInt32 getChunk(void** data, bool isPreset = false) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;
    // The older big-endian format, which the factory bank is written in.
    VstInt32 setChunk2(void* data, VstInt32 byteSize, bool isPreset = false);

    // Programs. These and the state calls run one at a time under a lock
    // the audio thread never takes.
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool copyProgram(VstInt32) override { return false; }
    void copyStateToProgram(Program* program);
    // Rebuilds the live state from the current program.
    void copyStateFromProgram();
    Program& getProgramAt(int index) { return programs[index]; }

    // The rack the host and the editor work on: a rack built by a program
    // change or a restored state, until the audio thread takes it over at the
    // next block; otherwise the rack being played. Valid while the caller
    // holds the host lock or is inside a parameter call.
    Rack* getRack(int index);
    // Threads that keep rack pointers past the host lock read inside this
    // gate; racks are freed only once earlier readers have left.
    ReadGate& getRackReaders() { return parameterCalls; }
    int getInstrumentCount();
    Rack* playedRack(int index) override;
    void resetInstruBuffer();
    void processPhaser(float** outputs, int frames);
    void setGrainSize(int size);

    // What the voices read.
    int getRackCount() const override { return rackCount; }
    float getSampleRate() const override { return sampleRate; }
    int getRenderBlockSize() const override;
    int getGrainSize() const override { return grainSize; }
    float getMasterVolume() const override { return currentProgram().masterVolume; }
    float getMasterTune() const override { return currentProgram().masterTune; }
    float getVelocitySensitivity() const override { return currentProgram().velocitySensitivity; }
    float getPitchBendRange() const override { return currentProgram().pitchBendRange; }

    // Read-only views for tests and tools.
    Voice* getVoice(int index) const { return (index >= 0 && index < kVoices) ? voices[index] : nullptr; }
    Voice* getNoteTableEntry(int note, int slot) const;
    double getTempo() const { return tempo; }
    const Delay& getDelay() const { return delay; }
    Delay& getDelay() { return delay; }
    const Phaser& getPhaser() const { return phaser; }
    float getPhaserMix() const { return phaserMix; }
    Program& currentProgram() { return programs[curProgram]; }
    const Program& currentProgram() const { return programs[curProgram]; }
    int getInstanceNumber() const { return instanceNumber; }

private:
    void renderPiece(float** outputs, int frames, bool firstPiece);
    // Makes `fresh` the first rack; the audio thread takes it over at the
    // start of its next block.
    void handOverRack(Rack* fresh);
    void takeOverPendingRack();
    Instrument* addToRack(Instrument* instrument, Rack* target);
    // Frees the racks and instruments the audio thread has let go of, once no
    // parameter call can still hold them. Under the host lock.
    void releaseRetired();
    void drainKeyboardQueue();
    void releaseNoteSlot(int note, int velocity, int deltaFrames, int slot);
    bool loadFactoryBank();
    VstInt32 restoreChunk(const void* data, VstInt32 byteSize, bool isPreset, bool legacy);
    bool restoreFactoryBank(const std::vector<char>& bank);
    void notifyEditorOfNote(int status, int note, int velocity);
    // Virtual so that tests can watch what reaches the editor.
    virtual void notifyEditorOfParameter(int index, float value);

    int instanceNumber;
    SharedFloat phaserMix = 1.0f;
    double tempo = 120.0;
    double previousTempo = 120.0;
    Voice* voices[kVoices] = {};
    Rack* racks[kRacks] = {};
    int rackCount = 1;
    Voice* noteTable[128][kNoteSlots] = {};
    Delay delay;
    Program programs[kPrograms];
    Volantor2Editor* editor = nullptr;
    SharedInt grainSize = 1000;
    Phaser phaser;
    std::vector<uint8_t> chunkBuffer;
    // Hosts render only between resume and suspend.
    std::atomic<bool> suspended{true};
    // Host entry points that rebuild or read the rack and the programs.
    std::recursive_mutex hostMutex;
    // Parameter calls in flight, which racks are not freed under.
    ReadGate parameterCalls;
    std::atomic<Rack*> played{nullptr};
    std::atomic<Rack*> pending{nullptr};
    static constexpr int kRetiredRacks = 8;
    std::atomic<Rack*> retiredRacks[kRetiredRacks] = {};

    struct KeyboardNote
    {
        bool on;
        int note;
        int velocity;
    };
    static constexpr int kKeyboardQueueSize = 256;
    KeyboardNote keyboardQueue[kKeyboardQueueSize] = {};
    std::atomic<unsigned> keyboardHead{0}; // written by the audio thread
    std::atomic<unsigned> keyboardTail{0}; // written by the user-interface thread
};

AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
