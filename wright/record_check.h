#pragma once
// A quest record as a catalogue carries it: its text in the notation of the
// quest editor (control bytes as tags, CR LF as line breaks) through a letter
// view, and back.

#include "wright/game_text.h"

#include <string>

namespace wright::cli {

// The text of a record's bytes in the view of `letters`.
std::string showRecord(const std::string& data, Letters letters);

// The bytes a translated record is stored as, or why it cannot be: a tag the
// notation does not know ("<0xfc>", "<0XFB=", "<0xFA>"), a character outside
// the view's alphabet, a text the parser refuses, or bytes that would not
// show back as the translation (text after <0xFE>, a line break the parser
// drops, an argument outside 0 to 255, a letter whose byte is a control
// byte). The notation's other spellings of the same bytes are taken: an
// argument of 0 to 255 in any form the parser reads, and <0xFC>, <0xFD> or
// <0xFF> without the line break after it.
Encoded storedRecord(const std::string& translation, Letters letters);

}  // namespace wright::cli
