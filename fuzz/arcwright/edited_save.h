#pragma once
// What an edited save must write: the edited text split into the list's
// lines, and each name field as its line's first bytes (with the French
// letters on, each accented letter as its game code) padded with zeros.

#include "arcwright/name_field.h"
#include "common/french_letters.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace wright::arcwright::fuzzing {

// The lines of an edited list: split at LF, an empty text being one empty line.
inline std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1)
        lines.emplace_back(text.substr(start, end - start));
    lines.emplace_back(text.substr(start));
    return lines;
}

inline std::string expectedField(std::string_view line, std::size_t width, FrenchLetters french) {
    std::string field(line.substr(0, std::min(line.size(), width)));
    if (french == FrenchLetters::Replace) wright::ToGameCode(field);
    field.resize(width, '\0');
    return field;
}

}  // namespace wright::arcwright::fuzzing
