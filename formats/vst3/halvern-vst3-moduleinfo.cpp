// Writes the VST 3 bundle's moduleinfo.json, which hosts read to learn the
// module's classes without loading it, from the effect's descriptor and its
// VST 3 identity.
#include <cstdio>

#include "SpeakerDescriptor.h"
#include "Vst3Identity.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: halvern-vst3-moduleinfo OUTPUT.json\n");
        return 2;
    }
    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "halvern-vst3-moduleinfo: cannot write %s\n", argv[1]);
        return 1;
    }
    const EffectIdentity& d = kSpeakerIdentity;
    std::fprintf(out, "{\n  \"Name\": \"%s\",\n  \"Version\": \"%d\",\n", d.name, static_cast<int>(d.version));
    std::fprintf(out,
                 "  \"Factory Info\": {\n    \"Vendor\": \"%s\",\n    \"URL\": \"\",\n    \"E-Mail\": \"\",\n"
                 "    \"Flags\": {\n      \"Unicode\": true,\n      \"Classes Discardable\": false,\n"
                 "      \"Component Non Discardable\": false\n    }\n  },\n",
                 d.vendor);
    std::fprintf(out, "  \"Compatibility\": [],\n  \"Classes\": [\n    {\n      \"CID\": \"");
    for (uint32_t word : vst3identity::kClassIdWords) std::fprintf(out, "%08X", static_cast<unsigned>(word));
    std::fprintf(out,
                 "\",\n      \"Category\": \"%s\",\n      \"Name\": \"%s\",\n      \"Vendor\": \"%s\",\n"
                 "      \"Version\": \"%d\",\n      \"SDKVersion\": \"%s\",\n      \"Sub Categories\": [",
                 vst3identity::kProcessorCategory, d.name, d.vendor, static_cast<int>(d.version),
                 vst3identity::kSdkVersion);
    bool first = true;
    for (const char* category : vst3identity::kSubCategories) {
        std::fprintf(out, "%s\"%s\"", first ? "" : ", ", category);
        first = false;
    }
    std::fprintf(out, "],\n      \"Class Flags\": 0,\n      \"Cardinality\": 2147483647,\n      \"Snapshots\": []\n"
                      "    }\n  ]\n}\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
