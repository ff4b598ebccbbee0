// The toolkit's key numbering: a key press carries the character it types
// (0 for none), for the named keys the editor may use on their own their
// number, which is their ASCII code (any other key without a character is
// kKeyOther), and the modifiers held with it.
#pragma once

namespace platform {

enum : int { kKeyNone = 0, kKeyTab = '\t', kKeySpace = ' ', kKeyOther = 0x100 };

enum : int { kModifierShift = 1, kModifierControl = 2, kModifierAlt = 4 };

struct KeyPress {
    int character;
    int key;
    int modifiers = 0;
};

}  // namespace platform
