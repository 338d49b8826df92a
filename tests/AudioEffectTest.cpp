// The plug-in base: the record handed to hosts, flag setters and the
// callbacks into the host with and without a host.
#include "core/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class Bare : public AudioEffectX
{
public:
    explicit Bare(audioMasterCallback host) : AudioEffectX(host, 3, 7) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

struct Call
{
    VstInt32 opcode, index;
    VstIntPtr value;
    void* ptr;
    float opt;
};
std::vector<Call> calls;
VstIntPtr answer = 0;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    calls.push_back({opcode, index, value, ptr, opt});
    return answer;
}

} // namespace

TEST(AudioEffect, RecordAfterBaseConstruction)
{
    Bare effect(nullptr);
    const AEffect* e = effect.getAeffect();
    EXPECT_EQ(e->magic, vstFourCC('V', 's', 't', 'P'));
    EXPECT_EQ(e->numPrograms, 3);
    EXPECT_EQ(e->numParams, 7);
    EXPECT_EQ(e->numInputs, 1);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, effFlagsCanReplacing);
    EXPECT_EQ(e->uniqueID, vstFourCC('N', 'o', 'E', 'f'));
    EXPECT_EQ(e->version, 1);
    EXPECT_FLOAT_EQ(e->ioRatio, 1.f);
    EXPECT_EQ(e->object, &effect);
    EXPECT_NE(e->dispatcher, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_EQ(effect.getSampleRate(), 44100.f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
}

TEST(AudioEffect, FlagSettersSetAndClearTheirBits)
{
    struct Case { void (AudioEffect::*set)(bool); VstInt32 bit; };
    const Case cases[] = {
        {&AudioEffect::__hasClipDeprecated, 2},  {&AudioEffect::__hasVuDeprecated, 4},
        {&AudioEffect::__canMonoDeprecated, 8},  {&AudioEffect::canProcessReplacing, 16},
        {&AudioEffect::programsAreChunks, 32},   {&AudioEffect::isSynth, 256},
        {&AudioEffect::noTail, 512},             {&AudioEffect::canDoubleReplacing, 4096},
    };
    Bare effect(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bit);
        (effect.*c.set)(true);
        EXPECT_TRUE(effect.getAeffect()->flags & c.bit);
        (effect.*c.set)(false);
        EXPECT_FALSE(effect.getAeffect()->flags & c.bit);
    }
    effect.setEditor(reinterpret_cast<AEffEditor*>(&effect));
    EXPECT_TRUE(effect.getAeffect()->flags & effFlagsHasEditor);
    effect.setEditor(nullptr);
    EXPECT_FALSE(effect.getAeffect()->flags & effFlagsHasEditor);
}

TEST(AudioEffect, HostCallbacksWithoutAHostAnswerNeutrally)
{
    Bare effect(nullptr);
    char text[64] = "x";
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_EQ(effect.getTimeInfo(kVstTempoValid), nullptr);
    EXPECT_FALSE(effect.getHostVendorString(text));
    EXPECT_FALSE(effect.canHostDo(text));
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    EXPECT_EQ(effect.getDirectory(), nullptr);
    effect.masterIdle();
}

TEST(AudioEffect, HostCallbacksPassTheirOpcodeAndArguments)
{
    Bare effect(recordingHost);
    char text[8] = "abc";
    struct Case { const char* what; VstInt32 opcode; VstInt32 index; VstIntPtr value; void* ptr; void (*call)(Bare&, char*); };
    const Case cases[] = {
        {"version", 1, 0, 0, nullptr, [](Bare& e, char*) { e.getMasterVersion(); }},
        {"idle", 3, 0, 0, nullptr, [](Bare& e, char*) { e.masterIdle(); }},
        {"time", 7, 0, 0x400, nullptr, [](Bare& e, char*) { e.getTimeInfo(0x400); }},
        {"size", 15, 820, 505, nullptr, [](Bare& e, char*) { e.sizeWindow(820, 505); }},
        {"vendor", 32, 0, 0, text, [](Bare& e, char* t) { e.getHostVendorString(t); }},
        {"cando", 37, 0, 0, text, [](Bare& e, char* t) { e.canHostDo(t); }},
        {"begin", 43, 12, 0, nullptr, [](Bare& e, char*) { e.beginEdit(12); }},
        {"end", 44, 12, 0, nullptr, [](Bare& e, char*) { e.endEdit(12); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        calls.clear();
        c.call(effect, text);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].opcode, c.opcode);
        EXPECT_EQ(calls[0].index, c.index);
        EXPECT_EQ(calls[0].value, c.value);
        EXPECT_EQ(calls[0].ptr, c.ptr);
    }

    // A host answering 0 to the version request is taken as version 1.
    answer = 0;
    EXPECT_EQ(effect.getMasterVersion(), 1);
    answer = 2400;
    EXPECT_EQ(effect.getMasterVersion(), 2400);
    // A positive sample rate or block size from the host is kept.
    answer = 48000;
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
    answer = -5;
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    answer = 0;

    // Automation sets the parameter first, then tells the host.
    calls.clear();
    effect.setParameterAutomated(4, 0.25f);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].opcode, 0);
    EXPECT_EQ(calls[0].index, 4);
    EXPECT_FLOAT_EQ(calls[0].opt, 0.25f);
}
