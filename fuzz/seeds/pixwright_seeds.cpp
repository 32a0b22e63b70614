// Seeds for the picture loader and the doubled drawing, made with the same
// builders as the tests' pictures.

#include "fuzz/seeds/pixwright_seeds.h"
#include "fuzz/seeds/seed_writer.h"

#include "pixwright/img_fixtures.h"
#include "pixwright/img_picture.h"

#include <cstdint>
#include <string>

namespace fs = std::filesystem;
using namespace wright::pixwright;
using namespace wright::pixwright::fixtures;

namespace {

std::string u16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

// The loader's input: flags, the picture's byte count, the picture, map.pal.
std::string loadInput(std::uint8_t flags, const std::string& picture, const std::string& mapPal) {
    return std::string(1, static_cast<char>(flags)) + u16(static_cast<unsigned>(picture.size())) + picture + mapPal;
}

constexpr std::uint8_t kUnlisted = 0x1F;
constexpr std::uint8_t kNoMapPal = 0x20;

IMGHeader header(std::uint16_t w, std::uint16_t h, std::uint16_t dataSize) {
    IMGHeader hd;
    hd.width = w;
    hd.height = h;
    hd.dataSize = dataSize;
    return hd;
}

void loadSeeds(const fs::path& corpus) {
    const std::string target = "fuzz_img_load";
    const std::string pal = paletteBytes(rampPalette(3));
    // Listed lengths: the pattern is repeated up to the row's length.
    writeSeed(corpus, target, "listed_720", loadInput(0, patternPixels(9, 8, 1), pal));
    writeSeed(corpus, target, "listed_64768_own_palette", loadInput(12, patternPixels(32, 20, 2), ""));
    writeSeed(corpus, target, "listed_112128", loadInput(14, patternPixels(64, 2, 3), pal.substr(0, 200)));
    writeSeed(corpus, target, "listed_no_map_pal", loadInput(kNoMapPal | 4, patternPixels(20, 4, 4), ""));
    // Headered pictures, whole, short and asking too much.
    writeSeed(corpus, target, "headered_4x3", loadInput(kUnlisted, headeredPicture(4, 3, patternPixels(4, 3, 5)), pal));
    writeSeed(corpus, target, "headered_ends_in_data",
              loadInput(kUnlisted, headeredPicture(10, 10, patternPixels(10, 10, 6)).substr(0, 40), pal + "tail"));
    writeSeed(corpus, target, "headered_data_below_pixels",
              loadInput(kUnlisted, headerBytes(header(30, 20, 50)) + patternPixels(10, 5, 7), pal));
    writeSeed(corpus, target, "ends_in_header", loadInput(kUnlisted, headerBytes(header(3, 2, 6)).substr(0, 7), pal));
    writeSeed(corpus, target, "too_large", loadInput(kUnlisted, headerBytes(header(9000, 2, 65535)), pal));
    writeSeed(corpus, target, "largest_side", loadInput(kUnlisted, headerBytes(header(8192, 3, 100)), pal));
}

// The drawing's input: width, height, surface shape, palette, pixels.
std::string drawInput(std::uint16_t w, std::uint16_t h, std::uint8_t shape, const std::string& pixels) {
    return u16(w) + u16(h) + std::string(1, static_cast<char>(shape)) + paletteBytes(rampPalette(9)) + pixels;
}

void drawSeeds(const fs::path& corpus) {
    const std::string target = "fuzz_img_draw";
    writeSeed(corpus, target, "nine_by_eighty", drawInput(9, 80, 0, patternPixels(9, 80, 1)));
    writeSeed(corpus, target, "short_buffer_padded_rows", drawInput(12, 7, 3 << 2, patternPixels(5, 5, 2)));
    writeSeed(corpus, target, "long_buffer", drawInput(4, 3, 0, patternPixels(10, 4, 3)));
    writeSeed(corpus, target, "narrow_surface", drawInput(5, 5, 1, patternPixels(5, 5, 4)));
    writeSeed(corpus, target, "low_surface", drawInput(5, 5, 2, patternPixels(5, 5, 5)));
    writeSeed(corpus, target, "zero_width", drawInput(0, 5, 0, "abc"));
}

}  // namespace

void writePixwrightSeeds(const fs::path& corpus) {
    loadSeeds(corpus);
    drawSeeds(corpus);
}
