#pragma once
// The one crossing between the game's 8-bit text and Qt. Every byte maps to
// exactly one character and back:
//  - Windows-1252 for the French letters; its five unassigned bytes 0x81,
//    0x8D, 0x8F, 0x90 and 0x9D keep their C1 code points (U+0081 ...), so no
//    byte is lost;
//  - Windows-1251 where Cyrillic letters are shown; its one unassigned byte
//    0x98 keeps U+0098 the same way.
// A line break crosses as the pair CR LF on the byte side and as "\n" on the
// Qt side. A lone LF byte is shown as a line break too (and so comes back as
// CR LF); a lone CR byte stays the character U+000D both ways.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace wright::ui {

enum class CodePage { Windows1252, Windows1251 };

// A character that the code page cannot hold, found while encoding.
struct UnmappableCharacter {
    qsizetype position = 0;  // index in the QString (UTF-16 units)
    char32_t codePoint = 0;

    // e.g.: the character "Ā" (U+0100)
    QString describe() const;
};

struct EncodeResult {
    // The bytes; an unmappable character stands as "?" so the length stays
    // meaningful, but a store must refuse the text when unmappable is set.
    std::string bytes;
    std::optional<UnmappableCharacter> unmappable;

    bool ok() const { return !unmappable.has_value(); }
};

QString toQt(std::string_view bytes, CodePage page = CodePage::Windows1252);
EncodeResult fromQt(const QString& text, CodePage page = CodePage::Windows1252);

// Single-byte forms for places that handle one character at a time.
QChar byteToQChar(unsigned char byte, CodePage page = CodePage::Windows1252);
std::optional<unsigned char> qcharToByte(QChar c, CodePage page = CodePage::Windows1252);

}  // namespace wright::ui
