#pragma once
// The editable text of a quest record. Text bytes are the game font's 8-bit
// codes; the control bytes 0xFB to 0xFF are written as tags:
//
//   0xFB b   "<0xFB=" + b in decimal + ">"   (b is the byte after it, never a control byte)
//   0xFC     "<0xFC>" + line break
//   0xFD     "<0xFD>" + line break
//   0xFE     "<0xFE>"                        (ends the record when parsed)
//   0xFF     "<0xFF>" + line break
//
// A line break is CR LF. With the French letters option, a plain text byte is
// shown through ToAccented and stored through ToGameCode; tags and the
// argument of 0xFB are never mapped. Both directions work on 8-bit text
// (Windows-1252 as the memo shows it); the crossing to QString is elsewhere.

#include "common/french_letters.h"
#include "questwright/quest_file.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wright::questwright {

// The text of a record's bytes. A last byte 0xFB, whose argument would lie
// past the record, is shown as the tag with "?" for its missing argument.
std::string RenderRecordText(std::string_view data, FrenchLetters french);

// How a caller shows 8-bit record text inside a message: as UTF-8, in the
// letters it shows records in.
using TextView = std::function<std::string(std::string_view)>;

// Refusal of a text that cannot become record bytes; the message says why.
// A message that quotes the text keeps the quote apart from its own words:
// the quote is 8-bit record text, the words are UTF-8, and message() joins
// them through the caller's view. what() holds the quote's bytes as they are.
class RecordTextError : public std::runtime_error {
public:
    explicit RecordTextError(const std::string& message) : RecordTextError(message, {}, {}) {}
    RecordTextError(std::string before, std::string quoted, std::string after);

    std::string message(const TextView& view) const;

private:
    std::string before_;
    std::string quoted_;
    std::string after_;
};

// The argument of "<0xFB=...>": optional leading spaces, an optional sign,
// then decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X",
// read as a 32-bit integer. Nothing when it is not such an integer.
std::optional<std::int32_t> parseTagArgument(std::string_view text);

// The bytes of a text, or RecordTextError for an "<0xFB=" without a closing
// ">", an argument that is not an integer, or an output beyond kMaxRecordSize.
std::string ParseRecordText(std::string_view text, FrenchLetters french);

// Replaces the record's bytes by those of the text; on a refusal the record
// is left as it was and the error is thrown.
void ParseRecordText(std::string_view text, QRCRecord& record, FrenchLetters french);

}  // namespace wright::questwright
