// The editor's size as the user chose it, kept per user in a small text
// file in the system's configuration folder (%APPDATA% on Windows,
// $XDG_CONFIG_HOME or ~/.config elsewhere): <folder>/Halvern/editor.conf,
// with one line "scale=<percent>". A missing or unreadable file, or a size
// the editor is not drawn at, reads as no choice.
#pragma once

#include <string>

class EditorSettings {
public:
    // The file in the user's configuration folder; empty where the system names none.
    static std::string userFile();

    explicit EditorSettings(std::string path) : path(std::move(path)) {}

    // The chosen size in percent, or 0 for none.
    int chosenPercent() const;
    // Writes the choice (0: none), making the folder; answers whether it was written.
    bool choosePercent(int percent) const;

private:
    std::string path;
};
