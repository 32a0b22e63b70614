// The crossing between catalogue text (UTF-8) and the game's 8-bit text over
// arbitrary input: a decoded text encodes back to the input, game bytes
// without a zero come back from UTF-8 (lone CRs and LFs as well as CR LF),
// and a name comes back from each letter view wherever that view is
// one-to-one.

#include "common/cyrillic_letters.h"
#include "common/french_letters.h"
#include "fuzz/fuzz_check.h"
#include "wright/game_text.h"

#include <cstdint>
#include <string>

using namespace wright;
using namespace wright::cli;

namespace {

// A lone LF is shown as a line break and comes back as CR LF.
bool everyNewlineAfterCr(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    return true;
}

bool holdsAny(const std::string& text, const unsigned char* set, std::size_t n) {
    for (const char c : text)
        for (std::size_t k = 0; k < n; ++k)
            if (static_cast<unsigned char>(c) == set[k]) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const CodePage page : {CodePage::Windows1252, CodePage::Windows1251}) {
        const Encoded encoded = fromUtf8(input, page);
        if (encoded.ok()) {
            FUZZ_CHECK(encoded.bytes.find('\0') == std::string::npos);
            FUZZ_CHECK(toUtf8(encoded.bytes, page) == input);
        }
        const std::string utf8 = toUtf8(input, page);
        const Encoded back = fromUtf8(utf8, page);
        if (input.find('\0') == std::string::npos) {
            FUZZ_CHECK(back.ok());
            if (everyNewlineAfterCr(input)) FUZZ_CHECK(back.bytes == input);
        }
    }

    // A name is the bytes of a field before its zero.
    const std::string name = input.substr(0, input.find('\0'));
    const Encoded plain = typedName(showName(name, Letters::None), Letters::None);
    FUZZ_CHECK(plain.ok());
    if (everyNewlineAfterCr(name)) FUZZ_CHECK(plain.bytes == name);

    unsigned char accented[FrenchLetterMap.size()];
    for (std::size_t k = 0; k < FrenchLetterMap.size(); ++k) accented[k] = FrenchLetterMap[k].letter;
    const Encoded french = typedName(showName(name, Letters::French), Letters::French);
    FUZZ_CHECK(french.ok());
    if (everyNewlineAfterCr(name) && !holdsAny(name, accented, FrenchLetterMap.size())) FUZZ_CHECK(french.bytes == name);

    // The converter leaves "%" runs and "<0x" tags alone in both directions;
    // texts with them are outside this round trip.
    const Encoded russian = typedName(showName(name, Letters::Russian), Letters::Russian);
    FUZZ_CHECK(russian.ok());
    if (everyNewlineAfterCr(name) && !holdsAny(name, RusLetters.data(), 64) && name.find('%') == std::string::npos &&
        name.find('<') == std::string::npos)
        FUZZ_CHECK(russian.bytes == name);
    return 0;
}
