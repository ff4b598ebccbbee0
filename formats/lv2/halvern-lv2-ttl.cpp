// Writes the LV2 bundle's Turtle files, manifest.ttl, halvern.ttl and
// presets.ttl, into the folder given, from the effect's descriptor,
// parameter and reading tables and its programs: the facts are never written
// a second time by hand.
#include <cstdio>
#include <string>

#include "Lv2Ports.h"

namespace {

const ParameterInfo& row(int i) { return kCabinetParameters[i]; }

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    std::string s = text;
    return s.find_first_of(".e") == std::string::npos ? s + ".0" : s;
}

std::string head(uint32_t index, const char* types) {
    const Lv2PortRow& port = kLv2Ports[index];
    return "    [\n        a lv2:" + std::string(port.input ? "InputPort" : "OutputPort") + " , " + types +
           " ;\n        lv2:index " + std::to_string(index) + " ;\n        lv2:symbol \"" + port.symbol + "\"";
}

// A list row's entries as an enumeration of whole positions.
std::string enumeration(const ParameterInfo& p) {
    std::string text = " ;\n        lv2:portProperty lv2:integer , lv2:enumeration";
    for (int k = 0; k <= static_cast<int>(p.max); ++k)
        text += " ;\n        lv2:scalePoint [ rdfs:label \"" + std::string(p.names[k]) + "\" ; rdf:value " +
                number(static_cast<float>(k)) + " ]";
    return text;
}

// The unit of a label: the units ontology's, or one described here.
std::string unit(const std::string& label) {
    if (label == "%") return " ;\n        units:unit units:pc";
    if (label == "s") return " ;\n        units:unit units:s";
    if (label == "deg") return " ;\n        units:unit units:degree";
    if (label == "rpm")
        return " ;\n        units:unit [ a units:Unit ; rdfs:label \"revolutions per minute\" ; units:symbol \"rpm\" ;"
               " units:render \"%f rpm\" ]";
    return "";
}

std::string controlPort(int i) {
    const ParameterInfo& p = row(i);
    std::string port = head(lv2ports::portOf(i), "lv2:ControlPort") + " ;\n        lv2:name \"" + p.name +
                       "\" ;\n        lv2:default " + number(p.defaultValue) + " ;\n        lv2:minimum " +
                       number(p.min) + " ;\n        lv2:maximum " + number(p.max);
    if (p.kind == Integer) port += " ;\n        lv2:portProperty lv2:integer";
    if (p.kind == List) port += enumeration(p);
    return port + unit(p.label) + "\n    ]";
}

std::string readingPort(int i) {
    const ReadingInfo& r = kCabinetReadings[i];
    return head(kPortFirstReading + i, "lv2:ControlPort") + " ;\n        lv2:name \"" + r.name +
           "\" ;\n        lv2:minimum " + number(r.min) + " ;\n        lv2:maximum " + number(r.max) + unit(r.label) +
           "\n    ]";
}

// The outputs report positions 0..1 or a list position.
std::string port(uint32_t index) {
    const Lv2PortRow& r = kLv2Ports[index];
    switch (r.type) {
        case Lv2PortType::Audio:
            return head(index, "lv2:AudioPort") + " ;\n        lv2:name \"" + r.name + "\"\n    ]";
        case Lv2PortType::Midi:
            return head(index, "atom:AtomPort") +
                   " ;\n        lv2:name \"" + r.name + "\" ;\n        atom:bufferType atom:Sequence ;\n"
                   "        atom:supports midi:MidiEvent ;\n        lv2:designation lv2:control ;\n"
                   "        lv2:portProperty lv2:connectionOptional\n    ]";
        case Lv2PortType::Control:
            break;
    }
    if (index == kPortEnabled)
        return head(index, "lv2:ControlPort") + " ;\n        lv2:name \"" + r.name +
               "\" ;\n        lv2:designation lv2:enabled ;\n        lv2:default 1 ;\n        lv2:minimum 0 ;\n"
               "        lv2:maximum 1 ;\n        lv2:portProperty lv2:toggled , lv2:connectionOptional\n    ]";
    if (r.input) return controlPort(lv2ports::parameterOf(index));
    if (lv2ports::readingOf(index) >= 0) return readingPort(lv2ports::readingOf(index));
    std::string text = head(index, "lv2:ControlPort") + " ;\n        lv2:name \"" + r.name +
                       "\" ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0";
    if (r.listOf >= 0) text += enumeration(row(r.listOf));
    return text + "\n    ]";
}

