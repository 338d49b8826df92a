#include "core/Volantor2.h"

#include "editor/Volantor2Editor.h"

#include "engine/Instrument.h"
#include "engine/PitchTables.h"
#include "engine/Rack.h"
#include "engine/Sample.h"
#include "engine/Voice.h"
#include "host/VendorRequests.h"
#include "host/BundleServices.h"
#include "sources/BuiltinSounds.h"
#include "sources/PathNames.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

int g_nbInstance = 0;

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) { return new Volantor2(audioMaster); }

namespace {

void copyText(char* destination, const char* text, size_t capacity)
{
    if (!destination)
        return;
    std::snprintf(destination, capacity, "%s", text);
}

} // namespace

Volantor2::Volantor2(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kPrograms, kParameters), instanceNumber(g_nbInstance), delay(44100)
{
    ++g_nbInstance;

    setNumInputs(0);
    isSynth(true);
    setUniqueID(vstFourCC('V', 'L', 'T', '2'));
    setNumOutputs(2);
    canProcessReplacing(true);
    programsAreChunks(true);

    makeFrequencyTab();
    makeName();

    for (int v = 0; v < kVoices; ++v)
        voices[v] = new Voice(v, this);
    for (Rack*& rack : racks)
        rack = new Rack();
    played = racks[0];
    rackCount = 1;

    delay.setParameter(0, 0.625f);
    delay.setParameter(1, 0.25f);
    delay.setParameter(2, 0.41f);

    phaser.setRange(400.f, 1640.f);
    phaserMix = 1.0f;
    tempo = previousTempo = 120.0;
    grainSize = 1000;
    editor = nullptr;

    // Without a factory bank the plug-in still plays: one instrument holding
    // the default sound.
    if (!loadFactoryBank()) {
        auto* instrument = new Instrument(getRenderBlockSize(), (int)sampleRate);
        instrument->setName("coin");
        if (!getRack(0)->addInstrument(instrument))
            delete instrument;
    }
    // No block can run yet: the bank's rack plays from the start.
    takeOverPendingRack();
    releaseRetired();
    editor = createEditor(this);
}

Volantor2::~Volantor2()
{
    // The window goes first, while everything it may look at still exists.
    delete editor;
    editor = nullptr;
    setEditor(nullptr);
    releaseRetired();
    delete pending.exchange(nullptr);
    for (Rack* rack : racks)
        delete rack;
    for (Voice* voice : voices)
        delete voice;
}

// The factory bank, the file "bank" of the bundle's resources, fills the
// programs, the rack and the effects.
bool Volantor2::loadFactoryBank()
{
    std::string path;
    if (getResourcesPath(path))
        path += "/bank";
    else
        path = "bank";
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        std::printf("Volantor2 LOG > bank not found in resources : path=%s get ready to crash\n", path.c_str());
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::printf("Volantor2 LOG > bank not found in resources : NULL file : imminent crash\n");
        return false;
    }
    std::vector<char> bank;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0;)
        bank.insert(bank.end(), buffer, buffer + n);
    std::fclose(file);
    return restoreFactoryBank(bank);
}

bool Volantor2::restoreFactoryBank(const std::vector<char>& bank)
{
    return !bank.empty() && setChunk2(const_cast<char*>(bank.data()), (VstInt32)bank.size(), false) == 1;
}

// The editor's keyboard lights the keys of notes played from MIDI.
void Volantor2::notifyEditorOfNote(int status, int note, int velocity)
{
    if (editor)
        editor->sendMidiMessage(status, note, velocity);
}

int Volantor2::getInstrumentCount()
{
    ReadGate::Reader reading(parameterCalls);
    Rack* rack = getRack(0);
    return rack ? rack->getCount() : 0;
}

Instrument* Volantor2::createInstrumentFromPath(const std::string& path, Rack* target)
{
    auto* instrument = new Instrument(getRenderBlockSize(), (int)sampleRate);
    auto* sample = new Sample();
    std::string bundle;
    getBundlePath(bundle);
    // Resource paths, and any path inside our own bundle, name a resource file.
    const bool resource = (!bundle.empty() && starts_with(path, bundle)) || starts_with(path, ":/Resources/");
    if (!(resource ? sample->loadFromResource(path) : sample->load(path))) {
        delete sample;
        delete instrument;
        return nullptr;
    }
    instrument->setName(getBaseName(path));
    instrument->addSample(sample, true);
    instrument->setSourceKind(Instrument::kFromPath);
    instrument->setPath(path);
    return addToRack(instrument, target);
}

