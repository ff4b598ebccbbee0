// The toolkit's key numbering: a key press carries the character it types
// (0 for none), for the named keys the editor may use on their own their
// number, which is their ASCII code (any other key without a character is
// kKeyOther), and the modifiers held with it.
#pragma once

namespace platform {

enum : int { kKeyNone = 0, kKeyTab = '\t', kKeySpace = ' ', kKeyOther = 0x100 };

enum : int { kModifierShift = 1, kModifierControl = 2, kModifierAlt = 4, kModifierSuper = 8 };

struct KeyPress {
    int character;
    int key;
    int modifiers = 0;
};

// A key held with Control, Alt or the system key is a shortcut of the
// host's, never the editor's; with Shift alone it is still the key.
inline bool isShortcut(int modifiers) { return (modifiers & ~kModifierShift) != 0; }

}  // namespace platform
