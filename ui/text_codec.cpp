#include "ui/text_codec.h"

namespace wright::ui {

QString UnmappableCharacter::describe() const {
    const char32_t cp[1] = {codePoint};
    const QString hex = QString::number(static_cast<uint>(codePoint), 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("the character \"%1\" (U+%2)").arg(QString::fromUcs4(cp, 1), hex);
}

QChar byteToQChar(unsigned char byte, CodePage page) {
    return QChar(static_cast<char16_t>(byteToUnicode(byte, page)));
}

std::optional<unsigned char> qcharToByte(QChar c, CodePage page) {
    return unicodeToByte(c.unicode(), page);
}

QString toQt(std::string_view bytes, CodePage page) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out.append(QChar(u'\n'));
            ++i;
        } else {
            out.append(byteToQChar(b, page));
        }
    }
    return out;
}

EncodeResult fromQt(const QString& text, CodePage page) {
    EncodeResult result;
    result.bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            result.bytes.append("\r\n");
            continue;
        }
        if (const auto byte = unicodeToByte(c.unicode(), page)) {
            result.bytes.push_back(static_cast<char>(*byte));
            continue;
        }
        char32_t codePoint = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, text.at(i + 1));
        }
        if (!result.unmappable) result.unmappable = UnmappableCharacter{i, codePoint};
        result.bytes.push_back('?');
        if (codePoint > 0xFFFF) ++i;
    }
    return result;
}

}  // namespace wright::ui
