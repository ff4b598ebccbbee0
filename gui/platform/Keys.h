// The toolkit's key numbering: a key press carries the character it types
// (0 for none) and, for the named keys the editor may use on their own,
// their number, which is their ASCII code; any other key without a
// character is kKeyOther.
#pragma once

namespace platform {

enum : int { kKeyNone = 0, kKeyTab = '\t', kKeySpace = ' ', kKeyOther = 0x100 };

struct KeyPress {
    int character;
    int key;
};

}  // namespace platform
