#pragma once
// Picture and palette files made in code, for the tests and the demo folder.

#include "pixwright/img_picture.h"

#include <cstdint>
#include <string>

namespace wright::pixwright::fixtures {

// width x height palette indices in a pattern that differs from pixel to
// pixel and from row to row, so a shifted or mirrored drawing shows.
std::string patternPixels(std::uint16_t width, std::uint16_t height, int seed = 0);

// The 12 header bytes, little-endian, in the order of the fields.
std::string headerBytes(const IMGHeader& header);
// A headered picture: the header (data size = pixels' length) and the pixels.
std::string headeredPicture(std::uint16_t width, std::uint16_t height, const std::string& pixels);

// A palette of smooth colour ramps with components 0..63.
Palette rampPalette(int shift = 0);
std::string paletteBytes(const Palette& palette);

// Fills folder with demo pictures of several known lengths (one carrying its
// own palette), a headered picture, a picture named in capitals and map.pal.
void writeDemoFolder(const std::string& folder);

}  // namespace wright::pixwright::fixtures
