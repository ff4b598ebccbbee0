// Writes the LV2 bundle's Turtle files, manifest.ttl and halvern.ttl, into
// the folder given, from the effect's descriptor and parameter table: the
// facts are never written a second time by hand.
#include <cstdio>
#include <string>

#include "Lv2Ports.h"

namespace {

const ParameterInfo& row(int i) { return kSpeakerDescriptor.parameters[i]; }

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

std::string controlPort(int i) {
    const ParameterInfo& p = row(i);
    std::string port = head(kPortFirstControl + i, "lv2:ControlPort") + " ;\n        lv2:name \"" + p.name +
                       "\" ;\n        lv2:default " + number(p.defaultValue) + " ;\n        lv2:minimum " +
                       number(p.min) + " ;\n        lv2:maximum " + number(p.max);
    if (p.kind == Integer) port += " ;\n        lv2:portProperty lv2:integer";
    if (p.kind == List) port += enumeration(p);
    if (std::string(p.label) == "%") port += " ;\n        units:unit units:pc";
    return port + "\n    ]";
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
    if (r.input) return controlPort(static_cast<int>(index - kPortFirstControl));
    std::string text = head(index, "lv2:ControlPort") + " ;\n        lv2:name \"" + r.name +
                       "\" ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0";
    if (r.listOf >= 0) text += enumeration(row(r.listOf));
    return text + "\n    ]";
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
    const std::string manifest =
        "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n" +
        plugin + "\n    a lv2:Plugin ;\n    lv2:binary <" + binary + "> ;\n    rdfs:seeAlso <halvern.ttl> .\n\n" + ui +
        "\n    a ui:X11UI ;\n    ui:binary <" + uiBinary +
        "> ;\n    lv2:requiredFeature ui:idleInterface ;\n"
        "    lv2:optionalFeature ui:resize , ui:touch , ui:fixedSize , ui:noUserResize ;\n"
        "    lv2:extensionData ui:idleInterface .\n";

    std::string ports;
    for (uint32_t index = 0; index < kPortCount; ++index) {
        const Lv2PortRow& r = kLv2Ports[index];
        if (r.type == Lv2PortType::Control && r.input &&
            !lv2ports::symbolOfName(r.symbol, row(static_cast<int>(index - kPortFirstControl)).name)) {
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
        plugin + "\n    a lv2:Plugin , lv2:SimulatorPlugin , doap:Project ;\n    doap:name \"" + kSpeakerDescriptor.effectName +
        "\" ;\n    rdfs:comment \"" + kSpeakerDescriptor.product + "\" ;\n    doap:maintainer [ foaf:name \"" +
        kSpeakerDescriptor.vendor + "\" ] ;\n    lv2:minorVersion 0 ;\n    lv2:microVersion " +
        std::to_string(kSpeakerDescriptor.vendorVersion) +
        " ;\n    lv2:optionalFeature urid:map , lv2:hardRTCapable ;\n    ui:ui " + ui + " ;\n    lv2:port\n" + ports +
        " .\n";
    if (!write(folder + "/manifest.ttl", manifest) || !write(folder + "/halvern.ttl", description)) {
        std::fprintf(stderr, "halvern-lv2-ttl: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
