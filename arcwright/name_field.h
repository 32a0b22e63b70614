#pragma once
// Names in the game's archives are fixed-width fields of 8-bit text, padded
// with zero bytes. A name as long as its field has no terminating zero, and a
// longer text is cut to the field's width. The French letter option maps every
// byte of the field, so it never changes a length and a zero stays a zero.

#include "common/french_letters.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace wright::arcwright {

// How a caller shows a name (8-bit game text) inside a message: as UTF-8, in
// the letters it shows names in. A message's own words and the file system's
// paths and reasons are UTF-8 already; a name reaches a message only through
// the view, so the two never mix.
using NameView = std::function<std::string(std::string_view name)>;

// The map archive's names: MAPNAMES, and the names inside the location and
// dungeon records.
inline constexpr std::size_t kNameFieldSize = 32;

// The text of a field: with Replace each game code becomes its accented
// letter; the name ends at the first zero byte or with the field.
std::string readFixedName(std::string_view field, FrenchLetters french);
// The field for a text: its first `width` bytes, zero-padded to `width`; with
// Replace each accented letter becomes its game code. Every save writes each
// field this way, edited or not: what followed the terminating zero before is
// no part of the name, the game never reads it, and the field is padded with
// zeros.
std::string makeFixedField(std::string_view text, std::size_t width, FrenchLetters french);

inline std::string readNameField(std::string_view field, FrenchLetters french) {
    return readFixedName(field.substr(0, kNameFieldSize), french);
}
inline std::string makeNameField(std::string_view text, FrenchLetters french) {
    return makeFixedField(text, kNameFieldSize, french);
}

}  // namespace wright::arcwright
