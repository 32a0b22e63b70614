#pragma once
// The one crossing between the game's 8-bit text and Qt. Every byte maps to
// exactly one character and back, through the code page tables of
// common/code_pages.h (Windows-1252, or Windows-1251 where Cyrillic letters
// are shown). A line break crosses as the pair CR LF on the byte side and as "\n" on the
// Qt side. A lone LF byte is shown as a line break too (and so comes back as
// CR LF); a lone CR byte stays the character U+000D both ways.

#include "common/code_pages.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace wright::ui {

using wright::CodePage;

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
