#include "wright/game_text.h"

#include "common/cyrillic_letters.h"
#include "common/french_letters.h"

#include <cstdio>

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

std::string describe(char32_t c) {
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
            result.problem = "the character " + describe(*c) + " is not in " + std::string(pageName(page));
            return result;
        }
        result.bytes += static_cast<char>(*b);
    }
    return result;
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
