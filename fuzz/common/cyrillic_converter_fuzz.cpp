// The Cyrillic converter over arbitrary text: it never changes a length, and
// a text of Cyrillic letters and neutral characters comes back unchanged from
// ToEng followed by ToRus, with and without the markers rule.
//
// One shape is outside that promise, by the converter's own rule: a marker
// ("%", and "_" or "=" under the markers rule) followed by digits and then a
// small letter whose game code is a-z. ToEng turns the letter into a-z, and
// ToRus then takes it for part of a variable name and keeps it. Such markers
// are set to a space here. The other: "ю0ч", whose codes after ToEng are
// "<0x", the start of a tag that ToRus then keeps; its "0" is set to a space.

#include "common/cyrillic_letters.h"
#include "fuzz/fuzz_check.h"

#include <array>
#include <cstdint>
#include <string>

using namespace wright;

namespace {

// Where an input byte is a game code, put the Cyrillic letter it stands for,
// so the text holds letters and neutral characters only.
std::string cyrillicText(std::string text, MarkersRule markers) {
    std::array<int, 256> letterOf{};
    letterOf.fill(-1);
    for (std::size_t k = 0; k < 64; ++k) letterOf[EngLetters[k]] = RusLetters[k];
    for (char& c : text) {
        const int letter = letterOf[static_cast<unsigned char>(c)];
        if (letter >= 0) c = static_cast<char>(letter);
    }
    auto isMarker = [markers](char c) { return c == '%' || (markers == MarkersRule::On && (c == '_' || c == '=')); };
    auto codeOf = [](unsigned char c) {
        for (std::size_t k = 0; k < 64; ++k)
            if (RusLetters[k] == c) return static_cast<int>(EngLetters[k]);
        return -1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isMarker(text[i])) continue;
        std::size_t j = i + 1;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        if (j < text.size()) {
            const int code = codeOf(static_cast<unsigned char>(text[j]));
            if (code >= 'a' && code <= 'z') text[i] = ' ';
        }
    }
    for (std::size_t i = 0; i + 2 < text.size(); ++i)
        if (text[i] == '\xFE' && text[i + 1] == '0' && text[i + 2] == '\xF7') text[i + 1] = ' ';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (MarkersRule markers : {MarkersRule::Off, MarkersRule::On}) {
        for (RusEngDirection direction : {RusEngDirection::ToEng, RusEngDirection::ToRus}) {
            std::string converted = input;
            ConvertRusEng(converted, direction, markers);
            FUZZ_CHECK(converted.size() == input.size());
        }
        const std::string cyrillic = cyrillicText(input, markers);
        std::string roundTrip = cyrillic;
        ConvertRusEng(roundTrip, RusEngDirection::ToEng, markers);
        ConvertRusEng(roundTrip, RusEngDirection::ToRus, markers);
        FUZZ_CHECK(roundTrip == cyrillic);
    }
    return 0;
}
