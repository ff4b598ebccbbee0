#include "EditorSettings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "EditorLayout.h"
#include "SpeakerDescriptor.h"

namespace {

bool isDrawnScale(int percent) {
    for (int drawn : kEditorScales)
        if (drawn == percent) return true;
    return false;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string EditorSettings::userFile() {
#if defined(_WIN32)
    std::string folder = environment("APPDATA");
#else
    std::string folder = environment("XDG_CONFIG_HOME");
    if (folder.empty() && !environment("HOME").empty()) folder = environment("HOME") + "/.config";
#endif
    if (folder.empty()) return "";
    return folder + "/" + kSpeakerIdentity.name + "/editor.conf";
}

int EditorSettings::chosenPercent() const {
    if (path.empty()) return 0;
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return 0;
    char line[64];
    int percent = 0;
    while (std::fgets(line, sizeof line, file)) {
        int value = 0;
        char end = 0;
        if (std::sscanf(line, "scale=%d%c", &value, &end) >= 1 && (end == 0 || end == '\n' || end == '\r'))
            percent = value;
    }
    std::fclose(file);
    return isDrawnScale(percent) ? percent : 0;
}

bool EditorSettings::choosePercent(int percent) const {
    if (path.empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    const bool written = std::fprintf(file, "scale=%d\n", percent) > 0;
    return std::fclose(file) == 0 && written;
}
