#include "common/code_pages.h"

#include <array>

namespace wright {
namespace {

// 0x80..0x9F of Windows-1252; unassigned bytes keep their own C1 code point.
constexpr std::array<char16_t, 32> kCp1252High{{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
}};

// 0x80..0xBF of Windows-1251; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kCp1251High{{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x00BE, 0x0457,
}};

struct CodeTable {
    std::array<char16_t, 256> toUnicode{};

    constexpr explicit CodeTable(CodePage page) {
        for (int b = 0; b < 256; ++b) toUnicode[b] = static_cast<char16_t>(b);
        if (page == CodePage::Windows1252) {
            for (int b = 0; b < 32; ++b) toUnicode[0x80 + b] = kCp1252High[b];
        } else {
            for (int b = 0; b < 64; ++b) toUnicode[0x80 + b] = kCp1251High[b];
            for (int b = 0; b < 64; ++b) toUnicode[0xC0 + b] = static_cast<char16_t>(0x0410 + b);
        }
    }
};

constexpr CodeTable kCp1252{CodePage::Windows1252};
constexpr CodeTable kCp1251{CodePage::Windows1251};

const CodeTable& table(CodePage page) {
    return page == CodePage::Windows1252 ? kCp1252 : kCp1251;
}

}  // namespace

char32_t byteToUnicode(unsigned char byte, CodePage page) {
    return table(page).toUnicode[byte];
}

std::optional<unsigned char> unicodeToByte(char32_t codePoint, CodePage page) {
    // Below 0x80 both pages are ASCII; above, a scan of 128 entries is short
    // enough for text typed into a name or a record.
    if (codePoint < 0x80) return static_cast<unsigned char>(codePoint);
    const CodeTable& t = table(page);
    for (int b = 0x80; b < 256; ++b)
        if (t.toUnicode[b] == codePoint) return static_cast<unsigned char>(b);
    return std::nullopt;
}

}  // namespace wright
