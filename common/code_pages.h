#pragma once
// The two 8-bit code pages the game text is shown in, as tables between bytes
// and Unicode code points, with no dependency on any toolkit:
//  - Windows-1252 for the French letters; its five unassigned bytes 0x81,
//    0x8D, 0x8F, 0x90 and 0x9D keep their C1 code points (U+0081 ...);
//  - Windows-1251 for Cyrillic letters; its unassigned byte 0x98 keeps U+0098.
// So every byte maps to exactly one code point and back. Line breaks are not
// this layer's business: CR and LF are bytes like any other here.

#include <optional>

namespace wright {

enum class CodePage { Windows1252, Windows1251 };

char32_t byteToUnicode(unsigned char byte, CodePage page);
// The byte of a code point, or nothing when the page cannot hold it.
std::optional<unsigned char> unicodeToByte(char32_t codePoint, CodePage page);

}  // namespace wright
