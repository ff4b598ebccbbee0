// halvern-render: runs a WAV file (or a built-in demo chord) through the
// plug-in, loaded from its library exactly as a host loads it.
//
//   halvern-render [options] [input.wav] output.wav
//     --plugin PATH       the plug-in library (default: next to this program)
//     --block N           block size in frames (default 512)
//     --set NAME=VALUE    a parameter in the units it displays (distortion=80,
//                         speedkey=CTRL64, speed-toggle=fast)
//     --norm NAME=X       a parameter as a normalised value 0..1
//     --fast-at SECONDS   switch the rotors to fast at that time (MIDI)
//     --slow-at SECONDS   switch them to slow
//     --seconds S         length of the demo (default 12)
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DemoSignal.h"
#include "RenderSession.h"

namespace {

struct ParameterSetting {
    std::string name;
    std::string value;
    bool normalized;
};

struct SpeedSwitch {
    double seconds;
    bool fast;
};

struct Options {
    std::string plugin;
    std::string input;
    std::string output;
    int block = 512;
    double demoSeconds = 12.0;
    std::vector<ParameterSetting> settings;
    std::vector<SpeedSwitch> switches;
};

void usage() {
    std::fprintf(stderr,
                 "usage: halvern-render [--plugin PATH] [--block N] [--set NAME=VALUE] [--norm NAME=X]\n"
                 "                      [--fast-at S] [--slow-at S] [--seconds S] [input.wav] output.wav\n");
}

std::string besideThisProgram(const char* file) {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return file;
    path[length] = 0;
    std::string dir(path);
    return dir.substr(0, dir.rfind('/') + 1) + file;
}

bool parseOptions(int argc, char** argv, Options& options) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* value = nullptr;
        if (arg == "--plugin" && (value = next())) {
            options.plugin = value;
        } else if (arg == "--block" && (value = next())) {
            options.block = std::atoi(value);
        } else if (arg == "--seconds" && (value = next())) {
            options.demoSeconds = std::atof(value);
        } else if ((arg == "--set" || arg == "--norm") && (value = next())) {
            const std::string pair = value;
            const size_t equals = pair.find('=');
            if (equals == std::string::npos) return false;
            options.settings.push_back({pair.substr(0, equals), pair.substr(equals + 1), arg == "--norm"});
        } else if ((arg == "--fast-at" || arg == "--slow-at") && (value = next())) {
            options.switches.push_back({std::atof(value), arg == "--fast-at"});
        } else if (!arg.empty() && arg[0] != '-') {
            files.push_back(arg);
        } else {
            return false;
        }
    }
    if (files.empty() || files.size() > 2 || options.block <= 0) return false;
    options.output = files.back();
    if (files.size() == 2) options.input = files[0];
    if (options.plugin.empty()) options.plugin = besideThisProgram("Halvern.so");
    return true;
}

// Finds the normalised value for a setting in display units: a list entry by
// its name, a number by the linear scale between the displays at 0 and 1.
bool normalizedValue(RenderSession& session, int index, const ParameterSetting& setting, float& x) {
    if (setting.normalized) {
        x = static_cast<float>(std::atof(setting.value.c_str()));
        return true;
    }
    const float saved = session.parameter(index);
    auto displayAt = [&](float v) {
        session.setParameter(index, v);
        return session.parameterDisplay(index);
    };
    bool found = false;
    for (int step = 0; step <= 1000 && !found; ++step) {
        if (displayAt(step / 1000.0f) == setting.value) {
            x = step / 1000.0f;
            found = true;
        }
    }
    if (!found) {
        char* end = nullptr;
        const double wanted = std::strtod(setting.value.c_str(), &end);
        const double low = std::atof(displayAt(0.0f).c_str()), high = std::atof(displayAt(1.0f).c_str());
        if (end != setting.value.c_str() && *end == 0 && high != low) {
            x = static_cast<float>((wanted - low) / (high - low));
            found = true;
        }
    }
    session.setParameter(index, saved);
    return found;
}

