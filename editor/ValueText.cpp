#include "ValueText.h"

#include <cstdlib>

#include "SpeakerDescriptor.h"

float typedValue(int parameter, const char* input) {
    return kCabinetParameters[parameter].toNormalized(static_cast<float>(std::atof(input)));
}

void convertValueText(int parameter, const char* input, char* output) {
    kCabinetParameters[parameter].formatValue(typedValue(parameter, input), output, kTextSize);
}

namespace {
template <int Parameter>
void convertFor(const char* input, char* output) {
    convertValueText(Parameter, input, output);
}
}  // namespace

TextFilter valueTextFilter(int parameter) {
    static const TextFilter filters[kNumSpeakerParameters] = {
        convertFor<0>, convertFor<1>, convertFor<2>, convertFor<3>,
        convertFor<4>, convertFor<5>, convertFor<6>, convertFor<7>,
    };
    return parameter >= 0 && parameter < kNumSpeakerParameters ? filters[parameter] : nullptr;
}
