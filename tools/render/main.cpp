// vlt2-render: plays a MIDI file through a VST 2.4 instrument and writes the
// result to an audio file.
#include "host/VendorRequests.h"
#include "sources/BuiltinSounds.h"
#include "tools/render/MidiFile.h"
#include "tools/render/PluginHost.h"
#include "tools/render/StateFile.h"

#include <sndfile.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: vlt2-render [options] PLUGIN MIDIFILE -o OUT\n"
    "       vlt2-render --audition SOUND [--note N] [options] [PLUGIN] -o OUT\n"
    "       vlt2-render --list-sounds\n"
    "       vlt2-render --screenshot PNG [PLUGIN]\n"
    "  PLUGIN          a VST 2.4 plug-in: its .so, or its .vst bundle directory\n"
    "  MIDIFILE        a Standard MIDI File (format 0, 1 or 2)\n"
    "  -o OUT          output file: .wav, .aiff, .flac or .ogg\n"
    "  --rate HZ       sample rate (default 44100)\n"
    "  --block N       block size in frames (default 512)\n"
    "  --tail SECONDS  time rendered after the song ends (default 2)\n"
    "  --state FILE    restore an .fxp, an .fxb or a raw chunk before playing\n"
    "  --progress      show progress even when stderr is not a terminal\n"
    "  --timing        print the load time and the real-time factor\n"
    "  -v, --verbose   print what was loaded and rendered\n"
    "  --audition SOUND  play one note of a built-in sound (by display name), a\n"
    "                  resource path or a sound file through Volantor 2; PLUGIN\n"
    "                  defaults to the Volantor2.vst built beside this program\n"
    "  --note N        the note --audition plays (default 60)\n"
    "  --list-sounds   print the built-in sounds and the resource paths\n"
    "  --screenshot PNG  open the plug-in's editor offscreen and write its window\n";

struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

struct Options
{
    std::string plugin, midi, output, state, audition, screenshot;
    int note = 60;
    int rate = 44100;
    int block = 512;
    double tail = 2.0;
    bool progress = false, timing = false, verbose = false;
};

double number(const std::string& option, const std::string& text, double low, double high)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || !(value >= low && value <= high))
        throw UsageError(option + " wants a number from " + std::to_string((long long)low) + " to " +
                         std::to_string((long long)high) + ", not '" + text + "'");
    return value;
}

int integer(const std::string& option, const std::string& text, int low, int high)
{
    const double value = number(option, text, low, high);
    if (value != std::floor(value))
        throw UsageError(option + " wants a whole number, not '" + text + "'");
    return (int)value;
}

// The built-in sounds by id, then every resource path.
void listSounds()
{
    makeName();
    makeName2();
    for (int id = 0; id < kBuiltinCount; ++id)
        std::printf("%d\t%s\t%s\n", id, builtinSound(id)->category, internalInstrumentName[id]);
    std::printf("%s\n%s\n", kId53Path, kId54Path);
    for (const auto& list : {std::make_pair(stabs2Name, kStabs2Count), std::make_pair(stabs3Name, kStabs3Count),
                             std::make_pair(instru2Name, kInstru2Count), std::make_pair(voice2Name, kVoice2Count)})
        for (int i = 0; i < list.second; ++i)
            std::printf("%s\n", list.first[i].c_str());
}

// A path relative to the directory of this executable.
std::string besideThisProgram(const std::string& relative)
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0)
        return relative;
    self[n] = 0;
    std::string dir = self;
    const std::string path = dir.substr(0, dir.find_last_of('/') + 1) + relative;
    char resolved[4096];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// One note, held for a second and a half at 120 beats per minute.
std::vector<uint8_t> oneNoteSong(int note)
{
    const uint8_t n = (uint8_t)note;
    const std::vector<uint8_t> track = {0x00, 0x90, n, 100, 0x8B, 0x20, 0x80, n, 0, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,
                                (uint8_t)track.size()};
    smf.insert(smf.end(), track.begin(), track.end());
    return smf;
}

