#pragma once
// A folder named as a French or Russian translator's home folder may be:
// accented and Cyrillic letters and a space. A path through it shows whether a
// message keeps the file system's text (UTF-8) as it is, or takes it for the
// game's 8-bit text somewhere on the way.

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

// Whether the bytes are UTF-8: shortest forms, no surrogates, nothing past
// U+10FFFF.
inline bool isUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        char32_t c = lead;
        char32_t least = 0;
        if (lead >= 0x80) {
            if ((lead & 0xE0) == 0xC0) {
                length = 2, c = lead & 0x1F, least = 0x80;
            } else if ((lead & 0xF0) == 0xE0) {
                length = 3, c = lead & 0x0F, least = 0x800;
            } else if ((lead & 0xF8) == 0xF0) {
                length = 4, c = lead & 0x07, least = 0x10000;
            } else {
                return false;
            }
            if (i + length > bytes.size()) return false;
            for (std::size_t k = 1; k < length; ++k) {
                const auto next = static_cast<unsigned char>(bytes[i + k]);
                if ((next & 0xC0) != 0x80) return false;
                c = (c << 6) | (next & 0x3F);
            }
            if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace wright::testing
