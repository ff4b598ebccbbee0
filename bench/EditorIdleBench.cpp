// What an open editor costs on X11: the built plug-in's editor in a window
// of the display DISPLAY names, idled 60 times a second with the rotors at
// fast speed (the cabinet turning), as a share of one core, for the
// editor's thread and, given the X server's process id on this machine, for
// the server too; and one idle with nothing to redraw. Run by hand with a
// display (Xvfb will do):
//   DISPLAY=:1 build/bin/editor_idle_bench [SECONDS [SERVER-PID]]
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PluginLibrary.h"

namespace {

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

// The processor time a process of this machine has used, in seconds; -1
// when /proc does not tell.
double processSeconds(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line)) return -1.0;
    // The fields after the command's closing parenthesis; user and system time are the 12th and 13th.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double user = 0, system = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i) {
        if (i == 12) user = std::atof(field.c_str());
        if (i == 13) system = std::atof(field.c_str());
    }
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    const int serverPid = argc > 2 ? std::atoi(argv[2]) : 0;
    if (seconds <= 0 || seconds > 3600) {
        std::fprintf(stderr, "usage: editor_idle_bench [SECONDS (1..3600) [SERVER-PID]]\n");
        return 2;
    }
    xcb_connection_t* xcb = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(xcb)) {
        std::fprintf(stderr, "editor_idle_bench: no X display (DISPLAY)\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(xcb)).data;
    const xcb_window_t parent = xcb_generate_id(xcb);
    xcb_create_window(xcb, XCB_COPY_FROM_PARENT, parent, screen->root, 0, 0, 246, 277, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(xcb, parent);
    xcb_flush(xcb);

    PluginLibrary library(HALVERN_PLUGIN_PATH);
    AEffect* effect = library.loaded() ? library.entry("VSTPluginMain")(host) : nullptr;
    if (!effect) {
        std::fprintf(stderr, "editor_idle_bench: cannot load %s\n", HALVERN_PLUGIN_PATH);
        return 1;
    }
    auto dispatch = [&](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
    };
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effMainsChanged, 1);
    effect->setParameter(effect, 0, 1.0f);  // fast
    dispatch(effEditOpen, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));

    // 60 idles a second, each after the block of audio that moved the rotors.
    constexpr int kBlock = 735;
    std::vector<float> in(kBlock, 0.0f), left(kBlock), right(kBlock);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    for (int i = 0; i < 120; ++i) effect->processReplacing(effect, inputs, outputs, kBlock);  // up to speed
    double idleSeconds = 0.0;
    const double serverBefore = processSeconds(serverPid);
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < 60 * seconds; ++tick) {
        effect->processReplacing(effect, inputs, outputs, kBlock);
        const double before = threadSeconds();
        dispatch(effEditIdle);
        idleSeconds += threadSeconds() - before;
        std::this_thread::sleep_until(start + std::chrono::microseconds(1000000 / 60 * (tick + 1)));
    }
    const double serverAfter = processSeconds(serverPid);
    std::printf("idle at 60 Hz, cabinet turning fast: %.3f %% of one core (%.1f us per idle)\n",
                100.0 * idleSeconds / seconds, 1e6 * idleSeconds / (60 * seconds));
    if (serverBefore >= 0 && serverAfter >= 0)
        std::printf("the X server meanwhile: %.3f %% of one core\n", 100.0 * (serverAfter - serverBefore) / seconds);

    // Idles with nothing to redraw: no audio, so the rotors stand still.
    for (int i = 0; i < 10; ++i) dispatch(effEditIdle);
    constexpr int kQuiet = 2000;
    const double before = threadSeconds();
    for (int i = 0; i < kQuiet; ++i) dispatch(effEditIdle);
    std::printf("one idle with nothing to redraw: %.2f us\n", 1e6 * (threadSeconds() - before) / kQuiet);

    dispatch(effEditClose);
    dispatch(effClose);
    xcb_disconnect(xcb);
    return 0;
}
