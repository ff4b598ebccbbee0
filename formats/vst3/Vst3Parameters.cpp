#include "Vst3Parameters.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ParameterText.h"

namespace vst3parameters {
namespace {

constexpr int kMidiValues = 127;

const ParameterInfo& row(vst3::ParamID id) { return kCabinetParameters[rowOf(id)]; }
const ReadingInfo& readingRow(vst3::ParamID id) { return kCabinetReadings[id - kFirstReading]; }

double clamped(double normalized) {
    if (!(normalized >= 0.0)) return 0.0;  // NaN too
    return normalized > 1.0 ? 1.0 : normalized;
}

// Whole-numbered rows step through every whole value; hundredths are continuous.
int stepsOf(const ParameterInfo& r) {
    return r.kind == Integer || r.kind == List ? static_cast<int>(r.max - r.min) : 0;
}

}  // namespace

void toUtf16(const char* text, vst3::char16* out, size_t capacity) {
    if (!out || capacity == 0) return;
    size_t i = 0;
    for (; text && text[i] && i + 1 < capacity; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        out[i] = c < 0x80 ? static_cast<vst3::char16>(c) : u'?';
    }
    out[i] = 0;
}

void fromUtf16(const vst3::char16* text, char* out, size_t capacity) {
    if (!out || capacity == 0) return;
    size_t i = 0;
    for (; text && text[i] && i + 1 < capacity; ++i) out[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    out[i] = 0;
}

bool describe(int index, vst3::ParameterInfo& info) {
    if (index < 0 || index >= kCount) return false;
    info = vst3::ParameterInfo{};
    const vst3::ParamID id = idAt(index);
    info.id = id;
    info.unitId = vst3::kRootUnitId;
    if (isTableParameter(id)) {
        const ParameterInfo& r = row(id);
        toUtf16(r.name, info.title, 128);
        toUtf16(r.name, info.shortTitle, 128);
        toUtf16(r.label, info.units, 128);
        info.stepCount = stepsOf(r);
        info.defaultNormalizedValue = r.defaultNormalized();
        info.flags = vst3::ParameterInfo::kCanAutomate | (r.kind == List ? vst3::ParameterInfo::kIsList : 0);
    } else if (id == kBypass) {
        toUtf16("Bypass", info.title, 128);
        toUtf16("Bypass", info.shortTitle, 128);
        info.stepCount = 1;
        info.flags = vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsBypass;
    } else if (id == kProgram) {
        toUtf16("Program", info.title, 128);
        toUtf16("Program", info.shortTitle, 128);
        info.stepCount = kSpeakerIdentity.programCount - 1;
        info.flags = vst3::ParameterInfo::kIsProgramChange | vst3::ParameterInfo::kIsList;
    } else if (isReading(id)) {
        const ReadingInfo& r = readingRow(id);
        toUtf16(r.name, info.title, 128);
        toUtf16(r.name, info.shortTitle, 128);
        toUtf16(r.label, info.units, 128);
        info.flags = vst3::ParameterInfo::kIsReadOnly;
    } else {
        // Hidden, so no host shows it or lets a user change it.
        toUtf16("MIDI speed switch", info.title, 128);
        toUtf16("MIDI speed", info.shortTitle, 128);
        info.stepCount = kMidiValues;
        info.flags = vst3::ParameterInfo::kIsHidden | vst3::ParameterInfo::kIsReadOnly;
    }
    return true;
}

double toPlain(vst3::ParamID id, double normalized) {
    const double x = clamped(normalized);
    if (isTableParameter(id)) return row(id).toValue(static_cast<float>(x));
    if (isReading(id)) return readingRow(id).min + x * (readingRow(id).max - readingRow(id).min);
    if (id == kProgram) return std::floor(x * (kSpeakerIdentity.programCount - 1) + 0.5);
    if (id == kMidiSpeed) return std::floor(x * kMidiValues + 0.5);
    return x >= 0.5 ? 1.0 : 0.0;  // the bypass, and any other id
}

double toNormalized(vst3::ParamID id, double plain) {
    if (std::isnan(plain)) return 0.0;
    if (isTableParameter(id)) {
        const ParameterInfo& r = row(id);
        return r.toNormalized(static_cast<float>(plain < r.min ? r.min : (plain > r.max ? r.max : plain)));
    }
    if (isReading(id)) return clamped((plain - readingRow(id).min) / (readingRow(id).max - readingRow(id).min));
    const double top = id == kProgram ? kSpeakerIdentity.programCount - 1 : id == kMidiSpeed ? kMidiValues : 1.0;
    return clamped(plain / top);
}

bool text(vst3::ParamID id, double normalized, char* out, size_t capacity) {
    if (!isParameter(id) || !out || capacity == 0) return false;
    if (isTableParameter(id)) return parametertext::format(rowOf(id), toPlain(id, normalized), out, capacity);
    if (isReading(id)) {
        std::snprintf(out, capacity, "%.1f %s", toPlain(id, normalized), readingRow(id).label);
        return true;
    }
    const int plain = static_cast<int>(toPlain(id, normalized));
    if (id == kBypass)
        std::snprintf(out, capacity, "%s", plain ? "on" : "off");
    else if (id == kProgram)
        factoryPresetName(plain, out, capacity);
    else
        std::snprintf(out, capacity, "%d", plain);
    return true;
}

bool parse(vst3::ParamID id, const char* typed, double& normalized) {
    if (!isParameter(id) || isReading(id) || !typed) return false;
    if (isTableParameter(id)) {
        double plain = 0.0;
        if (!parametertext::parse(rowOf(id), typed, plain)) return false;
        normalized = toNormalized(id, plain);
        return true;
    }
    if (id == kBypass && (std::strcmp(typed, "on") == 0 || std::strcmp(typed, "off") == 0)) {
        normalized = typed[1] == 'n' ? 1.0 : 0.0;
        return true;
    }
    char* end = nullptr;
    const double plain = std::strtod(typed, &end);
    if (end == typed || *end || !std::isfinite(plain)) return false;
    normalized = toNormalized(id, plain);
    return true;
}

}  // namespace vst3parameters
