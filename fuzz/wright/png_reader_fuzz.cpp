// The PNG reader over arbitrary bytes: it refuses what libpng refuses with a
// PngError and never leaves through libpng otherwise, and an indexed PNG
// gives its rows, each pixel an index within the bit depth's range; any other
// PNG gives rows of colours.

#include "fuzz/fuzz_check.h"
#include "wright/png_image.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace wright::png;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        PngReader reader(std::string(reinterpret_cast<const char*>(data), size));
        const PngHeader& header = reader.header();
        // A header may claim millions of rows; what a picture can be is far less.
        if (std::uint64_t{header.width} * header.height > (1u << 22)) return 0;
        if (!header.indexed()) {
            std::vector<DeepColour> colours(header.width);
            for (std::uint32_t y = 0; y < header.height; ++y) reader.readColourRow(colours.data());
            return 0;
        }
        FUZZ_CHECK(header.bitDepth == 1 || header.bitDepth == 2 || header.bitDepth == 4 || header.bitDepth == 8);
        FUZZ_CHECK(header.palette.size() <= 256);
        std::vector<std::uint8_t> row(header.width);
        const unsigned limit = 1u << header.bitDepth;
        for (std::uint32_t y = 0; y < header.height; ++y) {
            reader.readRow(row.data());
            for (const std::uint8_t index : row) FUZZ_CHECK(index < limit);
        }
    } catch (const PngError&) {
    }
    return 0;
}