Instrument* Volantor2::createInstrumentFromString(const std::string& name, Rack* target)
{
    auto* instrument = new Instrument(getRenderBlockSize(), (int)sampleRate);
    if (!instrument->loadFromName(name)) {
        delete instrument;
        return nullptr;
    }
    return addToRack(instrument, target);
}

// The sound is loaded before the lock is taken: reading a file must not hold
// up the other host calls.
Instrument* Volantor2::addToRack(Instrument* instrument, Rack* target)
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    if (!target) {
        releaseRetired(); // a full rack may hold instruments already taken out
        target = getRack(0);
    }
    if (target->addInstrument(instrument))
        return instrument;
    delete instrument;
    return nullptr;
}

VstIntPtr Volantor2::vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float)
{
    if (index == kScreenshotSelector && value == 0 && ptr)
        return editor && editor->writeScreenshot(static_cast<const char*>(ptr)) ? 1 : 0;
    if (index != kAuditionSelector || value != 0 || !ptr || !suspended)
        return 0;
    auto* fresh = new Rack();
    const std::string source = static_cast<const char*>(ptr);
    if (!createInstrumentFromString(source, fresh) && !createInstrumentFromPath(source, fresh)) {
        delete fresh;
        return 0;
    }
    handOverRack(fresh);
    return 1;
}

int Volantor2::getRenderBlockSize() const
{
    return blockSize < kMaxRenderFrames ? blockSize : kMaxRenderFrames;
}

Rack* Volantor2::getRack(int index)
{
    if (index == 0) {
        Rack* waiting = pending.load(std::memory_order_acquire);
        return waiting ? waiting : played.load(std::memory_order_acquire);
    }
    return (index > 0 && index < kRacks) ? racks[index] : nullptr;
}

Rack* Volantor2::playedRack(int index)
{
    if (index == 0)
        return played.load(std::memory_order_acquire);
    return (index > 0 && index < kRacks) ? racks[index] : nullptr;
}

Voice* Volantor2::getNoteTableEntry(int note, int slot) const
{
    if (note < 0 || note > 127 || slot < 0 || slot >= kNoteSlots)
        return nullptr;
    return noteTable[note][slot];
}

void Volantor2::setSampleRate(float rate)
{
    // A rate of zero, negative or NaN would make every pitch ratio infinite.
    if (!(rate > 0.f) || !std::isfinite(rate))
        return;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    AudioEffectX::setSampleRate(rate);
    for (Rack* rack : {getRack(0), playedRack(0)})
        for (int i = 0; i < rack->getCount(); ++i)
            if (Instrument* instrument = rack->getInstrumentAt(i))
                instrument->setSamplerate((int)rate);
}

void Volantor2::setBlockSize(VstInt32 size)
{
    if (size < 1)
        return;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    AudioEffectX::setBlockSize(size);
    for (Voice* voice : voices)
        voice->adjustBufferSize();
    for (Rack* rack : {getRack(0), playedRack(0)})
        for (int i = 0; i < rack->getCount(); ++i)
            if (Instrument* instrument = rack->getInstrumentAt(i))
                instrument->adjustBufferSize(getRenderBlockSize());
}

VstInt32 Volantor2::processEvents(VstEvents* events)
{
    if (!events)
        return 1;
    // Notes of this block start on the rack it will play.
    takeOverPendingRack();
    for (VstInt32 e = 0; e < events->numEvents; ++e) {
        VstEvent* event = events->events[e];
        if (!event || event->type != kVstMidiType)
            continue;
        const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const int status = (unsigned char)midi->midiData[0];
        const int channel = status & 0x0F;
        const int command = status & 0xF0;
        const int d1 = midi->midiData[1] & 0x7F;
        const int d2 = midi->midiData[2] & 0x7F;
        const int delta = midi->deltaFrames;

        if (command == 0xB0) {
            if (d1 == 123 || d1 == 126)
                allNoteOff(delta);
        } else if (command == 0xE0) {
            for (Voice* voice : voices)
                voice->setPitchBend(d1, d2);
        } else if (command == 0x90 && d2 != 0) {
            play(d1, d2, delta, channel);
            notifyEditorOfNote(0x90, d1, d2);
        } else if (command == 0x80 || command == 0x90) {
            stop(d1, d2, delta, channel);
            notifyEditorOfNote(0x80, d1, d2);
        }
    }
    return 1;
}