Options parseArguments(int argc, char** argv)
{
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        bool hasValue = false;
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && arg.find('=') != std::string::npos) {
            value = arg.substr(arg.find('=') + 1);
            arg.resize(arg.find('='));
            hasValue = true;
        }
        auto next = [&]() -> std::string {
            if (hasValue)
                return value;
            if (i + 1 >= argc)
                throw UsageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg == "-o" || arg == "--output") {
            o.output = next();
        } else if (arg == "--rate") {
            o.rate = integer(arg, next(), 8000, 384000);
        } else if (arg == "--block") {
            o.block = integer(arg, next(), 1, 16384);
        } else if (arg == "--tail") {
            o.tail = number(arg, next(), 0, 3600);
        } else if (arg == "--state") {
            o.state = next();
        } else if (arg == "--list-sounds") {
            listSounds();
            std::exit(0);
        } else if (arg == "--screenshot") {
            o.screenshot = next();
        } else if (arg == "--audition") {
            o.audition = next();
        } else if (arg == "--note") {
            o.note = integer(arg, next(), 0, 127);
        } else if (arg == "--progress") {
            o.progress = true;
        } else if (arg == "--timing") {
            o.timing = true;
        } else if (arg == "-v" || arg == "--verbose") {
            o.verbose = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (!o.screenshot.empty()) {
        if (positional.size() > 1)
            throw UsageError("--screenshot takes at most a PLUGIN");
        o.plugin = positional.empty() ? besideThisProgram("../../Volantor2.vst") : positional[0];
        return o;
    }
    if (o.output.empty())
        throw UsageError("no output file (-o OUT)");
    if (!o.audition.empty()) {
        if (positional.size() > 1)
            throw UsageError("--audition takes at most a PLUGIN");
        o.plugin = positional.empty() ? besideThisProgram("../../Volantor2.vst") : positional[0];
        return o;
    }
    if (positional.size() != 2)
        throw UsageError("expected PLUGIN and MIDIFILE");
    o.plugin = positional[0];
    o.midi = positional[1];
    return o;
}

// The output type follows the extension; integer formats are 24-bit.
int outputFormat(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    std::string ext = (dot == std::string::npos || (slash != std::string::npos && dot < slash)) ? ""
                                                                                               : path.substr(dot + 1);
    for (char& c : ext)
        c = (char)std::tolower((unsigned char)c);
    if (ext == "wav" || ext == "wave")
        return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    if (ext == "aiff" || ext == "aif")
        return SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
    if (ext == "flac")
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    if (ext == "ogg" || ext == "oga")
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    throw std::runtime_error(path + ": unknown output type" + (ext.empty() ? "" : " '." + ext + "'") +
                             " (use .wav, .aiff, .flac or .ogg)");
}


// Writes blocks as they come; removes a half-written file unless kept.
class Output
{
public:
    Output(const std::string& path, int format, int rate) : path(path)
    {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = 2;
        info.format = format;
        if (!sf_format_check(&info))
            throw std::runtime_error(path + ": this libsndfile cannot write that type");
        file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (!file)
            throw std::runtime_error(path + ": cannot write: " + sf_strerror(nullptr));
        // Overs clip instead of wrapping around in integer formats.
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }

    ~Output()
    {
        if (file) {
            sf_close(file);
            std::remove(path.c_str());
        }
    }

    void write(const float* left, const float* right, int frames)
    {
        interleaved.resize(2 * (size_t)frames);
        for (int k = 0; k < frames; ++k) {
            interleaved[2 * k] = left[k];
            interleaved[2 * k + 1] = right[k];
        }
        if (sf_writef_float(file, interleaved.data(), frames) != frames)
            throw std::runtime_error(path + ": write failed: " + sf_strerror(file));
    }

    void finish()
    {
        const int status = sf_close(file);
        file = nullptr;
        if (status != 0)
            throw std::runtime_error(path + ": closing failed: " + sf_error_number(status));
    }

private:
    std::string path;
    SNDFILE* file = nullptr;
    std::vector<float> interleaved;
};

// Set while a progress line waits for its end; an error starts a line of its own.
bool lineOpen = false;

void error(const char* message) { std::fprintf(stderr, "%svlt2-render: %s\n", lineOpen ? "\n" : "", message); }

// Carriage-return progress line, at most a few times a second.
class Progress
{
public:
    Progress(bool enabled, int rate) : enabled(enabled), rate(rate) {}

