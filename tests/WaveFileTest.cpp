// The resource WAV reader on files built in memory, including broken ones.
#include "sources/WaveFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Bytes
{
    std::vector<char> b;
    Bytes& tag(const char* t) { b.insert(b.end(), t, t + 4); return *this; }
    Bytes& u32(uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back((char)(v >> (8 * i))); return *this; }
    Bytes& u16(int v) { b.push_back((char)v); b.push_back((char)(v >> 8)); return *this; }
    Bytes& raw(const std::vector<char>& r) { b.insert(b.end(), r.begin(), r.end()); return *this; }
};

// A WAV with the given format, optional chunks before "data", and the payload.
std::vector<char> wav(int channels, int bits, const std::vector<char>& payload,
                      const std::vector<std::vector<char>>& before = {}, uint32_t declaredData = UINT32_MAX)
{
    Bytes w;
    w.tag("RIFF").u32(0).tag("WAVE").tag("fmt ").u32(16).u16(1).u16(channels).u32(22050);
    w.u32(22050 * channels * bits / 8).u16(channels * bits / 8).u16(bits);
    for (const auto& chunk : before)
        w.raw(chunk);
    w.tag("data").u32(declaredData == UINT32_MAX ? (uint32_t)payload.size() : declaredData).raw(payload);
    return w.b;
}

std::vector<char> pcm16(const std::vector<int>& values)
{
    Bytes b;
    for (int v : values)
        b.u16(v);
    return b.b;
}

std::vector<char> chunk(const char* id, const std::string& body)
{
    Bytes c;
    c.tag(id).u32((uint32_t)body.size());
    c.b.insert(c.b.end(), body.begin(), body.end());
    return c.b;
}

} // namespace

TEST(WaveFile, ReadsTheThreeLayouts)
{
    const auto mono = wav(1, 16, pcm16({0, 16384, -32768, 32767}));
    WaveFile m(mono.data(), mono.size());
    EXPECT_EQ(m.sampleRate, 22050);
    EXPECT_EQ(m.frameCount, 4);
    float out[4];
    ASSERT_TRUE(m.read(out, 4, 0));
    EXPECT_FLOAT_EQ(out[1], 0.5f);
    EXPECT_FLOAT_EQ(out[2], -1.f);
    EXPECT_FLOAT_EQ(out[3], (float)(32767 / 32768.0));

    const auto stereo = wav(2, 16, pcm16({100, -100, 200, -200, 300, -300}));
    WaveFile s(stereo.data(), stereo.size());
    EXPECT_EQ(s.frameCount, 3);
    float left[3], right[3];
    ASSERT_TRUE(s.read(left, 3, 0));
    ASSERT_TRUE(s.read(right, 3, 1));
    EXPECT_FLOAT_EQ(left[2], (float)(300 / 32768.0));
    EXPECT_FLOAT_EQ(right[2], (float)(-300 / 32768.0));
    EXPECT_FALSE(s.read(right, 3, 2));

    const auto eight = wav(1, 8, {(char)0, (char)128, (char)255});
    WaveFile e(eight.data(), eight.size());
    float bytes[3];
    ASSERT_TRUE(e.read(bytes, 3, 0));
    EXPECT_FLOAT_EQ(bytes[0], -1.f);
    EXPECT_FLOAT_EQ(bytes[1], 0.f);
    EXPECT_FLOAT_EQ(bytes[2], 127 / 128.f);
}

TEST(WaveFile, FindsDataAfterOtherChunks)
{
    const auto file = wav(1, 16, pcm16({7, 8}), {chunk("LIST", "INFOISFT\x06\0\0\0abcde"), chunk("junk", "xy")});
    WaveFile w(file.data(), file.size());
    EXPECT_EQ(w.frameCount, 2);
    float out[2];
    ASSERT_TRUE(w.read(out, 2, 0));
    EXPECT_FLOAT_EQ(out[1], (float)(8 / 32768.0));
}

TEST(WaveFile, BrokenFilesGiveNoFramesAndNoReadsOutside)
{
    std::vector<std::vector<char>> many(258, chunk("pad ", ""));
    struct Case { const char* what; std::vector<char> file; int frames; };
    std::vector<char> hugeFmt = wav(1, 16, pcm16({1, 2}));
    hugeFmt[16] = hugeFmt[17] = hugeFmt[18] = hugeFmt[19] = (char)0xff;
    std::vector<char> noBlockAlign = wav(1, 16, pcm16({1, 2}));
    std::vector<char> headerOnly = wav(1, 16, {});
    headerOnly.resize(36);
    noBlockAlign[32] = noBlockAlign[33] = 0;
    const Case cases[] = {
        {"no data within 257 chunks", wav(1, 16, pcm16({1, 2}), many), 0},
        {"data size beyond the file", wav(1, 16, pcm16({1, 2, 3}), {}, 4000), 3},
        {"fmt size beyond the file", hugeFmt, 0},
        {"block align 0", noBlockAlign, 0},
        {"header only", headerOnly, 0},
        {"empty", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WaveFile w(c.file.data(), c.file.size());
        EXPECT_EQ(w.frameCount, c.frames);
        std::vector<float> out(8, 9.f);
        EXPECT_EQ(w.read(out.data(), c.frames, 0), c.frames > 0);
        EXPECT_FALSE(w.read(out.data(), c.frames + 1, 0)); // never past the data
    }
    // Every prefix of a good file parses without reading past its end.
    const auto good = wav(2, 16, pcm16({1, 2, 3, 4}), {chunk("LIST", "INFO")});
    for (size_t n = 0; n <= good.size(); ++n) {
        std::vector<char> prefix(good.begin(), good.begin() + n);
        WaveFile w(prefix.data(), prefix.size());
        float out[4];
        if (w.frameCount > 0) {
            EXPECT_TRUE(w.read(out, w.frameCount, 1)) << n;
        }
    }
}

TEST(WaveFile, OtherLayoutsAreNotRead)
{
    for (auto [channels, bits] : {std::pair{1, 24}, {2, 8}, {3, 16}, {1, 32}}) {
        const auto file = wav(channels, bits, std::vector<char>(channels * bits / 8 * 4, 1));
        WaveFile w(file.data(), file.size());
        float out[16];
        EXPECT_FALSE(w.isSupported());
        EXPECT_FALSE(w.read(out, 4, 0)) << channels << "x" << bits;
    }
}
