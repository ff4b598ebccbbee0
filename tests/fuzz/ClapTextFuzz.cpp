// The CLAP plug-in's text conversions with any text, id, value and room:
// typed text either becomes a value inside the parameter's range or is
// refused, and a value's text always fits the room it is given.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "LoadedClapLibrary.h"

// One instance serves every input: its conversions keep no state.
static const clap_plugin_t* plugin = nullptr;
static const clap_plugin_params_t* params = nullptr;
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static ClapTestHost host;
    plugin = host.create(loadedClapLibrary());
    if (!plugin) std::abort();
    params = ClapTestHost::extension<clap_plugin_params_t>(plugin, CLAP_EXT_PARAMS);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {

    FuzzedDataProvider input(data, size);
    const clap_id id = input.ConsumeBool() ? input.ConsumeIntegralInRange<clap_id>(0, 9) : input.ConsumeIntegral<clap_id>();
    const double value = input.ConsumeFloatingPoint<double>();
    const uint32_t room = input.ConsumeIntegralInRange<uint32_t>(0, 64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    double parsed = 0;
    clap_param_info_t info{};
    const bool known = params->get_info(plugin, id, &info);
    if (params->text_to_value(plugin, id, text.c_str(), &parsed)) {
        if (!known || !(parsed >= info.min_value && parsed <= info.max_value)) std::abort();
    }
    // Exactly the room given, so a text that runs over it is caught.
    std::vector<char> out(room);
    if (params->value_to_text(plugin, id, value, out.data(), room)) {
        if (!known || room == 0 || std::memchr(out.data(), 0, room) == nullptr) std::abort();
    }
    return 0;
}
