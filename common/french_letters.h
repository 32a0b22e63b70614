#pragma once
// The game stores each of the twelve accented lowercase letters of French as
// one ASCII punctuation code. FrenchLetterMap pairs those codes with the
// letters as the editors show them (Windows-1252 bytes, equal to ISO 8859-1
// for these letters). No other byte takes part in either direction, so both
// directions leave every other byte, capitals such as 0xC9 included, alone.

#include <array>
#include <string>

namespace wright {

// Whether the French letters are exchanged, read from a window's check box (or
// the command line's letters option) at the moment of each load and each
// store: with Replace a game code is shown as its accented letter and an
// accented letter is stored as its game code; with Keep every byte stays.
enum class FrenchLetters { Keep, Replace };

struct FrenchLetterPair {
    unsigned char gameCode;
    unsigned char letter;
};

inline constexpr std::array<FrenchLetterPair, 12> FrenchLetterMap{{
    {0x23, 0xE8},  // #  è
    {0x24, 0xE7},  // $  ç
    {0x2A, 0xEB},  // *  ë
    {0x3C, 0xE9},  // <  é
    {0x40, 0xE0},  // @  à
    {0x5C, 0xE2},  // \  â
    {0x5E, 0xEA},  // ^  ê
    {0x60, 0xFB},  // `  û
    {0x7B, 0xEF},  // {  ï
    {0x7C, 0xF4},  // |  ô
    {0x7D, 0xEE},  // }  î
    {0x7E, 0xF9},  // ~  ù
}};

// Game file to screen: the accented letter paired with a game code, else the byte.
unsigned char ToAccented(unsigned char code);
// Screen to game file: the game code paired with an accented letter, else the byte.
unsigned char ToGameCode(unsigned char letter);

// The same, byte by byte over a whole buffer; the length never changes and a
// zero byte stays zero.
void ToAccented(std::string& bytes);
void ToGameCode(std::string& bytes);

}  // namespace wright
