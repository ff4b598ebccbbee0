// halvern-shot: draws the editor on the headless backend at given parameter
// values and rotor positions and writes the window as a PNG.
//
//   halvern-shot [--set NAME=VALUE ...] [--horn TURNS] [--drum TURNS] output.png
//     --set NAME=VALUE  a parameter in the units it displays (distortion=80,
//                       speedkey=CTRL64, speed-toggle=fast)
//     --horn, --drum    rotor positions in turns, 0..1
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Frame.h"
#include "OfflineHost.h"
#include "RasterPlatform.h"
#include "PngWriter.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEditor.h"
#include "SpeakerPlugin.h"

namespace {

// The normalised value of a setting in display units: a list entry by name,
// otherwise a number on the row's scale.
bool parseSetting(const std::string& setting, int& index, float& normalized) {
    const size_t equals = setting.find('=');
    if (equals == std::string::npos) return false;
    const std::string name = simplifiedName(setting.substr(0, equals)), value = setting.substr(equals + 1);
    for (index = 0; index < kNumSpeakerParameters; ++index) {
        const ParameterInfo& row = kSpeakerDescriptor.parameters[index];
        if (simplifiedName(row.name) != name) continue;
        if (row.kind == List)
            for (int k = 0; k <= static_cast<int>(row.max); ++k)
                if (value == row.names[k]) {
                    normalized = row.toNormalized(static_cast<float>(k));
                    return true;
                }
        char* end = nullptr;
        const float number = std::strtof(value.c_str(), &end);
        if (end == value.c_str() || *end) return false;
        normalized = row.toNormalized(number);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    RasterPlatform raster;
    SpeakerPlugin effect(offlineHostCallback, false);
    auto* editor = new SpeakerEditor(&effect, &raster);  // attaches itself; the effect deletes it
    float horn = 0.0f, drum = 0.0f;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--set" && i + 1 < argc) {
            int index;
            float value;
            if (!parseSetting(argv[++i], index, value)) {
                std::fprintf(stderr, "halvern-shot: cannot set %s\n", argv[i]);
                return 2;
            }
            effect.setParameter(index, value);
        } else if (arg == "--horn" && i + 1 < argc) {
            horn = std::strtof(argv[++i], nullptr);
        } else if (arg == "--drum" && i + 1 < argc) {
            drum = std::strtof(argv[++i], nullptr);
        } else if (arg[0] != '-' && output.empty()) {
            output = arg;
        } else {
            std::fprintf(stderr, "usage: halvern-shot [--set NAME=VALUE] [--horn TURNS] [--drum TURNS] output.png\n");
            return 2;
        }
    }
    if (output.empty()) {
        std::fprintf(stderr, "usage: halvern-shot [--set NAME=VALUE] [--horn TURNS] [--drum TURNS] output.png\n");
        return 2;
    }
    int parentWindow = 0;
    editor->open(&parentWindow);
    Frame* frame = editor->getFrame();
    raster.paintNow(frame->getWindow());
    editor->setRotorPositions(horn, drum);
    editor->idle();  // the rotor frames
    editor->idle();  // and their redraw
    const bool written = writePng(raster.pixels(frame->getWindow()), output);
    editor->close();
    if (!written) {
        std::fprintf(stderr, "halvern-shot: cannot write %s\n", output.c_str());
        return 1;
    }
    std::fprintf(stderr, "halvern-shot: wrote %s\n", output.c_str());
    return 0;
}