// A factory program's preset: its URI, and its description with every
// control input's value.
std::string presetUri(int program) {
    return std::string("<") + kLv2PluginUri + "#program-" + std::to_string(program + 1) + ">";
}

std::string preset(int program) {
    char name[64];
    factoryPresetName(program, name, sizeof name);
    std::string text = presetUri(program) + "\n    a pset:Preset ;\n    lv2:appliesTo <" + kLv2PluginUri +
                       "> ;\n    rdfs:label \"" + name + "\" ;\n    lv2:port";
    for (int i = 0; i < kNumCabinetParameters; ++i)
        text += std::string(i ? " ,\n" : "\n") + "        [ lv2:symbol \"" + kLv2Ports[lv2ports::portOf(i)].symbol +
                "\" ; pset:value " + number(row(i).defaultValue) + " ]";
    return text + " .\n";
}

bool write(const std::string& path, const std::string& text) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    const bool written = std::fputs(text.c_str(), out) >= 0;
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: halvern-lv2-ttl BUNDLE-FOLDER PLUGIN-BINARY UI-BINARY\n");
        return 2;
    }
    const std::string folder = argv[1], binary = argv[2], uiBinary = argv[3];
    const std::string plugin = std::string("<") + kLv2PluginUri + ">", ui = std::string("<") + kLv2UiUri + ">";
    std::string manifest =
        "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
        "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
        "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n" +
        plugin + "\n    a lv2:Plugin ;\n    lv2:binary <" + binary + "> ;\n    rdfs:seeAlso <halvern.ttl> .\n\n" + ui +
        "\n    a ui:X11UI ;\n    ui:binary <" + uiBinary +
        "> ;\n    lv2:requiredFeature ui:idleInterface ;\n"
        "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize , opts:options , urid:map ;\n"
        "    opts:supportedOption ui:scaleFactor ;\n"
        "    lv2:extensionData ui:idleInterface , opts:interface .\n";
    std::string presets =
        "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    for (int program = 0; program < kSpeakerIdentity.programCount; ++program) {
        manifest += "\n" + presetUri(program) + "\n    a pset:Preset ;\n    lv2:appliesTo " + plugin +
                    " ;\n    rdfs:seeAlso <presets.ttl> .\n";
        presets += "\n" + preset(program);
    }

    std::string ports;
    for (uint32_t index = 0; index < kPortCount; ++index) {
        const Lv2PortRow& r = kLv2Ports[index];
        const int parameter = lv2ports::parameterOf(index), reading = lv2ports::readingOf(index);
        const char* named = parameter >= 0 ? row(parameter).name : reading >= 0 ? kCabinetReadings[reading].name : nullptr;
        if (named && !lv2ports::symbolOfName(r.symbol, named)) {
            std::fprintf(stderr, "halvern-lv2-ttl: port %u's symbol %s is not its parameter's name\n", index, r.symbol);
            return 1;
        }
        ports += (index ? " , \n" : "") + port(index);
    }

    const std::string description =
        "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
        "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
        "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
        "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
        "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
        "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
        "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
        "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n" +
        plugin + "\n    a lv2:Plugin , lv2:SimulatorPlugin , doap:Project ;\n    doap:name \"" + kSpeakerIdentity.name +
        "\" ;\n    rdfs:comment \"" + kSpeakerIdentity.product + "\" ;\n    doap:maintainer [ foaf:name \"" +
        kSpeakerIdentity.vendor + "\" ] ;\n    lv2:minorVersion 0 ;\n    lv2:microVersion " +
        std::to_string(kSpeakerIdentity.version) +
        " ;\n    lv2:optionalFeature urid:map , lv2:hardRTCapable ;\n    ui:ui " + ui + " ;\n    lv2:port\n" + ports +
        " .\n";
    if (!write(folder + "/manifest.ttl", manifest) || !write(folder + "/halvern.ttl", description) ||
        !write(folder + "/presets.ttl", presets)) {
        std::fprintf(stderr, "halvern-lv2-ttl: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
