// kelvoran: the command-line face of the plug-in. Every command runs the same effect
// object a host loads.
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "presets/factory.h"
#include "tools/kelvoran/export_ir.h"
#include "tools/kelvoran/host.h"

using namespace kelvoran;
using namespace kelvoran::tools;

namespace {

int fail(const std::string& message, int code = 1) {
    std::fprintf(stderr, "kelvoran: %s\n", message.c_str());
    return code;
}

const char* kUsage =
    "usage:\n"
    "  kelvoran programs\n"
    "  kelvoran render IN OUT [--program N|NAME] [--set NAME=VALUE ...] [--outputs 2|4|5]\n"
    "  kelvoran export-ir OUT [--program N|NAME] [--format wav16|wav32|raw] [--rate 44100|48000|96000]\n"
    "                     [--mono-files] [--no-normalise] [--outputs 2|4|5]\n"
    "  kelvoran demo [DIR]\n";

std::string folded(const std::string& s) {
    std::string out;
    for (char c : s)
        if (std::isalnum(static_cast<unsigned char>(c))) out += char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool parseNumber(const std::string& s, double& value) {
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return !s.empty() && end && *end == 0 && std::isfinite(value);
}

// A program by number or by name (case, spaces and punctuation do not matter).
int findProgram(PluginHost& host, const std::string& what) {
    double n;
    if (parseNumber(what, n)) return n == std::floor(n) && n >= 0 && n < kNumPrograms ? int(n) : -1;
    auto names = host.programNames();
    for (int i = 0; i < int(names.size()); ++i)
        if (folded(names[i]) == folded(what)) return i;
    for (int i = 0; i < int(names.size()); ++i)  // the name without its category
        if (auto colon = names[i].find(':'); colon != std::string::npos && folded(names[i].substr(colon + 1)) == folded(what))
            return i;
    return -1;
}

int findParameter(PluginHost& host, const std::string& what) {
    auto names = host.parameterNames();
    for (int i = 0; i < int(names.size()); ++i)
        if (folded(names[i]) != "" && folded(names[i]) == folded(what)) return i;
    double n;
    if (parseNumber(what, n) && n == std::floor(n) && n >= 0 && n < 47) return int(n);
    return -1;
}

struct Options {
    std::vector<std::string> positional;
    std::string program = "0";
    std::vector<std::string> sets;
    int outputs = 2;
    ExportSettings exportSettings;
};

// Parses the flags every command shares; returns an error text or "".
std::string parseOptions(int argc, char** argv, int first, Options& o) {
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--program") {
            if (!value(o.program)) return "--program needs a number or a name";
        } else if (a == "--set") {
            if (!value(v)) return "--set needs NAME=VALUE";
            o.sets.push_back(v);
        } else if (a == "--outputs") {
            if (!value(v) || (v != "2" && v != "4" && v != "5")) return "--outputs takes 2, 4 or 5";
            o.outputs = std::stoi(v);
        } else if (a == "--format") {
            if (!value(v) || !parseExportFormat(v, o.exportSettings)) return "--format takes wav16, wav32 or raw";
        } else if (a == "--rate") {
            if (!value(v) || (v != "44100" && v != "48000" && v != "96000")) return "--rate takes 44100, 48000 or 96000";
            o.exportSettings.rate = std::stoi(v);
        } else if (a == "--mono-files") {
            o.exportSettings.monoFiles = true;
        } else if (a == "--no-normalise" || a == "--no-normalize") {
            o.exportSettings.normalise = false;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else {
            o.positional.push_back(a);
        }
    }
    o.exportSettings.outputs = o.outputs;
    return "";
}

// Program and parameter settings on a fresh host; returns an error text or "".
std::string applyChoices(PluginHost& host, const Options& o) {
    int program = findProgram(host, o.program);
    if (program < 0) return "no program \"" + o.program + "\" (see: kelvoran programs)";
    host.setProgram(program);
    for (const std::string& s : o.sets) {
        auto eq = s.find('=');
        double value;
        if (eq == std::string::npos || !parseNumber(s.substr(eq + 1), value)) return "--set needs NAME=VALUE, got \"" + s + "\"";
        int index = findParameter(host, s.substr(0, eq));
        if (index < 0) return "no parameter \"" + s.substr(0, eq) + "\"";
        host.setParameter(index, float(value));
    }
    // The outputs choice follows the output count asked for.
    host.setParameter(46, o.outputs == 2 ? 0.0f : o.outputs == 4 ? 1.0f : 2.0f);
    return "";
}

int commandPrograms() {
    PluginHost host(44100.0f, 2);
    if (!host.ok()) return fail("the plug-in could not be created");
    auto names = host.programNames();
    for (const Category& c : kCategories) {
        std::printf("%s\n", c.menuTitle);
        for (int i = c.first; i < c.first + c.count; ++i) std::printf("  %2d  %s\n", i, names[i].c_str());
    }
    return 0;
}

struct Audio {
    int rate = 44100, channels = 2;
    std::vector<float> samples;  // interleaved
};

std::string readAudio(const std::string& path, Audio& a) {
    SF_INFO info = {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return "cannot read " + path + ": " + sf_strerror(nullptr);
    a.rate = info.samplerate;
    a.channels = info.channels;
    a.samples.resize(size_t(info.frames) * info.channels);
    sf_count_t got = sf_readf_float(f, a.samples.data(), info.frames);
    sf_close(f);
    a.samples.resize(size_t(got) * a.channels);
    if (a.channels < 1 || a.rate <= 0) return "no audio in " + path;
    return "";
}

int formatFor(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    if (ext == ".aif" || ext == ".aiff") return SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
    if (ext == ".ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

std::string writeAudio(const std::string& path, const Audio& a) {
    SF_INFO info = {};
    info.samplerate = a.rate;
    info.channels = a.channels;
    info.format = formatFor(path);
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return "cannot write " + path + ": " + sf_strerror(nullptr);
    sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_count_t frames = sf_count_t(a.samples.size() / a.channels);
    sf_count_t put = sf_writef_float(f, a.samples.data(), frames);
    sf_close(f);
    if (put != frames) return "could not write all of " + path;
    return "";
}

// The input through the plug-in, then silence until the tail has rung out (or the longest
// tail the history can hold).
Audio renderThrough(PluginHost& host, const Audio& in, bool progress) {
    const int frames = int(in.samples.size() / in.channels);
    const int step = in.rate / 10;
    Audio out;
    out.rate = in.rate;
    out.channels = host.outputs();
    std::vector<float> stereo(2 * size_t(step)), block(size_t(step) * out.channels);
    const int maxTail = (1 << 20) + in.rate;
    float quietFor = 0;
    for (int pos = 0; pos < frames + maxTail; pos += step) {
        int n = step;
        for (int j = 0; j < n; ++j) {
            int f = pos + j;
            float l = 0, r = 0;
            if (f < frames) {
                l = in.samples[size_t(f) * in.channels];
                r = in.channels > 1 ? in.samples[size_t(f) * in.channels + 1] : l;
            }
            stereo[2 * j] = l, stereo[2 * j + 1] = r;
        }
        host.process(stereo.data(), block.data(), n);
        out.samples.insert(out.samples.end(), block.begin(), block.end());
        if (pos >= frames) {
            float peak = 0;
            for (float x : block) peak = std::max(peak, std::fabs(x));
            quietFor = peak < 3e-5f ? quietFor + 0.1f : 0;  // about -90 dBFS
            if (quietFor >= 0.5f) break;
        }
        if (progress && pos % (in.rate * 10) < step && pos < frames)
            std::fprintf(stderr, "\rrendering %3d%%", int(100.0 * pos / frames));
    }
    if (progress) std::fprintf(stderr, "\rrendering 100%%\n");
    return out;
}

int commandRender(const Options& o) {
    if (o.positional.size() != 2) return fail("render needs IN and OUT", 2);
    Audio in;
    if (auto e = readAudio(o.positional[0], in); !e.empty()) return fail(e);
    PluginHost host(float(in.rate), o.outputs);
    if (!host.ok()) return fail("the plug-in could not be created at " + std::to_string(in.rate) + " Hz");
    if (auto e = applyChoices(host, o); !e.empty()) return fail(e, 2);
    bool longFile = in.samples.size() / in.channels > size_t(in.rate) * 20;
    Audio out = renderThrough(host, in, longFile);
    if (auto e = writeAudio(o.positional[1], out); !e.empty()) return fail(e);
    std::printf("wrote %s: %d channels, %d Hz, %.2f s\n", o.positional[1].c_str(), out.channels, out.rate,
                double(out.samples.size() / out.channels) / out.rate);
    return 0;
}

int commandExport(const Options& o) {
    if (o.positional.size() != 1) return fail("export-ir needs OUT", 2);
    PluginHost host(float(o.exportSettings.rate), o.outputs);
    if (!host.ok()) return fail("the plug-in could not be created");
    if (auto e = applyChoices(host, o); !e.empty()) return fail(e, 2);
    std::vector<std::string> written;
    if (auto e = exportImpulse(host, o.exportSettings, o.positional[0], written); !e.empty()) return fail(e);
    for (const std::string& f : written) std::printf("wrote %s\n", f.c_str());
    return 0;
}

// A short dry phrase: clicks, a plucked string and noise bursts, in stereo.
Audio demoPhrase() {
    Audio a;
    a.rate = 44100;
    const int n = a.rate * 4;
    a.samples.assign(2 * size_t(n), 0.0f);
    uint32_t seed = 12345;
    auto noise = [&] { return float(int32_t(seed = seed * 1664525u + 1013904223u)) / 2147483648.0f; };
    for (int c = 0; c < 3; ++c) a.samples[2 * size_t(c * a.rate / 4)] = a.samples[2 * size_t(c * a.rate / 4) + 1] = 0.9f;
    // Karplus-Strong pluck at 196 Hz from 1 s.
    int period = a.rate / 196;
    std::vector<float> string(period);
    for (float& s : string) s = 0.5f * noise();
    for (int j = 0, k = 0; j < a.rate * 3 / 2; ++j, k = (k + 1) % period) {
        float next = string[(k + 1) % period];
        float v = string[k];
        string[k] = 0.996f * 0.5f * (v + next);
        size_t f = size_t(a.rate) + j;
        a.samples[2 * f] += 0.8f * v, a.samples[2 * f + 1] += 0.6f * v;
    }
    // Noise bursts, left then right, at 2.8 and 3.3 s.
    for (int b = 0; b < 2; ++b)
        for (int j = 0; j < a.rate / 20; ++j) {
            size_t f = size_t(a.rate) * 28 / 10 + size_t(b) * a.rate / 2 + j;
            float env = 1.0f - float(j) / (a.rate / 20);
            a.samples[2 * f + b] += 0.5f * env * noise();
        }
    return a;
}

int commandDemo(const Options& o) {
    if (o.positional.size() > 1) return fail("demo takes at most one folder", 2);
    std::filesystem::path dir = o.positional.empty() ? "kelvoran-demo" : o.positional[0];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return fail("cannot create " + dir.string() + ": " + ec.message());
    Audio dry = demoPhrase();
    PluginHost host(float(dry.rate), 2);
    if (!host.ok()) return fail("the plug-in could not be created");
    if (auto e = applyChoices(host, o); !e.empty()) return fail(e, 2);
    auto names = host.programNames();
    int program = findProgram(host, o.program);
    Audio wet = renderThrough(host, dry, false);
    std::string dryPath = (dir / "dry.wav").string(), wetPath = (dir / "wet.wav").string();
    if (auto e = writeAudio(dryPath, dry); !e.empty()) return fail(e);
    if (auto e = writeAudio(wetPath, wet); !e.empty()) return fail(e);
    std::printf("program %d, %s\n", program, names[program].c_str());
    std::printf("wrote %s (%.2f s dry test phrase)\n", dryPath.c_str(), double(dry.samples.size() / 2) / dry.rate);
    std::printf("wrote %s (%.2f s through the reverb)\n", wetPath.c_str(), double(wet.samples.size() / 2) / wet.rate);
    ExportSettings settings;
    std::vector<std::string> written;
    if (auto e = exportImpulse(host, settings, (dir / "impulse.wav").string(), written); !e.empty()) return fail(e);
    for (const std::string& f : written) std::printf("wrote %s (impulse response)\n", f.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::string command = argv[1];
    Options o;
    if (auto e = parseOptions(argc, argv, 2, o); !e.empty()) return fail(e, 2);
    if (command == "programs") return o.positional.empty() ? commandPrograms() : fail("programs takes no arguments", 2);
    if (command == "render") return commandRender(o);
    if (command == "export-ir") return commandExport(o);
    if (command == "demo") return commandDemo(o);
    return fail("unknown command \"" + command + "\"\n" + kUsage, 2);
}
