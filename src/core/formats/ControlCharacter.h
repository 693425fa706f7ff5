// The characters of a text read from a file that must neither reach a terminal nor name a
// file: C0 (NUL included), DEL and C1.
#pragma once

namespace qz {

inline bool isControlCharacter(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

}  // namespace qz
