// Every built-in and resource sound, as generated: its pitch against its root
// note, its level, its DC offset and its edges.
#include "sources/WaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Entry
{
    std::string kind, key, file;
    int channels = 1, root = 60, start = 0, length = 0;
    bool tonal = true;
};

std::vector<Entry> manifest()
{
    std::ifstream in(std::string(VOLANTOR_SOUND_DIR) + "/manifest.tsv");
    std::vector<Entry> entries;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::istringstream row(line);
        Entry e;
        std::string channels, root, tonal, start, length;
        std::getline(row, e.kind, '\t');
        std::getline(row, e.key, '\t');
        std::getline(row, e.file, '\t');
        std::getline(row, channels, '\t');
        std::getline(row, root, '\t');
        std::getline(row, tonal, '\t');
        std::getline(row, start, '\t');
        std::getline(row, length, '\t');
        e.channels = std::stoi(channels);
        e.root = std::stoi(root);
        e.tonal = tonal == "1";
        e.start = std::stoi(start);
        e.length = std::stoi(length);
        entries.push_back(e);
    }
    return entries;
}

// The frames a note plays, first channel: the array from its start position
// up to its last frame (the guard excluded), or the whole WAV.
std::vector<float> playedFrames(const Entry& e)
{
    std::vector<float> v;
    if (e.kind == "builtin") {
        std::ifstream in(std::string(VOLANTOR_SOUND_DIR) + "/" + e.file, std::ios::binary);
        std::vector<float> all(e.length);
        in.read(reinterpret_cast<char*>(all.data()), (std::streamsize)(all.size() * sizeof(float)));
        v.assign(all.begin() + e.start, all.end() - 1);
    } else {
        std::ifstream in(e.file, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        WaveFile w(bytes.data(), bytes.size());
        v.resize(w.frameCount);
        w.read(v.data(), w.frameCount, 0);
    }
    return v;
}

void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / len);
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const auto u = a[i + k], t = wk * a[i + k + len / 2];
                a[i + k] = u + t;
                a[i + k + len / 2] = u - t;
            }
        }
    }
}

double noteHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// The lowest clear spectral peak of the sustained part: the fundamental of a
// note, or the lowest note of a chord.
double lowestPeakHz(const std::vector<float>& v, int root)
{
    const size_t begin = v.size() / 10;
    const size_t count = std::min<size_t>(v.size() - begin - v.size() / 10, 32768);
    const size_t n = 131072;
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < count; ++i)
        a[i] = v[begin + i] * (0.5 - 0.5 * std::cos(2 * M_PI * i / (count - 1)));
    fft(a);
    const double binHz = 44100.0 / n;
    const size_t low = (size_t)(noteHz(root) / 2.5 / binHz), high = (size_t)(6000 / binHz);
    std::vector<double> mag(high + 2);
    double top = 0;
    for (size_t k = low; k <= high + 1; ++k)
        top = std::max(top, mag[k] = std::abs(a[k]));
    for (size_t k = low + 1; k <= high; ++k) {
        if (mag[k] >= 0.15 * top && mag[k] >= mag[k - 1] && mag[k] >= mag[k + 1]) {
            const double l = std::log(mag[k - 1] + 1e-12), c = std::log(mag[k]), r = std::log(mag[k + 1] + 1e-12);
            const double offset = 0.5 * (l - r) / (l - 2 * c + r);
            return (k + offset) * binHz;
        }
    }
    return 0;
}

} // namespace

TEST(SoundQuality, TonalSoundsSoundAtTheirRoot)
{
    const auto entries = manifest();
    ASSERT_GT(entries.size(), 140u);
    int tonal = 0;
    for (const Entry& e : entries) {
        if (!e.tonal)
            continue;
        SCOPED_TRACE(e.kind + " " + e.key);
        const double hz = lowestPeakHz(playedFrames(e), e.root);
        const double cents = 1200 * std::log2(hz / noteHz(e.root));
        EXPECT_LT(std::fabs(cents), 20.0) << "measured " << hz << " Hz for root " << e.root;
        ++tonal;
    }
    EXPECT_GT(tonal, 80);
}

TEST(SoundQuality, NoClippingNoOffsetNoClicks)
{
    for (const Entry& e : manifest()) {
        SCOPED_TRACE(e.kind + " " + e.key);
        const std::vector<float> v = playedFrames(e);
        ASSERT_GT(v.size(), 100u);
        double peak = 0, sum = 0;
        for (float x : v) {
            peak = std::max(peak, (double)std::fabs(x));
            sum += x;
        }
        EXPECT_LT(peak, 0.999);
        EXPECT_GT(peak, 0.1); // not silent either
        EXPECT_LT(std::fabs(sum / v.size()), 0.02);
        EXPECT_LT(std::fabs(v.front()), 0.03) << "starts with a click";
        EXPECT_LT(std::fabs(v.back()), 0.03) << "ends with a click";
    }
}
