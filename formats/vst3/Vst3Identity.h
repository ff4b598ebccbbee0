// Who the effect is to VST 3 hosts: its class id and the sub-categories
// they file it under. The module's factory and its moduleinfo.json both
// read them here.
#pragma once

#include <cstdint>

namespace vst3identity {

// The class id as its four words (a Uid makes them the platform's bytes).
constexpr uint32_t kClassIdWords[4] = {0x5E1A7C3B, 0x9D2F4A61, 0xB8E0C4D7, 0x21F6A93E};

// An audio effect that modulates and distorts, in stereo; the words are
// joined by '|' in the class info and listed one by one in moduleinfo.json.
constexpr const char* kSubCategories[] = {"Fx", "Modulation", "Distortion", "Stereo"};
constexpr const char* kSubCategoryText = "Fx|Modulation|Distortion|Stereo";

constexpr const char* kProcessorCategory = "Audio Module Class";
constexpr const char* kSdkVersion = "VST 3.7.13";

}  // namespace vst3identity