    void operator()(int64_t done, int64_t total)
    {
        if (!enabled || total < (int64_t)rate * kMinSeconds)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (done < total && shown && now - last < std::chrono::milliseconds(200))
            return;
        last = now;
        shown = true;
        std::fprintf(stderr, "\rvlt2-render: %.1f of %.1f s (%d%%)", (double)done / rate, (double)total / rate,
                     (int)(100 * done / total));
        lineOpen = done < total;
        if (!lineOpen)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    static constexpr int kMinSeconds = 5;
    bool enabled;
    int rate;
    bool shown = false;
    std::chrono::steady_clock::time_point last;
};

int screenshot(const Options& o)
{
    const std::string library = render::resolvePluginPath(o.plugin);
    render::PluginHost host(library);
    int width = 0, height = 0;
    host.screenshot(o.screenshot, width, height);
    if (o.verbose)
        std::printf("wrote %s: the editor's window, %d x %d\n", o.screenshot.c_str(), width, height);
    return 0;
}

int run(const Options& o)
{
    if (!o.screenshot.empty())
        return screenshot(o);
    const int format = outputFormat(o.output);
    const std::string library = render::resolvePluginPath(o.plugin);

    std::optional<render::MidiFile> song;
    try {
        song = o.audition.empty() ? render::MidiFile::load(o.midi) : render::MidiFile::parse(oneNoteSong(o.note));
    } catch (const render::MidiFileError& e) {
        throw std::runtime_error(o.midi + ": " + e.what());
    }
    std::optional<render::StateFile> state;
    if (!o.state.empty()) {
        try {
            state = render::StateFile::load(o.state);
        } catch (const render::StateFileError& e) {
            throw std::runtime_error(o.state + ": " + e.what());
        }
    }

    render::PluginHost host(library);
    const AEffect* e = host.effect();
    if (o.verbose) {
        std::printf("plug-in: %s\n", library.c_str());
        std::printf("  id '%s', version %d, %d in, %d out, %d programs, %d parameters%s%s\n",
                    render::fourCC(e->uniqueID).c_str(), e->version, e->numInputs, e->numOutputs, e->numPrograms,
                    e->numParams, (e->flags & effFlagsIsSynth) ? ", instrument" : "",
                    (e->flags & effFlagsProgramChunks) ? ", state in chunks" : "");
        std::printf("song: %s, format %d, %d tracks, %d ticks per quarter, %zu events, %.2f s\n", o.midi.c_str(),
                    song->format(), song->trackCount(), song->ticksPerQuarter(), song->events().size(),
                    song->lengthSeconds());
        if (state)
            std::printf("state: %s (%s)\n", o.state.c_str(), state->kindName());
    }
    if (o.verbose || o.timing)
        std::printf("load: %.3f ms from dlopen to VSTPluginMain returning\n", host.loadSeconds() * 1e3);

    Output output(o.output, format, o.rate);
    Progress progress(o.progress || isatty(STDERR_FILENO), o.rate);
    render::RenderOptions options;
    options.sampleRate = o.rate;
    options.blockSize = o.block;
    options.tailSeconds = o.tail;
    options.progress = [&progress](int64_t done, int64_t total) { progress(done, total); };
    if (!o.audition.empty()) {
        options.prepare = [&o](AEffect* effect) {
            if (!effect->dispatcher(effect, effVendorSpecific, kAuditionSelector, 0,
                                    const_cast<char*>(o.audition.c_str()), 0))
                throw std::runtime_error(o.audition + ": the plug-in cannot play this sound");
        };
    }

    const render::RenderStats stats =
        host.render(*song, state ? &*state : nullptr, options,
                    [&output](const float* left, const float* right, int frames) { output.write(left, right, frames); });
    output.finish();

    const double seconds = (double)stats.frames / o.rate;
    const double peakDb = stats.peak > 0 ? 20 * std::log10(stats.peak) : -INFINITY;
    auto factor = [seconds](double wall) { return wall > 0 ? seconds / wall : INFINITY; };
    if (o.verbose || o.timing)
        std::printf("render: %.2f s of audio; real-time factor %.1f (%.3f s inside the plug-in), "
                    "%.1f with the file written (%.3f s)\n",
                    seconds, factor(stats.processSeconds), stats.processSeconds, factor(stats.wallSeconds),
                    stats.wallSeconds);
    if (o.verbose)
        std::printf("wrote %s: %lld frames at %d Hz, %d events, peak %.1f dBFS\n", o.output.c_str(),
                    (long long)stats.frames, o.rate, stats.eventsSent, peakDb);
    if (stats.peak > 1.f)
        std::fprintf(stderr, "vlt2-render: warning: the output clipped (peak %+.1f dBFS)\n", peakDb);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return run(parseArguments(argc, argv));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vlt2-render: %s (see --help)\n", e.what());
        return 2;
    } catch (const std::bad_alloc&) {
        error("out of memory");
        return 1;
    } catch (const std::exception& e) {
        error(e.what());
        return 1;
    }
}
