#pragma once
// A folder named as a French or Russian translator's home folder may be:
// accented and Cyrillic letters and a space. A path through it shows whether a
// message keeps the file system's text (UTF-8) as it is, or takes it for the
// game's 8-bit text somewhere on the way.

#include <QStringDecoder>

#include <filesystem>
#include <string>
#include <string_view>

namespace wright::testing {

inline const std::string kAccentedFolderName = "josé Фёдор";

// Makes the folder inside `parent` and gives its path.
inline std::string makeAccentedFolder(const std::string& parent) {
    const std::string path = parent + "/" + kAccentedFolderName;
    std::filesystem::create_directory(path);
    return path;
}

// Whether the bytes are UTF-8, as Qt's own decoder (not ours) judges them.
inline bool isUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

}  // namespace wright::testing