void Volantor2::releaseNoteSlot(int note, int velocity, int deltaFrames, int slot)
{
    Voice*& entry = noteTable[note][slot];
    if (entry) {
        entry->doRelease(note, velocity, deltaFrames, slot);
        entry = nullptr;
    }
    for (Voice* voice : noteTable[note])
        if (voice && voice->getChannel() == -1)
            voice->doRelease(note, velocity, deltaFrames, slot);
}

void Volantor2::play(int note, int velocity, int deltaFrames, int channel)
{
    if (note < 0 || note > 127 || channel < -1 || channel > 15)
        return;
    const int slot = channel == -1 ? kKeyboardSlot : channel;
    releaseNoteSlot(note, velocity, deltaFrames, slot);

    Voice* chosen = nullptr;
    for (Voice* voice : voices) {
        if (!voice->isPlaying()) {
            chosen = voice;
            break;
        }
    }
    if (!chosen) {
        // Steal the quietest released voice, if any is quiet enough.
        double lowest = 1.0;
        for (Voice* voice : voices) {
            if (voice->isReleased() && voice->getLevelEstimate() < lowest) {
                lowest = voice->getLevelEstimate();
                chosen = voice;
            }
        }
        if (!chosen)
            return;
        chosen->stop(chosen->getNote(), 0, 0, slot);
    }
    chosen->play(note, velocity, deltaFrames, slot);
    noteTable[note][slot] = chosen;
}

void Volantor2::stop(int note, int velocity, int deltaFrames, int channel)
{
    if (note < 0 || note > 127 || channel < -1 || channel > 15)
        return;
    releaseNoteSlot(note, velocity, deltaFrames, channel == -1 ? kKeyboardSlot : channel);
}

void Volantor2::allNoteOff(int deltaFrames, int)
{
    for (Voice* voice : voices)
        if (voice->isPlaying())
            voice->doRelease(0, 0, deltaFrames, -1);
    std::memset(noteTable, 0, sizeof(noteTable));
}

bool Volantor2::queueKeyboardNote(bool on, int note, int velocity)
{
    const unsigned tail = keyboardTail.load(std::memory_order_relaxed);
    if (tail - keyboardHead.load(std::memory_order_acquire) >= (unsigned)kKeyboardQueueSize)
        return false;
    keyboardQueue[tail % kKeyboardQueueSize] = {on, note, velocity};
    keyboardTail.store(tail + 1, std::memory_order_release);
    return true;
}

void Volantor2::drainKeyboardQueue()
{
    unsigned head = keyboardHead.load(std::memory_order_relaxed);
    const unsigned tail = keyboardTail.load(std::memory_order_acquire);
    for (; head != tail; ++head) {
        const KeyboardNote& n = keyboardQueue[head % kKeyboardQueueSize];
        if (n.on)
            play(n.note, n.velocity, 0, -1);
        else
            stop(n.note, n.velocity, 0, -1);
    }
    keyboardHead.store(head, std::memory_order_release);
}

void Volantor2::resetInstruBuffer()
{
    for (int r = 0; r < rackCount; ++r) {
        Rack* rack = playedRack(r);
        for (int i = 0; i < rack->getCount(); ++i) {
            if (Instrument* instrument = rack->getInstrumentAt(i)) {
                const size_t bytes = sizeof(float) * instrument->getMixBufferSize();
                std::memset(instrument->getMixBuffer(0), 0, bytes);
                std::memset(instrument->getMixBuffer(1), 0, bytes);
            }
        }
    }
}

void Volantor2::processPhaser(float** outputs, int frames)
{
    if (currentProgram().phaser.values[0] == 0.f || !outputs || !outputs[0] || !outputs[1])
        return;
    float* left = outputs[0];
    float* right = outputs[1];
    // A mix outside 0..1 (or NaN) from a host would scale or poison the block.
    float m = phaserMix;
    m = m > 0.f ? (m < 1.f ? m : 1.f) : 0.f;
    const float wet = m * 0.67f;
    const float dry = 1.f - m;
    // One phaser for both channels, left first: states and LFO run on from
    // each sample to the next.
    for (int i = 0; i < frames; ++i) {
        left[i] = phaser.Update(left[i]) * wet + dry * left[i];
        right[i] = phaser.Update(right[i]) * wet + dry * right[i];
    }
}

