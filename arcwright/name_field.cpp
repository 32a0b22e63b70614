#include "arcwright/name_field.h"

#include "common/french_letters.h"

namespace wright::arcwright {

std::string readFixedName(std::string_view field, FrenchLetters french) {
    std::string name(field.substr(0, field.find('\0')));
    if (french == FrenchLetters::Replace) wright::ToAccented(name);
    return name;
}

std::string makeFixedField(std::string_view text, std::size_t width, FrenchLetters french) {
    std::string field(text.substr(0, width));
    field.resize(width, '\0');
    if (french == FrenchLetters::Replace) wright::ToGameCode(field);
    return field;
}

}  // namespace wright::arcwright
