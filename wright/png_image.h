#pragma once
// PNG images over libpng, in memory: encoding an 8-bit palette image row by
// row, and decoding one row by row, an indexed image as indices with its
// palette (PLTE) as stored, any other as exact colours.
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

// A pixel of a PNG that is not indexed, 16 bits a channel whatever the PNG's
// bit depth, so that no value is rounded: an 8-bit sample v reads as v * 257,
// grey as three equal channels, and a PNG without alpha (or transparent
// colour) as alpha 65535.
struct DeepColour {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;

    // The 8-bit colour this is exactly (every channel v * 257, fully opaque),
    // or nothing.
    bool exact8Bit() const;
    Rgb rgb() const;  // the high byte of each channel
    // "#rrggbb", "#rrrrggggbbbb" when not exactly 8-bit, with ", alpha N of
    // 65535" when not fully opaque.
    std::string text() const;
};

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
// pixels; rows are then read one at a time: an indexed image's with readRow,
// each pixel one byte (bit depths below 8 are unpacked to their indices),
// any other's with readColourRow.
class PngReader {
public:
    // PngError: not a PNG, or header chunks libpng refuses.
    explicit PngReader(std::string bytes);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    const PngHeader& header() const { return header_; }

    // The next row's indices, header().width bytes. Only for an indexed
    // image (std::logic_error otherwise); PngError when the pixel data is
    // damaged or ends early. An interlaced image is decoded whole on the first
    // call, which PngError refuses when it would not fit in kMaxInterlacedBytes.
    void readRow(std::uint8_t* row);
    // The next row's colours, header().width of them. Only for an image that
    // is not indexed (std::logic_error otherwise); fails as readRow does.
    void readColourRow(DeepColour* row);

    static constexpr std::size_t kMaxInterlacedBytes = std::size_t{1} << 28;
    // A decoded pixel of an image that is not indexed: four 16-bit samples.
    static constexpr std::size_t kColourPixelBytes = 8;

    // libpng's reader and the bytes it reads, known only to png_image.cpp.
    struct State;

private:
    void readRawRow(std::uint8_t* row);

    std::unique_ptr<State> state_;
    PngHeader header_;
};

}  // namespace wright::png
