#include "common/cyrillic_letters.h"

namespace wright {
namespace {

struct Substitutions {
    std::array<unsigned char, 256> toRus{};
    std::array<unsigned char, 256> toEng{};

    constexpr Substitutions() {
        for (int b = 0; b < 256; ++b) {
            toRus[b] = static_cast<unsigned char>(b);
            toEng[b] = static_cast<unsigned char>(b);
        }
        // The first equal entry wins; since no value is in both tables and each
        // table's values are distinct, one pass per table gives the same result.
        for (std::size_t k = EngLetters.size(); k-- > 0;) {
            toRus[EngLetters[k]] = RusLetters[k];
            toEng[RusLetters[k]] = EngLetters[k];
        }
    }
};

constexpr Substitutions kSubstitutions;

bool isNameCharacter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

void ConvertRusEng(std::string& text, RusEngDirection direction, MarkersRule markers) {
    const auto& table = direction == RusEngDirection::ToRus ? kSubstitutions.toRus : kSubstitutions.toEng;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (text.compare(i, 3, "<0x") == 0) {
            const std::size_t close = text.find('>', i + 1);
            if (close == std::string::npos) return;
            i = close + 1;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '%' || (markers == MarkersRule::On && (c == '_' || c == '='))) {
            ++i;
            while (i < n && isNameCharacter(static_cast<unsigned char>(text[i]))) ++i;
            continue;
        }
        text[i] = static_cast<char>(table[c]);
        ++i;
    }
}

}  // namespace wright
