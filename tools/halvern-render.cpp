// halvern-render: runs a WAV file (or a built-in demo chord) through the
// plug-in, loaded from its library exactly as a host loads it: the VST 2
// library or the CLAP plug-in, whichever --plugin names.
//
//   halvern-render [options] INPUT [OUTPUT]   (OUTPUT: INPUT-halvern.wav beside it)
//   halvern-render [options] --demo OUTPUT
//
// Every value is checked before anything is rendered; a bad one is refused
// with a one-line reason and exit status 2. No file is written over unless
// --force is given, and the input never is.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "DemoSignal.h"
#include "ParameterSetting.h"
#include "RenderSession.h"
#include "SpeakerDescriptor.h"

namespace fs = std::filesystem;

namespace {

constexpr int kUsageError = 2;

struct SpeedSwitch {
    double seconds;
    bool fast;
};

struct Options {
    std::string plugin;
    std::string input;
    std::string output;
    bool demo = false;
    bool force = false;
    int block = 512;
    double demoSeconds = 12.0;
    std::string format;  // "16", "24", "float" or empty: from the input
    std::vector<ParameterSetting> settings;
    std::vector<SpeedSwitch> switches;
};

int refuse(const std::string& reason) {
    std::fprintf(stderr, "halvern-render: %s\n", reason.c_str());
    return kUsageError;
}

std::string besideThisProgram(const char* file) {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return file;
    path[length] = 0;
    std::string dir(path);
    return dir.substr(0, dir.rfind('/') + 1) + file;
}

// song.wav -> song-halvern.wav in the same folder.
std::string outputBeside(const std::string& input) {
    const fs::path path(input);
    return (path.parent_path() / (path.stem().string() + "-halvern.wav")).string();
}

// Parses and checks the command line. Answers -1 to go on, or the exit status.
int parseOptions(int argc, char** argv, Options& options) {
    CLI::App app{"Renders an audio file, or a demo chord, through the Halvern plug-in.", "halvern-render"};
    app.set_version_flag("--version", std::string("halvern-render ") + HALVERN_VERSION);
    app.footer("Usage: halvern-render [OPTIONS] INPUT [OUTPUT]\n       halvern-render [OPTIONS] --demo OUTPUT");
    std::vector<std::string> files, sets, norms;
    std::vector<double> fastAt, slowAt;
    std::string demo;
    app.add_option("INPUT [OUTPUT]", files, "the file to render, and where to (default: INPUT-halvern.wav beside it)")
        ->expected(1, 2);
    app.add_option("--demo", demo, "render the built-in organ chord into this file instead of an input");
    app.add_option("--plugin", options.plugin,
                   "the plug-in: the VST 2 library or Halvern.clap (default: Halvern.so next to this program)");
    app.add_option("--block", options.block, "block size in frames, 1 to 65536 (default 512)");
    // Options that may be given again and again, one value each time: the
    // word after one is its value, and the next word is a file name again.
    auto repeated = [&app](const char* name, auto& values, const char* help) {
        app.add_option(name, values, help)
            ->expected(1)
            ->allow_extra_args(false)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    };
    repeated("--set", sets, "NAME=VALUE in the units the parameter shows (distortion=80, speedkey=CTRL64, brake=on)");
    repeated("--norm", norms, "NAME=X with X the normalised value 0..1");
    repeated("--fast-at", fastAt, "switch the rotors to fast at this time in seconds (MIDI)");
    repeated("--slow-at", slowAt, "switch them to slow at this time");
    CLI::Option* seconds = app.add_option("--seconds", options.demoSeconds, "length of the demo, up to 3600 (default 12)");
    app.add_option("--format", options.format, "output samples: 16, 24 or float (default: float for float input, else 24)")
        ->check(CLI::IsMember({"16", "24", "float"}));
    app.add_flag("--force", options.force, "write over an existing output file");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return refuse(e.what());
    }

    options.demo = !demo.empty();
    if (options.demo) {
        if (!files.empty()) return refuse("--demo renders no input file; give either --demo OUTPUT or INPUT [OUTPUT]");
        options.output = demo;
    } else {
        if (files.empty()) return refuse("give an input file (or --demo OUTPUT); --help tells more");
        if (seconds->count()) return refuse("--seconds sets the length of the demo only");
        options.input = files[0];
        options.output = files.size() == 2 ? files[1] : outputBeside(files[0]);
    }
    if (!(options.demoSeconds > 0.0 && options.demoSeconds <= 3600.0))
        return refuse("--seconds must be more than 0 and at most 3600");
    if (options.block < 1 || options.block > 65536) return refuse("--block must be from 1 to 65536");
    std::string error;
    for (const auto& [texts, normalized] : {std::pair{&sets, false}, std::pair{&norms, true}})
        for (const std::string& text : *texts) {
            ParameterSetting setting{};
            if (!parseSetting(text, normalized, kNumCabinetParameters, setting, error)) return refuse(error);
            options.settings.push_back(setting);
        }
    for (double s : fastAt) options.switches.push_back({s, true});
    for (double s : slowAt) options.switches.push_back({s, false});
    if (options.plugin.empty()) options.plugin = besideThisProgram("Halvern.so");
    return -1;
}