void Volantor2::setGrainSize(int size)
{
    if (size < 200 || size > 2000)
        return;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    grainSize = size;
    Rack* rack = getRack(0);
    for (int i = 0; i < rack->getCount(); ++i) {
        if (Instrument* instrument = rack->getInstrumentAt(i)) {
            instrument->setGrainSize(size);
            // Re-applying the grain parameter through the host index recomputes
            // the grain advance and keeps the editor's knob in step.
            setParameter(Instrument::kParameterCount * i + Instrument::kGrainAdvance,
                         instrument->getParameterRecord(Instrument::kGrainAdvance).value);
        }
    }
}

void Volantor2::processReplacing(float**, float** outputs, VstInt32 frames)
{
    if (!outputs || !outputs[0] || !outputs[1] || frames <= 0)
        return;
    takeOverPendingRack();
    drainKeyboardQueue();

    // Hosts may pass more frames than the block size they set: render such a
    // block in pieces that fit the buffers, keeping each note's start frame.
    const int piece = getRenderBlockSize();
    int offsets[kVoices];
    for (int v = 0; v < kVoices; ++v)
        offsets[v] = voices[v]->getStartOffset();
    for (int done = 0; done < frames; done += piece) {
        const int n = frames - done < piece ? frames - done : piece;
        if (done > 0)
            for (int v = 0; v < kVoices; ++v)
                voices[v]->setStartOffset(offsets[v] > done ? offsets[v] - done : 0);
        float* pieceOutputs[2] = {outputs[0] + done, outputs[1] + done};
        renderPiece(pieceOutputs, n, done == 0);
    }
}

void Volantor2::renderPiece(float** outputs, int frames, bool firstPiece)
{
    std::memset(outputs[0], 0, sizeof(float) * frames);
    std::memset(outputs[1], 0, sizeof(float) * frames);
    resetInstruBuffer();

    for (Voice* voice : voices)
        voice->process(outputs, frames);

    // Meters: the block's peak of each instrument's mix, for the level meters.
    for (int r = 0; r < rackCount; ++r) {
        Rack* rack = playedRack(r);
        for (int i = 0; i < rack->getCount(); ++i) {
            Instrument* instrument = rack->getInstrumentAt(i);
            if (!instrument)
                continue;
            const int n = frames < instrument->getMixBufferSize() ? frames : instrument->getMixBufferSize();
            for (int c = 0; c < 2; ++c) {
                const float* mix = instrument->getMixBuffer(c);
                float highest = 0.f, lowest = 0.f;
                for (int k = 0; k < n; ++k) {
                    highest = mix[k] > highest ? mix[k] : highest;
                    lowest = mix[k] < lowest ? mix[k] : lowest;
                }
                float peak = highest > -lowest ? highest : -lowest;
                // A block split in pieces reports the peak of all of them.
                if (!firstPiece && instrument->getPeak(c) > peak)
                    peak = instrument->getPeak(c);
                instrument->setPeak(c, peak);
            }
        }
    }

    if (VstTimeInfo* time = getTimeInfo(kVstTempoValid)) {
        // A tempo of zero, negative or NaN would give an endless beat; keep the last one.
        if (time->tempo > 0 && std::isfinite(time->tempo)) {
            tempo = time->tempo;
            if (tempo != previousTempo)
                delay.setSamplePerBeat(tempo, sampleRate);
            previousTempo = tempo;
        }
    }

    delay.process(outputs, frames);
    processPhaser(outputs, frames);
    playedRack(0)->processDeletion();
}

bool Volantor2::getOutputProperties(VstInt32 index, VstPinProperties* properties)
{
    if (index < 0 || index > 1 || !properties)
        return false;
    std::snprintf(properties->label, sizeof(properties->label), "vlt2 out %1d", index + 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

VstInt32 Volantor2::canDo(char* text)
{
    if (!text)
        return -1;
    if (!std::strcmp(text, "receiveVstEvents") || !std::strcmp(text, "receiveVstMidiEvent"))
        return 1;
    return -1;
}

bool Volantor2::getEffectName(char* text)
{
    copyText(text, "Volantor 2", kVstMaxEffectNameLen);
    return true;
}

bool Volantor2::getVendorString(char* text)
{
    copyText(text, "Tindalo & Quorrel", kVstMaxVendorStrLen);
    return true;
}

bool Volantor2::getProductString(char* text)
{
    copyText(text, "Volantor 2 VST", kVstMaxProductStrLen);
    return true;
}
