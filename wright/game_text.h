#pragma once
// Game text as the catalogues carry it. The game's bytes are 8-bit codes;
// a catalogue is UTF-8. Between the two stands the letter view the translator
// chose:
//   french   the twelve game codes of accented letters shown as the letters,
//            the rest as Windows-1252 (what the windows show);
//   russian  the game codes of Russian letters shown as Cyrillic, the rest as
//            Windows-1251;
//   none     every byte as Windows-1252.
// A line break in the game's text is CR LF, and "\n" in a catalogue.

#include "common/code_pages.h"

#include <optional>
#include <string>
#include <string_view>

namespace wright::cli {

enum class Letters { French, Russian, None };

// "french", "russian" or "none".
std::optional<Letters> parseLetters(std::string_view name);
std::string_view lettersName(Letters letters);

CodePage codePageOf(Letters letters);

// 8-bit text of a code page as UTF-8; CR LF becomes "\n".
std::string toUtf8(std::string_view bytes, CodePage page);

// UTF-8 as 8-bit text of a code page, each "\n" as CR LF; or why it cannot
// be: not UTF-8, or a character the page cannot hold. For bytes without a
// zero, fromUtf8(toUtf8(bytes)) gives the bytes back, lone CRs included.
struct Encoded {
    std::string bytes;
    std::optional<std::string> problem;
    bool ok() const { return !problem.has_value(); }
};
Encoded fromUtf8(std::string_view utf8, CodePage page);

// The number of characters of a UTF-8 text (its code points).
std::size_t characterCount(std::string_view utf8);

// Unicode normalisation form C: a letter written with a separate accent
// becomes the one letter. Text that is not UTF-8 comes back as it is, for
// fromUtf8 to name.
std::string composed(std::string_view utf8);

// What CAT tools and word processors put in on their own, replaced by the
// game's nearest letters: ' for the curly single quotes, " for the curly
// double quotes and the guillemets, ... for the ellipsis, - for the dashes, a
// space for the no-break spaces. `replaced` is raised by the number of
// characters replaced. Text that is not UTF-8 comes back as it is.
std::string foldTypography(std::string_view utf8, std::size_t& replaced);

// The game shows only what its font holds: each view has an alphabet.
//   french   printable ASCII but the twelve game codes, and the twelve letters;
//   russian  printable ASCII but the codes of the Cyrillic table, and the 64
//            Cyrillic letters; the runs the converter leaves alone ("<0x" to
//            ">", "%" and a variable name, in records "_" and "=" too) are
//            taken as they are;
//   none     every byte.
// A record's text may also hold its tags and line breaks.
enum class TextKind { Name, Record };
// The first character outside the view's alphabet, named with its place and
// what to do instead; nothing when every character is in it.
std::optional<std::string> outsideAlphabet(std::string_view utf8, Letters letters, TextKind kind);

// A name field's text (the bytes before its terminating zero) in the view of
// `letters`, and back. The Russian view of names converts without the
// variable markers, as the monster list does.
std::string showName(std::string_view stored, Letters letters);
Encoded typedName(std::string_view utf8, Letters letters);

}  // namespace wright::cli
