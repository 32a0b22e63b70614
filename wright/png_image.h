#pragma once
// Indexed PNG images over libpng, in memory: encoding an 8-bit palette image
// row by row, and decoding one row by row with its palette (PLTE) as stored.
// Every libpng error is caught inside this layer and becomes a PngError; no
// libpng type appears here.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace wright::png {

// A PNG that cannot be made or read: the message is libpng's reason (or
// "not a PNG file").
class PngError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// "#rrggbb".
std::string hexColour(Rgb colour);

// Fills row (width bytes) with the palette indices of image row y; rows are
// asked for in order from the top.
using RowFiller = std::function<void(std::uint32_t y, std::uint8_t* row)>;

// A non-interlaced PNG of colour type PALETTE and bit depth 8 whose PLTE is
// palette (1 to 256 entries), in order. The indices are written as given.
std::string encodeIndexedPng(std::uint32_t width, std::uint32_t height, const std::vector<Rgb>& palette,
                             const RowFiller& fillRow);

// What a PNG's header chunks say.
struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = 0;  // libpng's PNG_COLOR_TYPE_* value
    int bitDepth = 0;
    bool interlaced = false;
    std::vector<Rgb> palette;  // PLTE as stored; empty when there is none

    bool indexed() const;
    // "palette", "RGB", "grey scale with alpha", ...
    std::string colourTypeName() const;
};

// Decodes a PNG held in memory. The constructor reads the chunks before the
// pixels; rows of an indexed image are then read one at a time, each pixel
// one byte (bit depths below 8 are unpacked to their indices).
class IndexedPngReader {
public:
    // PngError: not a PNG, or header chunks libpng refuses.
    explicit IndexedPngReader(std::string bytes);
    ~IndexedPngReader();
    IndexedPngReader(const IndexedPngReader&) = delete;
    IndexedPngReader& operator=(const IndexedPngReader&) = delete;

    const PngHeader& header() const { return header_; }

    // The next row's indices, header().width bytes. Only for an indexed
    // image (std::logic_error otherwise); PngError when the pixel data is
    // damaged or ends early. An interlaced image is decoded whole on the first
    // call, which PngError refuses when it would not fit in maxInterlacedBytes.
    void readRow(std::uint8_t* row);

    static constexpr std::size_t maxInterlacedBytes = std::size_t{1} << 28;

    // libpng's reader and the bytes it reads, known only to png_image.cpp.
    struct State;

private:
    std::unique_ptr<State> state_;
    PngHeader header_;
};

}  // namespace wright::png
