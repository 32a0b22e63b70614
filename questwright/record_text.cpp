#include "questwright/record_text.h"

#include "common/french_letters.h"

#include <utility>

namespace wright::questwright {
namespace {

constexpr unsigned char kArgumentByte = 0xFB;
constexpr unsigned char kEndOfRecord = 0xFE;
constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kArgumentTag = "<0xFB=";
constexpr std::size_t kTagLength = 6;

struct PlainTag {
    std::string_view text;
    unsigned char byte;
    bool lineBreak;
};
constexpr PlainTag kPlainTags[] = {
    {"<0xFC>", 0xFC, true},
    {"<0xFD>", 0xFD, true},
    {"<0xFE>", 0xFE, false},
    {"<0xFF>", 0xFF, true},
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

RecordTextError::RecordTextError(std::string before, std::string quoted, std::string after)
    : std::runtime_error(before + quoted + after),
      before_(std::move(before)),
      quoted_(std::move(quoted)),
      after_(std::move(after)) {}

std::string RecordTextError::message(const TextView& view) const {
    return before_ + (quoted_.empty() ? std::string() : view(quoted_)) + after_;
}

std::string RenderRecordText(std::string_view data, FrenchLetters french) {
    std::string text;
    text.reserve(data.size() + data.size() / 4);
    std::size_t i = 0;
    while (i < data.size()) {
        const unsigned char b = static_cast<unsigned char>(data[i]);
        if (b == kArgumentByte) {
            text += kArgumentTag;
            if (i + 1 < data.size()) {
                text += std::to_string(static_cast<unsigned char>(data[i + 1]));
            } else {
                text += '?';  // the record ends before the argument
            }
            text += '>';
            i += 2;
            continue;
        }
        bool tagged = false;
        for (const PlainTag& tag : kPlainTags) {
            if (tag.byte != b) continue;
            text += tag.text;
            if (tag.lineBreak) text += kLineBreak;
            tagged = true;
            break;
        }
        if (!tagged) text += static_cast<char>(french == FrenchLetters::Replace ? ToAccented(b) : b);
        ++i;
    }
    return text;
}

std::optional<std::int32_t> parseTagArgument(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return std::nullopt;  // no digits
    std::uint64_t value = 0;
    // Hexadecimal takes the full 32 bits (FFFFFFFF is -1); decimal stays in
    // the signed range.
    const std::uint64_t limit = hex ? 0xFFFFFFFFull
                                    : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; i < s.size(); ++i) {
        const int digit = hex ? hexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

std::string ParseRecordText(std::string_view text, FrenchLetters french) {
    std::string out;
    out.reserve(text.size());
    auto emit = [&out](unsigned char b) {
        if (out.size() >= kMaxRecordSize)
            throw RecordTextError("The text gives more than " + std::to_string(kMaxRecordSize) +
                                  " bytes, the most a record holds.");
        out.push_back(static_cast<char>(b));
    };

    std::size_t cursor = 0;
    while (cursor < text.size()) {
        if (text[cursor] == '\r') {
            // One line break is skipped per step, CR and the character after
            // it; the step goes on with what follows, so a second CR is text.
            cursor += 2;
            if (cursor >= text.size()) break;
        }
        const std::string_view head = text.substr(cursor, kTagLength);
        if (head == kArgumentTag) {
            const std::size_t from = cursor + kTagLength;
            const std::size_t close = text.find('>', from);
            if (close == std::string_view::npos)
                throw RecordTextError("Index beyond the end of the text: the tag \"<0xFB=\" at character " +
                                      std::to_string(cursor + 1) + " has no closing \">\".");
            const std::string_view argument = text.substr(from, close - from);
            const auto value = parseTagArgument(argument);
            if (!value) throw RecordTextError("'", std::string(argument), "' is not a valid integer value");
            emit(kArgumentByte);
            emit(static_cast<unsigned char>(static_cast<std::uint32_t>(*value) & 0xFFu));
            cursor = close + 1;
            continue;
        }
        bool tagged = false;
        for (const PlainTag& tag : kPlainTags) {
            if (head != tag.text) continue;
            emit(tag.byte);
            tagged = true;
            break;
        }
        if (tagged) {
            if (static_cast<unsigned char>(out.back()) == kEndOfRecord) break;
            cursor += kTagLength;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[cursor]);
        emit(french == FrenchLetters::Replace ? ToGameCode(c) : c);
        ++cursor;
    }
    return out;
}

void ParseRecordText(std::string_view text, QRCRecord& record, FrenchLetters french) {
    std::string bytes = ParseRecordText(text, french);
    record.data = std::move(bytes);
}

}  // namespace wright::questwright
