#include "wright/game_text.h"

#include "common/cyrillic_letters.h"
#include "common/french_letters.h"

#include <uninorm.h>
#include <unistr.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace wright::cli {
namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point starting at `i`, advancing `i` past it; nothing for a byte
// sequence that is not UTF-8 (overlong forms and surrogates included).
std::optional<char32_t> nextCodePoint(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > s.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    i += length;
    return c;
}

std::string describeCodePoint(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string text = code;
    if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0)) {
        text += " '";
        appendUtf8(text, c);
        text += "'";
    }
    return text;
}

// The typographic characters and the game's nearest letters for them.
struct Fold {
    char32_t from;
    const char* to;
};
constexpr Fold kTypography[] = {
    {0x2018, "'"},   {0x2019, "'"},  {0x201A, "'"}, {0x201B, "'"},                    // single quotes
    {0x201C, "\""},  {0x201D, "\""}, {0x201E, "\""}, {0x201F, "\""},                  // double quotes
    {0x00AB, "\""},  {0x00BB, "\""},                                                 // guillemets
    {0x2026, "..."},                                                                 // ellipsis
    {0x2010, "-"},   {0x2011, "-"},  {0x2012, "-"}, {0x2013, "-"}, {0x2014, "-"},     // hyphens and dashes
    {0x00A0, " "},   {0x2007, " "},  {0x202F, " "},                                   // no-break spaces
};

const char* typographyFold(char32_t c) {
    for (const Fold& fold : kTypography)
        if (fold.from == c) return fold.to;
    return nullptr;
}

bool isFrenchGameCode(char32_t c) {
    for (const FrenchLetterPair& pair : FrenchLetterMap)
        if (pair.gameCode == c) return true;
    return false;
}

// The accented letter a French game code stands for, or 0.
char32_t frenchLetterOf(char32_t code) {
    for (const FrenchLetterPair& pair : FrenchLetterMap)
        if (pair.gameCode == code) return pair.letter;  // Windows-1252 equals Latin-1 for these letters
    return 0;
}

bool isFrenchLetter(char32_t c) {
    for (const FrenchLetterPair& pair : FrenchLetterMap)
        if (pair.letter == c) return true;
    return false;
}

// The Cyrillic letter a code of the Cyrillic table stands for, or 0.
char32_t cyrillicLetterOf(char32_t code) {
    for (std::size_t k = 0; k < 64; ++k)
        if (EngLetters[k] == code) return byteToUnicode(RusLetters[k], CodePage::Windows1251);
    return 0;
}

// The 64 letters of the Cyrillic table are А to я, U+0410 to U+044F.
bool isCyrillicLetter(char32_t c) {
    return c >= 0x0410 && c <= 0x044F;
}

bool isVariableCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Where the run that starts at `i` ends, when the view takes it as it is:
// the tags of a record, and in the Russian view what the converter leaves
// alone; `i` itself otherwise.
std::size_t skipTakenRun(std::string_view s, std::size_t i, Letters letters, TextKind kind) {
    const std::string_view rest = s.substr(i);
    if (letters == Letters::Russian) {
        if (rest.substr(0, 3) == "<0x") {
            const std::size_t close = s.find('>', i);
            return close == std::string_view::npos ? s.size() : close + 1;
        }
        const bool marker = s[i] == '%' || (kind == TextKind::Record && (s[i] == '_' || s[i] == '='));
        if (!marker) return i;
        std::size_t end = i + 1;
        while (end < s.size() && isVariableCharacter(s[end])) ++end;
        return end;
    }
    if (kind != TextKind::Record) return i;
    if (rest.substr(0, 6) == "<0xFB=") {
        const std::size_t close = s.find('>', i);
        return close == std::string_view::npos ? s.size() : close + 1;
    }
    for (const std::string_view tag : {"<0xFC>", "<0xFD>", "<0xFE>", "<0xFF>"})
        if (rest.substr(0, 6) == tag) return i + 6;
    return i;
}

std::string_view pageName(CodePage page) {
    return page == CodePage::Windows1251 ? "Windows-1251" : "Windows-1252";
}

}  // namespace

std::optional<Letters> parseLetters(std::string_view name) {
    if (name == "french") return Letters::French;
    if (name == "russian") return Letters::Russian;
    if (name == "none") return Letters::None;
    return std::nullopt;
}

std::string_view lettersName(Letters letters) {
    switch (letters) {
    case Letters::French: return "french";
    case Letters::Russian: return "russian";
    case Letters::None: return "none";
    }
    return "none";
}

CodePage codePageOf(Letters letters) {
    return letters == Letters::Russian ? CodePage::Windows1251 : CodePage::Windows1252;
}

std::string toUtf8(std::string_view bytes, CodePage page) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out += '\n';
            ++i;
        } else if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            appendUtf8(out, byteToUnicode(b, page));
        }
    }
    return out;
}

