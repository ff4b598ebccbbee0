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
#include "ParameterSetting.h"
#include "RasterPlatform.h"
#include "PngWriter.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEditor.h"
#include "SpeakerPlugin.h"


int main(int argc, char** argv) {
    RasterPlatform raster;
    SpeakerPlugin effect(offlineHostCallback, false);
    auto* editor = new SpeakerEditor(&effect, &raster);  // attaches itself; the effect deletes it
    float horn = 0.0f, drum = 0.0f;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--set" && i + 1 < argc) {
            ParameterSetting setting{};
            std::string error;
            if (!parseSetting(argv[++i], false, setting, error)) {
                std::fprintf(stderr, "halvern-shot: %s\n", error.c_str());
                return 2;
            }
            effect.setParameter(setting.index, setting.normalized);
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