void showProgress(double fraction) {
    if (!isatty(2)) return;
    const int width = 40, filled = static_cast<int>(fraction * width);
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(width - filled, ' ').c_str(), static_cast<int>(fraction * 100));
    if (fraction >= 1.0) std::fputc('\n', stderr);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        usage();
        return 2;
    }

    double sampleRate = 44100.0;
    std::vector<float> left, right;
    if (options.input.empty()) {
        left = organChord(options.demoSeconds, sampleRate);
        right = left;
        if (options.switches.empty()) options.switches = {{3.0, true}, {8.0, false}};
    } else {
        SF_INFO info{};
        SNDFILE* file = sf_open(options.input.c_str(), SFM_READ, &info);
        if (!file) {
            std::fprintf(stderr, "halvern-render: cannot read %s: %s\n", options.input.c_str(), sf_strerror(nullptr));
            return 1;
        }
        std::vector<float> interleaved(static_cast<size_t>(info.frames * info.channels));
        sf_readf_float(file, interleaved.data(), info.frames);
        sf_close(file);
        sampleRate = info.samplerate;
        left.resize(static_cast<size_t>(info.frames));
        right.resize(static_cast<size_t>(info.frames));
        for (sf_count_t i = 0; i < info.frames; ++i) {
            left[i] = interleaved[static_cast<size_t>(i * info.channels)];
            right[i] = interleaved[static_cast<size_t>(i * info.channels + (info.channels > 1 ? 1 : 0))];
        }
    }

    PluginLibrary library(options.plugin);
    if (!library.loaded()) {
        std::fprintf(stderr, "halvern-render: cannot load %s\n", options.plugin.c_str());
        return 1;
    }
    RenderSession session(library, static_cast<float>(sampleRate), options.block);
    if (!session.ready()) {
        std::fprintf(stderr, "halvern-render: %s has no usable entry point\n", options.plugin.c_str());
        return 1;
    }
    for (const ParameterSetting& setting : options.settings) {
        const int index = session.findParameter(setting.name);
        float x = 0.0f;
        if (index < 0 || !normalizedValue(session, index, setting, x)) {
            std::fprintf(stderr, "halvern-render: cannot set %s to %s\n", setting.name.c_str(), setting.value.c_str());
            return 2;
        }
        session.setParameter(index, x);
    }
    if (!options.switches.empty()) {
        // Speed switches travel as MIDI: make sure a controller is listening.
        const int keyIndex = session.findParameter("speedkey");
        const std::string key = session.parameterDisplay(keyIndex);
        if (key.rfind("CTRL", 0) != 0) {
            session.setParameter(keyIndex, 0.6f);
            std::fprintf(stderr, "halvern-render: speed key was %s; switching by MIDI controller 64\n", key.c_str());
        }
        const int controller = std::atoi(session.parameterDisplay(keyIndex).c_str() + 4);
        for (const SpeedSwitch& s : options.switches) session.scheduleSpeed(s.seconds, s.fast, controller);
    }
    for (int i = 0; i < 8; ++i)
        std::fprintf(stderr, "  %-13s %s\n", session.parameterName(i).c_str(), session.parameterDisplay(i).c_str());

    std::vector<float> outLeft(left.size()), outRight(right.size());
    session.render(left.data(), right.data(), outLeft.data(), outRight.data(), static_cast<long>(left.size()),
                   showProgress);

    SF_INFO outInfo{};
    outInfo.samplerate = static_cast<int>(sampleRate);
    outInfo.channels = 2;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* out = sf_open(options.output.c_str(), SFM_WRITE, &outInfo);
    if (!out) {
        std::fprintf(stderr, "halvern-render: cannot write %s: %s\n", options.output.c_str(), sf_strerror(nullptr));
        return 1;
    }
    std::vector<float> interleaved(outLeft.size() * 2);
    for (size_t i = 0; i < outLeft.size(); ++i) {
        interleaved[2 * i] = outLeft[i];
        interleaved[2 * i + 1] = outRight[i];
    }
    sf_command(out, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_writef_float(out, interleaved.data(), static_cast<sf_count_t>(outLeft.size()));
    sf_close(out);
    std::fprintf(stderr, "halvern-render: wrote %s (%.1f s at %.0f Hz)\n", options.output.c_str(),
                 outLeft.size() / sampleRate, sampleRate);
    return 0;
}
