#pragma once
// What an unedited save may change in a name field. Each field is written as
// the name it shows, cut to the field and padded with zero bytes, so the name
// (the bytes up to the first zero, or the whole field) stays as it was and
// only the bytes after its terminating zero become zeros. With the French
// letters on, an accented byte is written as its game code, so it is the name
// as shown that stays.

#include "arcwright/name_field.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <string_view>

namespace wright::arcwright::fuzzing {

inline void checkNameKept(std::string_view before, std::string_view after, FrenchLetters french) {
    FUZZ_CHECK(after.size() == before.size());
    const std::size_t length = std::min(before.find('\0'), before.size());
    if (french == FrenchLetters::Keep) {
        FUZZ_CHECK(after.substr(0, length) == before.substr(0, length));
    } else {
        FUZZ_CHECK(readFixedName(after, french) == readFixedName(before, french));
    }
    FUZZ_CHECK(after.find_first_not_of('\0', length) == std::string_view::npos);
}

}  // namespace wright::arcwright::fuzzing
