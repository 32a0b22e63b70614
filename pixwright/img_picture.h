#pragma once
// The game's raw pictures (*.img) and their palettes.
//
// A picture file carries no signature. Most kinds are known by their exact
// length alone (KnownIMGSizes); a file of any other length begins with a
// 12-byte header that gives its size. Pixels are 8-bit indices into 256
// palette entries of three 6-bit components (red, green, blue). The palette is
// either the 768 bytes after the pixel data (one kind of file) or the first
// 768 bytes of map.pal in the palette directory.
//
// Nothing here knows of widgets: a picture is drawn onto a plain buffer of
// 32-bit pixels, which the window wraps in its own image.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wright::pixwright {

inline constexpr std::size_t kIMGHeaderSize = 12;
inline constexpr int kPaletteEntries = 256;
inline constexpr std::size_t kPaletteSize = 3 * kPaletteEntries;  // bytes
inline constexpr const char* kPaletteFileName = "map.pal";
// The largest side of the doubled drawing surface the viewer accepts. A header
// may ask for 65535 x 65535 pixels; a surface of twice that would not fit in
// memory, so such a picture is refused before anything is allocated.
inline constexpr int kMaxSurfaceSide = 16384;

enum class PaletteSource { MapPal, InFile };

// One header-less kind of picture, recognised by its file length.
struct KnownIMGSize {
    std::int64_t fileLength;
    std::uint16_t width;
    std::uint16_t height;
    std::uint32_t dataSize;
    PaletteSource palette;
};

// The lengths decide alone: a file of one of these lengths is always that raw
// picture, whatever its first bytes hold. The pixels start at byte 0.
inline constexpr std::array<KnownIMGSize, 15> KnownIMGSizes{{
    {720, 9, 80, 720, PaletteSource::MapPal},
    {990, 45, 22, 990, PaletteSource::MapPal},
    {1720, 43, 40, 1720, PaletteSource::MapPal},
    {2140, 107, 20, 2140, PaletteSource::MapPal},
    {2916, 81, 36, 2916, PaletteSource::MapPal},
    {3200, 40, 80, 3200, PaletteSource::MapPal},
    {3938, 179, 22, 3938, PaletteSource::MapPal},
    {4280, 107, 40, 4280, PaletteSource::MapPal},
    {4508, 322, 14, 4508, PaletteSource::MapPal},
    {20480, 320, 64, 20480, PaletteSource::MapPal},
    {26496, 184, 144, 26496, PaletteSource::MapPal},
    {64000, 320, 200, 64000, PaletteSource::MapPal},
    // The one kind that carries its palette: 64000 pixels, then 768 bytes.
    {64768, 320, 200, 64000, PaletteSource::InFile},
    {68800, 320, 215, 68800, PaletteSource::MapPal},
    {112128, 512, 219, 112128, PaletteSource::MapPal},
}};

// The row for a file length, or nothing: the file then begins with a header.
std::optional<KnownIMGSize> IdentifyIMG(std::int64_t fileLength);

// The 12-byte header, little-endian. Only width, height and data size are used
// by the viewer; the other fields are kept as read.
struct IMGHeader {
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t byte8 = 0;
    std::uint8_t byte9 = 0;
    std::uint16_t dataSize = 0;

    static IMGHeader parse(const std::array<std::uint8_t, kIMGHeaderSize>& bytes);
};

using Palette = std::array<std::uint8_t, kPaletteSize>;

struct IMGPicture {
    std::int64_t IMGFileSize = 0;  // as measured when the file was opened
    std::uint16_t IMGWidth = 0;
    std::uint16_t IMGHeight = 0;
    std::uint32_t IMGDataSize = 0;  // bytes of pixel data asked for
    bool PalInFile = false;
    // One palette index per pixel, rows from top to bottom, each row from left
    // to right, exactly IMGWidth bytes per row. IMGDataSize bytes; what the file
    // did not hold is 0.
    std::vector<std::uint8_t> IMGData;
    Palette IMGPalette{};

    std::size_t pixelCount() const { return std::size_t{IMGWidth} * IMGHeight; }
    // The palette index of pixel (column, row); a pixel beyond the data is index 0.
    std::uint8_t index(std::size_t column, std::size_t row) const;
};

// What a load reports on its way, in order, each with its line for the log.
enum class LoadStep {
    Opening,          // "Loading File <name> ..."
    Measured,         // "Image size: <n> bytes"
    Identifying,      // "Load Image Characteristics..."
    ReadingPixels,    // "Read image data..."
    Completed,        // "IMG File load completed."; the load returns true
    Note,             // what the file lacked and what shows instead; the load goes on
    Stopped,          // why the load stops; the last line, and the load returns false
};

// Receives a load's steps, one whole line per call.
using LogSink = std::function<void(LoadStep step, const std::string& line)>;

// Reads dir/name into picture, taking the palette from the file or from
// palDir/map.pal, and reports each step to log (see LoadStep).
// A file that ends early loads with the missing pixels and palette entries 0
// and a note saying how many bytes were missing. Returns false, leaving picture
// as it was, when a file cannot be opened or read (the line names the file and
// the system's reason) or when the doubled picture would be too large to draw.
// Both files are only ever read.
bool LoadIMG(IMGPicture& picture, const std::string& dir, const std::string& name, const std::string& palDir,
             const LogSink& log);

// As LoadIMG, but a picture that does not carry its palette takes the first
// 768 bytes of the palette file at palettePath (a short palette file is
// reported under its own file name). LoadIMG is this with palDir/map.pal.
bool loadIMGWithPalette(IMGPicture& picture, const std::string& dir, const std::string& name,
                        const std::string& palettePath, const LogSink& log);

// A palette entry as 8-bit display colour: each component shifted left by two
// bits, keeping the low eight bits (63 -> 252, 64 -> 0, 65 -> 4).
struct DisplayColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const DisplayColor&, const DisplayColor&) = default;
};

DisplayColor PalToColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
DisplayColor PalToColor(const Palette& palette, std::uint8_t index);

// The 32-bit pixel value of a colour: 0xFFRRGGBB in native byte order.
inline std::uint32_t packPixel(DisplayColor c) {
    return 0xFF000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// A true-colour surface: rows of 32-bit pixels, bytesPerLine apart.
struct PixelSurface {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t bytesPerLine = 0;

    std::uint32_t* scanLine(int y) const { return reinterpret_cast<std::uint32_t*>(bits + y * bytesPerLine); }
};

// Paints source pixel (c, r) as the 2 x 2 block whose top-left corner is
// (2c, 2r). The surface must be at least 2 x IMGWidth by 2 x IMGHeight
// (std::invalid_argument otherwise); exactly IMGWidth x IMGHeight indices are
// consumed, and pixels beyond the data are index 0.
void DrawIMG2x(const IMGPicture& picture, const PixelSurface& surface);

}  // namespace wright::pixwright
