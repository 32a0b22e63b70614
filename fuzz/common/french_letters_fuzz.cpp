// The French letter mapping over arbitrary bytes: a text without accented
// letters comes back from ToAccented then ToGameCode, a text without game
// codes from ToGameCode then ToAccented, and no length changes.

#include "common/french_letters.h"
#include "fuzz/fuzz_check.h"

#include <cstdint>
#include <string>

using namespace wright;

namespace {

bool holdsAny(const std::string& text, bool letters) {
    for (char c : text)
        for (const FrenchLetterPair& pair : FrenchLetterMap)
            if (static_cast<unsigned char>(c) == (letters ? pair.letter : pair.gameCode)) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string shown = input;
    ToAccented(shown);
    FUZZ_CHECK(shown.size() == input.size());
    FUZZ_CHECK(!holdsAny(shown, false));
    std::string stored = shown;
    ToGameCode(stored);
    if (!holdsAny(input, true)) FUZZ_CHECK(stored == input);
    std::string back = input;
    ToGameCode(back);
    FUZZ_CHECK(!holdsAny(back, true));
    ToAccented(back);
    if (!holdsAny(input, false)) FUZZ_CHECK(back == input);
    return 0;
}
