#include "pixwright/img_fixtures.h"

#include "fileio/binary_file.h"
#include "fileio/little_endian.h"

#include <cmath>

namespace wright::pixwright::fixtures {

std::string patternPixels(std::uint16_t width, std::uint16_t height, int seed) {
    std::string pixels(std::size_t{width} * height, '\0');
    for (std::size_t r = 0; r < height; ++r)
        for (std::size_t c = 0; c < width; ++c) {
            // Rings around the centre over a diagonal ramp.
            const double dx = double(c) - width / 2.0;
            const double dy = double(r) - height / 2.0;
            const int ring = int(std::sqrt(dx * dx + dy * dy) / 6.0);
            const int value = int(c * 3 + r * 7) + ring * 37 + seed * 29;
            pixels[r * width + c] = static_cast<char>(value & 0xFF);
        }
    return pixels;
}

std::string headerBytes(const IMGHeader& header) {
    std::string bytes;
    appendU16LE(bytes, header.first);
    appendU16LE(bytes, header.second);
    appendU16LE(bytes, header.width);
    appendU16LE(bytes, header.height);
    bytes.push_back(static_cast<char>(header.byte8));
    bytes.push_back(static_cast<char>(header.byte9));
    appendU16LE(bytes, header.dataSize);
    return bytes;
}

std::string headeredPicture(std::uint16_t width, std::uint16_t height, const std::string& pixels) {
    IMGHeader header;
    header.width = width;
    header.height = height;
    header.dataSize = static_cast<std::uint16_t>(pixels.size());
    return headerBytes(header) + pixels;
}

Palette rampPalette(int shift) {
    Palette palette{};
    for (int i = 0; i < kPaletteEntries; ++i) {
        const int k = (i + shift) & 0xFF;
        // Four bands of 64: red rising, green rising, blue rising, grey.
        const int level = k & 63;
        const int band = k >> 6;
        palette[3 * i + 0] = static_cast<std::uint8_t>(band == 0 || band == 3 ? level : 63 - level);
        palette[3 * i + 1] = static_cast<std::uint8_t>(band == 1 || band == 3 ? level : (level / 2));
        palette[3 * i + 2] = static_cast<std::uint8_t>(band == 2 || band == 3 ? level : 63 - level / 2);
    }
    return palette;
}

std::string paletteBytes(const Palette& palette) {
    return std::string(reinterpret_cast<const char*>(palette.data()), palette.size());
}

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    BinaryFile file(path, "wb");
    file.write(bytes);
    file.close();
}

std::string rawPicture(std::int64_t length, int seed) {
    const std::optional<KnownIMGSize> known = IdentifyIMG(length);
    std::string bytes = patternPixels(known->width, known->height, seed);
    bytes.resize(known->dataSize, '\0');
    return bytes;
}

}  // namespace

void writeDemoFolder(const std::string& folder) {
    const auto at = [&](const char* name) { return folder + "/" + name; };
    writeFile(at(kPaletteFileName), paletteBytes(rampPalette()));

    writeFile(at("arrow.img"), rawPicture(720, 1));
    writeFile(at("shield.img"), rawPicture(1720, 2));
    writeFile(at("banner.img"), rawPicture(4508, 3));
    writeFile(at("strip.img"), rawPicture(20480, 4));
    writeFile(at("portrait.img"), rawPicture(26496, 5));
    writeFile(at("scene.img"), rawPicture(64000, 6));
    writeFile(at("wide.img"), rawPicture(112128, 7));
    // Its own palette after the pixels: the same rings in other colours.
    writeFile(at("sunset.img"), rawPicture(64768, 8) + paletteBytes(rampPalette(96)));
    writeFile(at("icon.img"), headeredPicture(64, 48, patternPixels(64, 48, 9)));
    writeFile(at("TOWNMAP.IMG"), rawPicture(68800, 10));
}

}  // namespace wright::pixwright::fixtures
