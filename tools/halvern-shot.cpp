// halvern-shot: draws the editor on the headless backend at given parameter
// values and rotor positions and writes the window as a PNG.
//
//   halvern-shot [--set NAME=VALUE ...] [--horn TURNS] [--drum TURNS] output.png
//     --set NAME=VALUE  a parameter in the units it displays (distortion=80,
//                       speedkey=CTRL64, speed-toggle=fast)
//     --horn, --drum    rotor positions in turns, 0..1
//     --scale PERCENT   the editor's size, as a host would give it (100 to 300)
//     --rear            the rear panel of the formats with the extended cabinet
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Frame.h"
#include "ParameterSetting.h"
#include "PngWriter.h"
#include "RasterPlatform.h"
#include "SpeakerController.h"
#include "SpeakerDescriptor.h"
#include "SpeakerEditor.h"

namespace {

const char* const kUsage =
    "usage: halvern-shot [--set NAME=VALUE] [--horn TURNS] [--drum TURNS] [--scale PERCENT] [--rear] output.png\n";

// The values the picture shows; nothing the editor sends goes anywhere. It
// has the extended cabinet's parameters once asked to.
class PictureController : public SpeakerController {
public:
    PictureController() {
        for (int i = 0; i < kNumCabinetParameters; ++i) values[i] = kCabinetParameters[i].defaultNormalized();
    }
    int parameterCount() override { return extended ? int{kNumCabinetParameters} : int{kNumSpeakerParameters}; }
    float parameter(int index) override { return values[index]; }
    void changeParameter(int index, float normalized) override { values[index] = normalized; }
    void beginGesture(int) override {}
    void endGesture(int) override {}
    RotorPositions rotorPositions() override { return rotors; }

    float values[kNumCabinetParameters];
    bool extended = false;
    RotorPositions rotors{0.0f, 0.0f};
};

}  // namespace

int main(int argc, char** argv) {
    RasterPlatform raster;
    PictureController controller;
    SpeakerEditor shown(&controller, &raster);
    SpeakerEditor* editor = &shown;
    float& horn = controller.rotors.horn;
    float& drum = controller.rotors.drum;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--set" && i + 1 < argc) {
            ParameterSetting setting{};
            std::string error;
            if (!parseSetting(argv[++i], false, kNumCabinetParameters, setting, error)) {
                std::fprintf(stderr, "halvern-shot: %s\n", error.c_str());
                return 2;
            }
            controller.changeParameter(setting.index, setting.normalized);
        } else if (arg == "--horn" && i + 1 < argc) {
            horn = std::strtof(argv[++i], nullptr);
        } else if (arg == "--drum" && i + 1 < argc) {
            drum = std::strtof(argv[++i], nullptr);
        } else if (arg == "--rear") {
            controller.extended = true;
            editor->showRear(true);
        } else if (arg == "--scale" && i + 1 < argc) {
            const long percent = std::strtol(argv[++i], nullptr, 10);
            if (percent < 100 || percent > 300) {
                std::fprintf(stderr, "halvern-shot: --scale takes 100 to 300\n");
                return 2;
            }
            editor->setHostScale(percent / 100.0);
        } else if (arg[0] != '-' && output.empty()) {
            output = arg;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (output.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int parentWindow = 0;
    editor->open(&parentWindow);
    Frame* frame = editor->getFrame();
    raster.paintNow(frame->getWindow());
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
