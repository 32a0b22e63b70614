#include "common/french_letters.h"

namespace wright {
namespace {

struct FrenchTables {
    std::array<unsigned char, 256> toAccented{};
    std::array<unsigned char, 256> toGameCode{};

    constexpr FrenchTables() {
        for (int b = 0; b < 256; ++b) {
            toAccented[b] = static_cast<unsigned char>(b);
            toGameCode[b] = static_cast<unsigned char>(b);
        }
        for (const FrenchLetterPair& pair : FrenchLetterMap) {
            toAccented[pair.gameCode] = pair.letter;
            toGameCode[pair.letter] = pair.gameCode;
        }
    }
};

constexpr FrenchTables kTables;

}  // namespace

unsigned char ToAccented(unsigned char code) {
    return kTables.toAccented[code];
}

unsigned char ToGameCode(unsigned char letter) {
    return kTables.toGameCode[letter];
}

void ToAccented(std::string& bytes) {
    for (char& c : bytes) c = static_cast<char>(kTables.toAccented[static_cast<unsigned char>(c)]);
}

void ToGameCode(std::string& bytes) {
    for (char& c : bytes) c = static_cast<char>(kTables.toGameCode[static_cast<unsigned char>(c)]);
}

}  // namespace wright
