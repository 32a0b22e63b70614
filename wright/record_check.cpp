// How a translated record becomes bytes, and the check that the bytes show
// back as the translation.

#include "wright/record_check.h"

#include "common/cyrillic_letters.h"
#include "questwright/record_text.h"

#include <algorithm>
#include <cstdint>

namespace wright::cli {
namespace {

FrenchLetters frenchOf(Letters letters) {
    return letters == Letters::French ? FrenchLetters::Replace : FrenchLetters::Keep;
}

}  // namespace

std::string showRecord(const std::string& data, Letters letters) {
    std::string text = questwright::RenderRecordText(data, frenchOf(letters));
    if (letters == Letters::Russian) ConvertRusEng(text, RusEngDirection::ToRus, MarkersRule::On);
    return toUtf8(text, codePageOf(letters));
}

namespace {

constexpr std::string_view kTags[] = {"<0xFB=", "<0xFC>", "<0xFD>", "<0xFE>", "<0xFF>"};
constexpr std::string_view kLineTags[] = {"<0xFC>", "<0xFD>", "<0xFF>"};

bool startsWith(std::string_view text, std::size_t at, std::string_view part) {
    return text.substr(at, part.size()) == part;
}

// The length in bytes of the UTF-8 character at `at`.
std::size_t characterBytes(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end - at;
}

// At most `count` characters of a UTF-8 text from `at`, cut at a character.
std::string excerpt(std::string_view text, std::size_t at, std::size_t count) {
    std::size_t end = at;
    for (std::size_t n = 0; end < text.size() && n < count; ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    std::string part(text.substr(at, end - at));
    for (std::size_t k = 0; (k = part.find('\n', k)) != std::string::npos;) part.replace(k, 1, "\\n");
    return part + (end < text.size() ? "..." : "");
}

// A tag written almost as the notation writes it: "<0x" in another case or
// for another byte. The parser knows only the exact forms and would store
// such text as plain characters.
std::optional<std::string> lookAlikeTag(std::string_view text) {
    for (std::size_t i = 0; (i = text.find('<', i)) != std::string_view::npos;) {
        if (startsWith(text, i, "<0xFB=")) {
            const std::size_t close = text.find('>', i);
            if (close == std::string_view::npos) return std::nullopt;  // the parser says so
            i = close + 1;
            continue;
        }
        bool exact = false;
        for (const std::string_view tag : kTags) exact = exact || startsWith(text, i, tag);
        if (exact) {
            i += 6;
            continue;
        }
        const bool lookAlike = i + 2 < text.size() && text[i + 1] == '0' && (text[i + 2] == 'x' || text[i + 2] == 'X');
        if (!lookAlike) {
            ++i;
            continue;
        }
        std::size_t end = text.find_first_of(">\n", i);
        end = end == std::string_view::npos || text[end] == '\n' || end - i > 10 ? std::min(text.size(), i + 8)
                                                                                : end + 1;
        std::string upper(text.substr(i, end - i));
        for (std::size_t k = 3; k < upper.size(); ++k)
            if (upper[k] >= 'a' && upper[k] <= 'f') upper[k] = static_cast<char>(upper[k] - 'a' + 'A');
        upper[2] = 'x';
        bool caseOnly = false;
        for (const std::string_view tag : kTags) caseOnly = caseOnly || startsWith(upper, 0, tag);
        return "'" + std::string(text.substr(i, end - i)) + "' is not a tag (" +
               (caseOnly ? "tags are written \"<0x\" and upper-case hexadecimal"
                         : "the tags are <0xFB=n>, <0xFC>, <0xFD>, <0xFE> and <0xFF>") +
               ") and would be stored as plain text";
    }
    return std::nullopt;
}

// The translation as the notation would show it if its bytes come back as
// written: the notation has two spellings for some bytes, and this one is
// the display's. An argument of 0 to 255 becomes its decimal, and the line
// break after <0xFC>, <0xFD> and <0xFF>, which the parser takes or leaves,
// is there.
std::string displaySpelling(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t i = 0;
    while (i < text.size()) {
        if (startsWith(text, i, "<0xFB=")) {
            const std::size_t close = text.find('>', i);
            if (close == std::string_view::npos) break;
            const std::optional<std::int32_t> value = questwright::parseTagArgument(text.substr(i + 6, close - i - 6));
            if (value && *value >= 0 && *value <= 255)
                out += "<0xFB=" + std::to_string(*value) + ">";
            else
                out.append(text.substr(i, close + 1 - i));
            i = close + 1;
            continue;
        }
        bool lineTag = false;
        for (const std::string_view tag : kLineTags) lineTag = lineTag || startsWith(text, i, tag);
        if (lineTag) {
            out.append(text.substr(i, 6));
            out += '\n';
            i += 6;
            if (i < text.size() && text[i] == '\n') ++i;
            continue;
        }
        if (startsWith(text, i, "<0xFE>")) break;
        out += text[i++];
    }
    out.append(text.substr(i));
    return out;
}

// Why the bytes of a translation would not show back as the translation, or
// nothing: the text that would be stored otherwise, named at its first
// difference with what the display would show.
std::optional<std::string> renderBackProblem(std::string_view translation, std::string_view shown) {
    const std::string written = displaySpelling(translation);
    if (written == shown) return std::nullopt;
    std::size_t p = 0;
    while (p < written.size() && p < shown.size() && written[p] == shown[p]) ++p;
    while (p > 0 && (static_cast<unsigned char>(written[p]) & 0xC0) == 0x80) --p;
    const auto before = written.begin() + static_cast<std::ptrdiff_t>(p);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(written.begin(), before, '\n'));
    const std::size_t lineStart = line == 1 ? 0 : written.rfind('\n', p - 1) + 1;
    const std::string where = "line " + std::to_string(line) + ", character " +
                              std::to_string(characterCount(written.substr(lineStart, p - lineStart)) + 1);

    const std::size_t end = written.rfind("<0xFE>", p);
    if (p >= shown.size() && end != std::string::npos && end + 6 <= p)
        return "the text after <0xFE> would be dropped: \"" + excerpt(written, p, 20) + "\"";
    if (p < written.size() && written[p] == '\n')
        return "the line break at " + where +
               " would not be stored: a line break is kept only after <0xFC>, <0xFD> or <0xFF>";
    if (p < written.size() && written[p] == '\r')
        return "the carriage return at " + where + " would be dropped with the character after it";
    const std::size_t tag = written.rfind("<0xFB=", p);
    const std::size_t close = tag == std::string::npos ? tag : written.find('>', tag);
    if (close != std::string::npos && close >= p) {
        const std::string_view argument = std::string_view(written).substr(tag + 6, close - tag - 6);
        const std::optional<std::int32_t> value = questwright::parseTagArgument(argument);
        return "the argument of '" + written.substr(tag, close + 1 - tag) + "' is not 0 to 255: it would be stored as " +
               std::to_string(value ? static_cast<std::uint32_t>(*value) & 0xFFu : 0);
    }
    if (startsWith(shown, p, "<0x"))
        return "the character '" + written.substr(p, characterBytes(written, p)) + "' at " + where + " would be stored as a control byte, shown as '" +
               std::string(shown.substr(p, shown.find('>', p) + 1 - p)) + "'";
    return "the text would not come back as written: from " + where + " it would read \"" + excerpt(shown, p, 20) +
           "\", not \"" + excerpt(written, p, 20) + "\"";
}

}  // namespace

Encoded storedRecord(const std::string& translation, Letters letters) {
    if (std::optional<std::string> why = lookAlikeTag(translation)) return {{}, why};
    if (std::optional<std::string> why = outsideAlphabet(translation, letters, TextKind::Record)) return {{}, why};
    Encoded typed = fromUtf8(translation, codePageOf(letters));
    if (!typed.ok()) return typed;
    if (letters == Letters::Russian) ConvertRusEng(typed.bytes, RusEngDirection::ToEng, MarkersRule::On);
    std::string parsed;
    try {
        parsed = questwright::ParseRecordText(typed.bytes, frenchOf(letters));
    } catch (const questwright::RecordTextError& error) {
        // What a refusal quotes is a tag's argument, which neither letter
        // conversion touches: its bytes are the typed text's.
        return {{}, error.message([letters](std::string_view quoted) { return toUtf8(quoted, codePageOf(letters)); })};
    }
    if (std::optional<std::string> why = renderBackProblem(translation, showRecord(parsed, letters))) return {{}, why};
    return {std::move(parsed), std::nullopt};
}


}  // namespace wright::cli