Encoded fromUtf8(std::string_view utf8, CodePage page) {
    Encoded result;
    result.bytes.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t at = i;
        const std::optional<char32_t> c = nextCodePoint(utf8, i);
        if (!c) {
            result.problem = "the text is not valid UTF-8 at byte " + std::to_string(at);
            return result;
        }
        if (*c == '\n') {
            // Every newline is a line break, even after a CR: "\r\n" in a
            // catalogue is a lone CR and then a line break, as toUtf8 shows
            // the bytes CR CR LF.
            result.bytes += "\r\n";
            continue;
        }
        const std::optional<unsigned char> b = *c == 0 ? std::nullopt : unicodeToByte(*c, page);
        if (!b) {
            result.problem = "the character " + describeCodePoint(*c) + " is not in " + std::string(pageName(page));
            return result;
        }
        result.bytes += static_cast<char>(*b);
    }
    return result;
}

std::string composed(std::string_view utf8) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
    if (utf8.empty() || u8_check(bytes, utf8.size()) != nullptr) return std::string(utf8);
    std::size_t length = 0;
    std::unique_ptr<std::uint8_t, decltype(&std::free)> result(
        u8_normalize(UNINORM_NFC, bytes, utf8.size(), nullptr, &length), &std::free);
    // Out of memory: the text as it was, whose separate accents the alphabet
    // of every view but none then refuses.
    if (!result) return std::string(utf8);
    return std::string(reinterpret_cast<const char*>(result.get()), length);
}

std::string foldTypography(std::string_view utf8, std::size_t& replaced) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t at = i;
        const std::optional<char32_t> c = nextCodePoint(utf8, i);
        if (!c) return std::string(utf8);  // not UTF-8: fromUtf8 says where
        if (const char* fold = typographyFold(*c)) {
            out += fold;
            ++count;
        } else {
            out.append(utf8.substr(at, i - at));
        }
    }
    replaced += count;
    return out;
}

std::optional<std::string> outsideAlphabet(std::string_view utf8, Letters letters, TextKind kind) {
    if (letters == Letters::None) return std::nullopt;  // every byte; fromUtf8 names what no byte holds
    std::size_t i = 0;
    std::size_t character = 0;
    while (i < utf8.size()) {
        const std::size_t skipped = skipTakenRun(utf8, i, letters, kind);
        if (skipped != i) {
            character += characterCount(utf8.substr(i, skipped - i));
            i = skipped;
            continue;
        }
        ++character;
        const std::optional<char32_t> c = nextCodePoint(utf8, i);
        if (!c) return std::nullopt;  // fromUtf8 says where the text stops being UTF-8
        if (*c == '\n' && kind == TextKind::Record) continue;
        const bool printable = *c >= 0x20 && *c < 0x7F;
        std::string why;
        if (letters == Letters::French) {
            if ((printable && !isFrenchGameCode(*c)) || isFrenchLetter(*c)) continue;
            if (const char32_t letter = frenchLetterOf(*c))
                why = " is the game's code for " + describeCodePoint(letter) + ": the game would show that letter";
        } else {
            if ((printable && !cyrillicLetterOf(*c)) || isCyrillicLetter(*c)) continue;
            if (const char32_t letter = cyrillicLetterOf(*c))
                why = " is the game's code for " + describeCodePoint(letter) + ": the game would show that letter";
        }
        if (why.empty()) {
            why = std::string(" is not in the game's alphabet with --letters ") + std::string(lettersName(letters));
            if (const char* fold = typographyFold(*c))
                why += std::string(" (--typography ascii writes it as ") + (*fold == ' ' ? "a space" : fold) + ")";
            else if (letters == Letters::French && *c >= 0xC0 && *c < 0x250)
                why += " (its accented letters are the lower-case à â ç è é ê ë î ï ô ù û)";
            else if (letters == Letters::French && isCyrillicLetter(*c))
                why += " (--letters russian takes Cyrillic)";
        }
        return "the character " + describeCodePoint(*c) + " at character " + std::to_string(character) + why;
    }
    return std::nullopt;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

std::string showName(std::string_view stored, Letters letters) {
    std::string bytes(stored);
    if (letters == Letters::French) ToAccented(bytes);
    if (letters == Letters::Russian) ConvertRusEng(bytes, RusEngDirection::ToRus, MarkersRule::Off);
    return toUtf8(bytes, codePageOf(letters));
}

Encoded typedName(std::string_view utf8, Letters letters) {
    Encoded encoded = fromUtf8(utf8, codePageOf(letters));
    if (!encoded.ok()) return encoded;
    if (letters == Letters::French) ToGameCode(encoded.bytes);
    if (letters == Letters::Russian) ConvertRusEng(encoded.bytes, RusEngDirection::ToEng, MarkersRule::Off);
    return encoded;
}

}  // namespace wright::cli
