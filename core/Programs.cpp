// The 128 programs: copying the live state to and from them, switching
// programs, their names, and handing a rebuilt rack to the audio thread.
#include "core/Volantor2.h"

#include "core/ChunkFormat.h"
#include "editor/Volantor2Editor.h"

#include "engine/Instrument.h"
#include "engine/Rack.h"
#include "engine/Sample.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

namespace {

// Program names are handed to hosts within the VST limit.
void copyName(char* text, const std::string& name)
{
    if (text)
        std::snprintf(text, kVstMaxProgNameLen + 1, "%s", name.c_str());
}

} // namespace

void Volantor2::copyStateToProgram(Program* program)
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    Rack* rack = getRack(0);
    const int count = rack->getCount();
    program->instrumentCount = count;
    for (int i = 0; i < count; ++i) {
        Instrument* instrument = rack->getInstrumentAt(i);
        if (!instrument || instrument->isMarkedForDelete())
            continue;
        InstrumentProgram& entry = program->instruments[i];
        for (int k = 0; k < Instrument::kParameterCount; ++k)
            entry.parameters[k] = instrument->getParameterRecord(k).value;
        entry.sourceKind = instrument->getSourceKind();
        entry.name = instrument->getName();
        entry.path = instrument->getPath();
        entry.midiChannel = instrument->getMidiChannel();
        if (instrument->getSourceKind() != Instrument::kBuiltinFixed) {
            Sample* sample = instrument->peekSample();
            entry.startPosition = sample->getStartPlay();
            if (instrument->getParameterRecord(Instrument::kLoop).value == 1.0f) {
                entry.loopStart = sample->getLoopStart();
                entry.loopEnd = sample->getLoopEnd();
            }
        }
    }
    for (int k = 0; k < Delay::kParameterCount; ++k)
        program->delay.values[k] = delay.getParameter(k);
}

void Volantor2::copyStateFromProgram()
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    releaseRetired();
    // The new instruments are made aside; no block ever sees a half-built rack.
    auto* fresh = new Rack();
    const Program& program = currentProgram();
    const int count = program.instrumentCount < 16 ? program.instrumentCount : 16;
    for (int i = 0; i < count; ++i) {
        const InstrumentProgram& entry = program.instruments[i];
        Instrument* instrument = nullptr;
        if (entry.sourceKind == Instrument::kBuiltin || entry.sourceKind == Instrument::kBuiltinFixed)
            instrument = createInstrumentFromString(entry.name, fresh);
        else if (entry.sourceKind == Instrument::kFromPath)
            instrument = createInstrumentFromPath(entry.path, fresh);
        if (!instrument)
            continue; // a sound that cannot be made again is skipped
        instrument->setName(entry.name);
        instrument->setPath(entry.path);
        instrument->setSourceKind(entry.sourceKind);
        instrument->setMidiChannel(entry.midiChannel);
        for (int k = 0; k < Instrument::kParameterCount; ++k)
            instrument->setParameter(k, entry.parameters[k]);
        if (entry.sourceKind != Instrument::kBuiltinFixed) {
            Sample* sample = instrument->getSample(0);
            sample->setStartPlay(entry.startPosition);
            if (instrument->getParameterRecord(Instrument::kLoop).value == 1.0f) {
                sample->setLoopStart(entry.loopStart);
                sample->setLoopEnd(entry.loopEnd);
            }
        }
    }
    handOverRack(fresh);
    if (editor)
        editor->requestRebuild();

    for (int k = 0; k < Delay::kParameterCount; ++k)
        delay.setParameter(k, program.delay.values[k]);
    phaser.setDepth(program.phaser.values[1]);
    phaser.setFeedback(program.phaser.values[2]);
    phaser.setRate(program.phaser.values[3] / 44100.f * 6.28318f);
}

