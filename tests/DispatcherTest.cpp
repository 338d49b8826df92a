// The entry and the dispatcher as hosts see them, and the base's text conversions.
#include "core/AudioEffectX.h"
#include "core/Volantor2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

namespace {

VstIntPtr modernHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

VstIntPtr silentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

VstIntPtr call(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
               float opt = 0)
{
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

int destroyed = 0;

class Counted : public AudioEffectX
{
public:
    Counted() : AudioEffectX(modernHost, 4, 2) {}
    ~Counted() override { ++destroyed; }
    void processReplacing(float**, float**, VstInt32) override {}
};

} // namespace

TEST(Entry, HostThatDoesNotAnswerTheVersionGetsNothing)
{
    const int before = g_nbInstance;
    EXPECT_EQ(VSTPluginMain(silentHost), nullptr);
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
    EXPECT_EQ(g_nbInstance, before);
}

TEST(Entry, ReturnsTheRecordOfANewInstance)
{
    AEffect* e = VSTPluginMain(modernHost);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->uniqueID, vstFourCC('V', 'L', 'T', '2'));
    EXPECT_EQ(call(e, effClose), 1);
}

TEST(Dispatcher, FixedAnswers)
{
    AEffect* e = VSTPluginMain(modernHost);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(call(e, effIdentify), vstFourCC('N', 'v', 'E', 'f'));
    EXPECT_EQ(call(e, effGetVstVersion), 2400);
    EXPECT_EQ(call(e, effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(call(e, effCanBeAutomated, 3), 1);
    EXPECT_EQ(call(e, effGetCurrentMidiProgram), -1);
    EXPECT_EQ(call(e, effSetTotalSampleToProcess, 0, 777), 777);
    for (VstInt32 deprecated : {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57})
        EXPECT_EQ(call(e, deprecated), 0) << deprecated;
    EXPECT_EQ(call(e, 200), 0);
    EXPECT_EQ(call(e, -1), 0);

    char text[256] = {};
    EXPECT_EQ(call(e, effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Volantor 2");
    EXPECT_EQ(call(e, effCanDo, 0, 0, (void*)"receiveVstMidiEvent"), 1);
    EXPECT_EQ(call(e, effCanDo, 0, 0, (void*)"sendVstMidiEvent"), -1);
    VstPinProperties pin{};
    EXPECT_EQ(call(e, effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "vlt2 out 2");
    EXPECT_EQ(call(e, effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(call(e, effGetInputProperties, 0, 0, &pin), 0);
    call(e, effClose);
}

TEST(Dispatcher, ProgramNumbersOutsideTheCountAreIgnored)
{
    AEffect* e = VSTPluginMain(modernHost);
    ASSERT_NE(e, nullptr);
    call(e, effSetProgram, 0, 5);
    EXPECT_EQ(call(e, effGetProgram), 5);
    call(e, effSetProgram, 0, 128);
    call(e, effSetProgram, 0, -1);
    EXPECT_EQ(call(e, effGetProgram), 5);
    call(e, effClose);
}

TEST(Dispatcher, CloseDestroysTheObject)
{
    auto* effect = new Counted();
    AEffect* e = effect->getAeffect();
    destroyed = 0;
    EXPECT_EQ(call(e, effClose), 1);
    EXPECT_EQ(destroyed, 1);
}

TEST(Dispatcher, NullPointersAndOddValuesFromHostsAreSafe)
{
    AEffect* e = VSTPluginMain(modernHost);
    ASSERT_NE(e, nullptr);
    // String and record opcodes without a buffer answer 0.
    for (VstInt32 opcode : {4, 5, 6, 7, 8, 13, 23, 24, 25, 27, 29, 33, 34, 45, 47, 48, 51, 56, 70})
        EXPECT_EQ(call(e, opcode, 0, 0, nullptr), 0) << opcode;
    // Editor opcodes: no place for the rectangle, nothing open, no key taken.
    for (VstInt32 opcode : {13, 15, 19, 59, 60})
        EXPECT_EQ(call(e, opcode, 0, 0, nullptr), 0) << opcode;
    // Without a parent window the editor opens offscreen.
    EXPECT_EQ(call(e, effEditOpen, 0, 0, nullptr), 1);
    EXPECT_EQ(call(e, effEditIdle, 0, 0, nullptr), 0);
    EXPECT_EQ(call(e, effEditClose, 0, 0, nullptr), 0);
    // A block size of 0 is ignored; processing before any rate was set works.
    call(e, effSetBlockSize, 0, 0);
    call(e, effMainsChanged, 0, 1);
    float left[64], right[64];
    float* out[2] = {left, right};
    e->processReplacing(e, nullptr, out, 64);
    e->setParameter(e, 99999, 0.5f);
    EXPECT_EQ(e->getParameter(e, -7), 0.f);
    call(e, effClose);
}

TEST(TextConversion, AsHostsShowThem)
{
    AEffect* e = VSTPluginMain(modernHost);
    ASSERT_NE(e, nullptr);
    AudioEffect& effect = *static_cast<AudioEffect*>(e->object);
    using Convert = void (AudioEffect::*)(float, char*, VstInt32);
    struct Case { Convert convert; float value; int maxLen; const char* text; };
    const Convert f = &AudioEffect::float2string, dB = &AudioEffect::dB2string, hz = &AudioEffect::Hz2string,
                  ms = &AudioEffect::ms2string;
    // clang-format off
    const Case cases[] = {
        {f, 0.5f, 8, "0.500000"},   {f, 1.f, 8, "1.000000"},      {f, -0.5f, 8, "-0.50000"},
        {f, 123.456f, 8, "123.4560"}, {f, 0.f, 8, "0.000000"},    {f, 1e9f, 8, "Huge!"},
        {f, -2e7f, 8, "Huge!"},     {f, 12345678.f, 8, "2345678."}, {f, 0.5f, 4, "0.50"},
        {dB, 0.f, 8, "-oo"},        {dB, 1.f, 8, "0.000000"},     {hz, 0.f, 8, "0.000000"},
        {hz, 441.f, 8, "100.0000"}, {ms, 44100.f, 8, "1000.000"},
    };
    // clang-format on
    for (const Case& c : cases) {
        char text[32];
        std::memset(text, 'x', sizeof(text));
        (effect.*c.convert)(c.value, text, c.maxLen);
        EXPECT_STREQ(text, c.text) << c.value;
    }

    struct IntCase { VstInt32 value; const char* text; };
    const IntCase ints[] = {{0, "0"}, {-42, "-42"}, {100000000, "Huge!"}, {99999999, "99999999"}, {7, "7"}};
    for (const IntCase& c : ints) {
        char text[32];
        effect.int2string(c.value, text, 8);
        EXPECT_STREQ(text, c.text) << c.value;
    }
    call(e, effClose);
}
