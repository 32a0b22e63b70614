// The record notation in both directions over arbitrary bytes.
//  - Bytes as a record: rendering never fails, and parsing the rendering gives
//    back the record for every record the notation can show: no plain byte
//    0x00 or 0x0D, nothing after a 0xFE, no last 0xFB (the argument of a
//    0xFB may be any byte). With the French letters on, the same holds for a
//    record without accented letters among its plain bytes.
//    One more shape falls outside it with the letters off: plain bytes that
//    spell a tag ("<0xFC>" typed into the game's text) are read back as the
//    control byte, since the notation has no escape. With the letters on,
//    "<" shows as "é" and such a record comes back whole.
//  - Bytes as a typed text: parsing either refuses with RecordTextError or
//    gives at most the record limit, and its output renders and parses back
//    to itself when the notation can show it.

#include "common/french_letters.h"
#include "fuzz/fuzz_check.h"
#include "questwright/record_text.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace wright;
using namespace wright::questwright;

namespace {

struct Shape {
    bool showable = true;        // the notation gives these bytes back
    bool accentedPlain = false;  // a plain byte is one of the accented letters
    bool spellsTag = false;      // plain bytes spell one of the tags
};

Shape shapeOf(std::string_view record) {
    Shape shape;
    for (std::size_t i = 0; i < record.size(); ++i) {
        const auto b = static_cast<unsigned char>(record[i]);
        if (b == 0xFB) {
            if (i + 1 >= record.size()) shape.showable = false;
            ++i;  // the argument byte is never plain
            continue;
        }
        if (b == 0xFE && i + 1 < record.size()) shape.showable = false;
        if (b == 0x00 || b == 0x0D) shape.showable = false;
        if (b < 0xFB && ToGameCode(b) != b) shape.accentedPlain = true;
    }
    for (const char* tag : {"<0xFB=", "<0xFC>", "<0xFD>", "<0xFE>", "<0xFF>"})
        if (record.find(tag) != std::string_view::npos) shape.spellsTag = true;
    return shape;
}

void checkRoundTrip(const std::string& record) {
    const Shape shape = shapeOf(record);
    for (FrenchLetters french : {FrenchLetters::Keep, FrenchLetters::Replace}) {
        const std::string text = RenderRecordText(record, french);
        if (!shape.showable) continue;
        if (french == FrenchLetters::Replace && shape.accentedPlain) continue;
        if (french == FrenchLetters::Keep && shape.spellsTag) continue;
        FUZZ_CHECK(ParseRecordText(text, french) == record);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() <= kMaxRecordSize) checkRoundTrip(bytes);

    for (FrenchLetters french : {FrenchLetters::Keep, FrenchLetters::Replace}) {
        std::string parsed;
        try {
            parsed = ParseRecordText(bytes, french);
        } catch (const RecordTextError&) {
            continue;
        }
        FUZZ_CHECK(parsed.size() <= kMaxRecordSize);
        checkRoundTrip(parsed);
    }
    return 0;
}