void Volantor2::setProgram(VstInt32 program)
{
    if (program < 0 || program >= kPrograms)
        return;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    copyStateToProgram(&programs[curProgram]);
    curProgram = program;
    copyStateFromProgram();
}

void Volantor2::setProgramName(char* name)
{
    if (!name)
        return;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    currentProgram().name.assign(name, strnlen(name, 256));
}

void Volantor2::getProgramName(char* name)
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    copyName(name, currentProgram().name);
}

bool Volantor2::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (index < 0 || index >= kPrograms)
        return false;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    copyName(text, programs[index].name);
    return true;
}

// Even while the host has suspended the plug-in the hand-over waits for the
// audio thread: nothing tells a host thread reliably that no block is about
// to start. The racks' atomics are sequentially consistent, which the parameter
// calls' gate relies on.
void Volantor2::handOverRack(Rack* fresh)
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    // A rack built before and never played is simply replaced.
    if (Rack* unplayed = pending.exchange(fresh)) {
        parameterCalls.waitForEarlierReaders();
        delete unplayed;
    }
}

void Volantor2::takeOverPendingRack()
{
    Rack* fresh = pending.exchange(nullptr);
    if (!fresh)
        return;
    Rack* old = played.exchange(fresh);
    racks[0] = fresh;
    // The old rack is freed off the audio thread, by the next rebuild.
    for (auto& slot : retiredRacks) {
        Rack* expected = nullptr;
        if (slot.compare_exchange_strong(expected, old))
            return;
    }
    delete old; // only if nobody has collected for a long time
}

void Volantor2::releaseRetired()
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    Rack* racksToFree[kRetiredRacks];
    for (int r = 0; r < kRetiredRacks; ++r)
        racksToFree[r] = retiredRacks[r].exchange(nullptr);
    // Instruments the audio thread took out of the played rack wait with them.
    playedRack(0)->releaseRetired([this] { parameterCalls.waitForEarlierReaders(); });
    for (Rack* rack : racksToFree)
        delete rack;
}

VstInt32 Volantor2::getChunk(void** data, bool isPreset)
{
    if (!data)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    chunkBuffer.clear();
    if (isPreset) {
        copyStateToProgram(&currentProgram());
        appendProgramRecord(currentProgram(), chunkBuffer);
    } else {
        for (int p = 0; p < kPrograms; ++p) {
            if (p == curProgram)
                copyStateToProgram(&programs[p]);
            appendProgramRecord(programs[p], chunkBuffer);
        }
    }
    *data = chunkBuffer.data();
    return (VstInt32)chunkBuffer.size();
}

VstInt32 Volantor2::setChunk(void* data, VstInt32 byteSize, bool isPreset)
{
    return restoreChunk(data, byteSize, isPreset, false);
}

VstInt32 Volantor2::setChunk2(void* data, VstInt32 byteSize, bool isPreset)
{
    return restoreChunk(data, byteSize, isPreset, true);
}

// Reads into a copy of the programs and takes it over only when the whole
// chunk was good: a damaged state leaves everything as it was.
VstInt32 Volantor2::restoreChunk(const void* data, VstInt32 byteSize, bool isPreset, bool legacy)
{
    std::lock_guard<std::recursive_mutex> lock(hostMutex);
    std::string error = "no data";
    if (data && byteSize > 0) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        std::vector<Program> copy = isPreset ? std::vector<Program>{currentProgram()}
                                             : std::vector<Program>(programs, programs + kPrograms);
        const bool ok = legacy ? readLegacyChunk(bytes, (size_t)byteSize, isPreset, copy.data(), error)
                               : readChunk(bytes, (size_t)byteSize, isPreset, copy.data(), error);
        if (ok) {
            if (isPreset)
                currentProgram() = copy[0];
            else
                std::copy(copy.begin(), copy.end(), programs);
            copyStateFromProgram();
            return 1;
        }
    }
    std::printf("Volantor2 LOG > state chunk rejected: %s\n", error.c_str());
    return 0;
}