// Where the output may go: never onto the input, onto another file only with --force.
bool outputAllowed(const Options& options, std::string& error) {
    std::error_code ignored;
    if (!options.input.empty() && fs::equivalent(options.input, options.output, ignored)) {
        error = "the output " + options.output + " is the input; give another output name";
        return false;
    }
    if (fs::exists(options.output, ignored) && !options.force) {
        error = options.output + " exists; give --force to write over it";
        return false;
    }
    return true;
}

void showProgress(double fraction) {
    if (!isatty(2)) return;
    const int width = 40, filled = static_cast<int>(fraction * width);
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(width - filled, ' ').c_str(), static_cast<int>(fraction * 100));
    if (fraction >= 1.0) std::fputc('\n', stderr);
}

SampleFormat outputFormat(const Options& options, const StereoAudio& input) {
    if (options.format == "16") return SampleFormat::Pcm16;
    if (options.format == "24") return SampleFormat::Pcm24;
    if (options.format == "float" || (options.format.empty() && input.floatingPoint)) return SampleFormat::Float;
    return SampleFormat::Pcm24;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int parsed = parseOptions(argc, argv, options);
    if (parsed >= 0) return parsed;
    std::string error;
    if (!outputAllowed(options, error)) return refuse(error);

    StereoAudio audio;
    if (options.demo) {
        audio.left = organChord(options.demoSeconds, audio.sampleRate);
        audio.right = audio.left;
        // Unless told otherwise, fast after a quarter and slow again after two
        // thirds of the demo (3 s and 8 s of the 12 s one).
        if (options.switches.empty())
            options.switches = {{options.demoSeconds / 4, true}, {options.demoSeconds * 2 / 3, false}};
    } else if (!readAudio(options.input, audio, error)) {
        return refuse(error);
    }
    const double duration = audio.left.size() / audio.sampleRate;
    for (const SpeedSwitch& s : options.switches)
        if (!(s.seconds >= 0.0 && s.seconds < duration)) {
            char reason[160];
            std::snprintf(reason, sizeof reason, "a speed switch at %g s lies outside the %.3f s of audio", s.seconds,
                          duration);
            return refuse(reason);
        }

    PluginLibrary library(options.plugin);
    if (!library.loaded()) {
        std::fprintf(stderr, "halvern-render: cannot load %s\n", options.plugin.c_str());
        return 1;
    }
    std::unique_ptr<RenderSession> opened =
        RenderSession::open(library, options.plugin, static_cast<float>(audio.sampleRate), options.block, error);
    if (!opened) {
        std::fprintf(stderr, "halvern-render: %s\n", error.c_str());
        return 1;
    }
    RenderSession& session = *opened;
    for (const ParameterSetting& setting : options.settings)
        if (setting.index >= session.parameterCount())
            return refuse("the " + std::string(session.formatName()) + " plug-in has no parameter " +
                          typedParameterName(setting.index) +
                          "; the extended cabinet's parameters are in the CLAP and LV2 plug-ins");
    for (const ParameterSetting& setting : options.settings) session.setParameter(setting.index, setting.normalized);
    if (!options.switches.empty()) {
        // Speed switches travel as MIDI: make sure a controller is listening.
        const ParameterInfo& keys = kCabinetParameters[kSpeedKey];
        int key = static_cast<int>(keys.toValue(session.parameter(kSpeedKey)));
        if (kSpeedKeys[key].controller < 0) {
            std::fprintf(stderr, "halvern-render: speed key was %s; switching by MIDI controller %d\n",
                         kSpeedKeys[key].name, kSpeedKeys[kKeyCtrl64].controller);
            key = kKeyCtrl64;
            session.setParameter(kSpeedKey, keys.toNormalized(static_cast<float>(key)));
        }
        const int controller = kSpeedKeys[key].controller;
        for (const SpeedSwitch& s : options.switches) session.scheduleSpeed(s.seconds, s.fast, controller);
    }
    for (int i = 0; i < session.parameterCount(); ++i)
        std::fprintf(stderr, "  %-13s %s\n", session.parameterName(i).c_str(), session.parameterDisplay(i).c_str());

    StereoAudio rendered;
    rendered.sampleRate = audio.sampleRate;
    rendered.left.resize(audio.left.size());
    rendered.right.resize(audio.right.size());
    session.render(audio.left.data(), audio.right.data(), rendered.left.data(), rendered.right.data(),
                   static_cast<long>(audio.left.size()), showProgress);

    const SampleFormat format = outputFormat(options, audio);
    OutputLevel level;
    if (!writeAudio(options.output, rendered, format, level, error)) {
        std::fprintf(stderr, "halvern-render: %s\n", error.c_str());
        return 1;
    }
    if (level.peak > 1.0) {
        std::fprintf(stderr, "halvern-render: the output peaks at %+.1f dBFS", 20.0 * std::log10(level.peak));
        if (format == SampleFormat::Float)
            std::fprintf(stderr, " (kept in the float file)\n");
        else
            std::fprintf(stderr, "; %ld samples were clipped (--format float keeps them)\n", level.clipped);
    }
    std::fprintf(stderr, "halvern-render: wrote %s (%.1f s at %.0f Hz, %s)\n", options.output.c_str(), duration,
                 audio.sampleRate, format == SampleFormat::Float ? "float" : format == SampleFormat::Pcm16 ? "16-bit" : "24-bit");
    return 0;
}
