#include "pixwright/img_picture.h"

#include "fileio/binary_file.h"
#include "fileio/little_endian.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace wright::pixwright {

std::optional<KnownIMGSize> IdentifyIMG(std::int64_t fileLength) {
    for (const KnownIMGSize& row : KnownIMGSizes)
        if (row.fileLength == fileLength) return row;
    return std::nullopt;
}

IMGHeader IMGHeader::parse(const std::array<std::uint8_t, kIMGHeaderSize>& bytes) {
    const unsigned char* p = bytes.data();
    IMGHeader h;
    h.first = loadU16LE(p + 0);
    h.second = loadU16LE(p + 2);
    h.width = loadU16LE(p + 4);
    h.height = loadU16LE(p + 6);
    h.byte8 = p[8];
    h.byte9 = p[9];
    h.dataSize = loadU16LE(p + 10);
    return h;
}

std::uint8_t IMGPicture::index(std::size_t column, std::size_t row) const {
    const std::size_t i = row * IMGWidth + column;
    return i < IMGData.size() ? IMGData[i] : 0;
}

namespace {

std::string joinPath(const std::string& dir, const std::string& name) {
    return dir + "/" + name;
}

// Opens a picture or palette file for reading. A folder (or a device, a
// pipe) of that name is refused before it is opened: the system would open a
// folder and give it a length that is no file's, and a pipe would wait for a
// writer.
BinaryFile openForReading(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!error && std::filesystem::is_directory(status)) throw FileError(path, "open", "it is a folder");
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw FileError(path, "open", "it is not a regular file");
    return BinaryFile(path, "rb");
}

// Reads up to buffer's length; what the file does not hold stays 0. Gives the
// number of bytes that were missing.
std::size_t readPadded(BinaryFile& file, std::uint8_t* buffer, std::size_t n) {
    const std::size_t got = file.readSome(buffer, n);
    return n - got;
}

void reportShort(const LogSink& log, const std::string& name, std::size_t missing, const char* part,
                 const char* consequence) {
    if (missing == 0) return;
    log(LoadStep::Note, name + " ends " + std::to_string(missing) + " bytes short of its " + part + ": " + consequence);
}

// The last part of a path, as the palette is named in the load's report.
std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void readPalette(const std::string& palettePath, Palette& palette, const LogSink& log) {
    BinaryFile pal = openForReading(palettePath);
    // Bytes after the first 768 are not part of the palette.
    reportShort(log, fileNameOf(palettePath), readPadded(pal, palette.data(), palette.size()), "palette",
                "the missing palette entries are 0.");
    pal.close();
}

}  // namespace

bool LoadIMG(IMGPicture& picture, const std::string& dir, const std::string& name, const std::string& palDir,
             const LogSink& log) {
    return loadIMGWithPalette(picture, dir, name, joinPath(palDir, kPaletteFileName), log);
}

bool loadIMGWithPalette(IMGPicture& picture, const std::string& dir, const std::string& name,
                        const std::string& palettePath, const LogSink& log) {
    log(LoadStep::Opening, "Loading File " + name + " ...");
    // Everything is read into a fresh picture: a load that stops keeps the
    // picture shown before it.
    IMGPicture fresh;
    try {
        BinaryFile file = openForReading(joinPath(dir, name));
        fresh.IMGFileSize = file.size();
        log(LoadStep::Measured, "Image size: " + std::to_string(fresh.IMGFileSize) + " bytes");
        log(LoadStep::Identifying, "Load Image Characteristics...");

        std::size_t dataStart = 0;
        if (const std::optional<KnownIMGSize> known = IdentifyIMG(fresh.IMGFileSize)) {
            fresh.IMGWidth = known->width;
            fresh.IMGHeight = known->height;
            fresh.IMGDataSize = known->dataSize;
            fresh.PalInFile = known->palette == PaletteSource::InFile;
        } else {
            std::array<std::uint8_t, kIMGHeaderSize> bytes{};
            file.seek(0);
            reportShort(log, name, readPadded(file, bytes.data(), bytes.size()), "header",
                        "the missing header bytes are 0.");
            const IMGHeader header = IMGHeader::parse(bytes);
            fresh.IMGWidth = header.width;
            fresh.IMGHeight = header.height;
            fresh.IMGDataSize = header.dataSize;
            fresh.PalInFile = false;
            dataStart = kIMGHeaderSize;
        }

        if (2 * int{fresh.IMGWidth} > kMaxSurfaceSide || 2 * int{fresh.IMGHeight} > kMaxSurfaceSide) {
            log(LoadStep::Stopped, "The picture is " + std::to_string(fresh.IMGWidth) + " x " +
                                       std::to_string(fresh.IMGHeight) + " pixels: at twice its size it exceeds " +
                                       std::to_string(kMaxSurfaceSide) + " pixels on a side and is not drawn.");
            return false;
        }

        fresh.IMGData.assign(fresh.IMGDataSize, 0);
        log(LoadStep::ReadingPixels, "Read image data...");
        file.seek(static_cast<std::int64_t>(dataStart));
        reportShort(log, name, readPadded(file, fresh.IMGData.data(), fresh.IMGData.size()), "pixel data",
                    "the missing pixels are index 0.");
        if (fresh.IMGDataSize < fresh.pixelCount()) {
            log(LoadStep::Note, "The header gives " + std::to_string(fresh.IMGDataSize) + " bytes of pixel data for " +
                                    std::to_string(fresh.IMGWidth) + " x " + std::to_string(fresh.IMGHeight) +
                                    " pixels: the other " + std::to_string(fresh.pixelCount() - fresh.IMGDataSize) +
                                    " pixels are index 0.");
        }

        if (fresh.PalInFile) {
            reportShort(log, name, readPadded(file, fresh.IMGPalette.data(), fresh.IMGPalette.size()), "palette",
                        "the missing palette entries are 0.");
        } else {
            readPalette(palettePath, fresh.IMGPalette, log);
        }
        file.close();
    } catch (const FileError& error) {
        log(LoadStep::Stopped, "Cannot " + error.operation() + " " + error.path() + ": " + error.reason() + ".");
        return false;
    }
    log(LoadStep::Completed, "IMG File load completed.");
    picture = std::move(fresh);
    return true;
}

DisplayColor PalToColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    // The shift keeps only the low eight bits, so a component above 63 wraps.
    return {static_cast<std::uint8_t>(red << 2), static_cast<std::uint8_t>(green << 2),
            static_cast<std::uint8_t>(blue << 2)};
}

DisplayColor PalToColor(const Palette& palette, std::uint8_t index) {
    const std::size_t at = std::size_t{index} * 3;
    return PalToColor(palette[at], palette[at + 1], palette[at + 2]);
}

void DrawIMG2x(const IMGPicture& picture, const PixelSurface& surface) {
    const int width = picture.IMGWidth;
    const int height = picture.IMGHeight;
    if (width == 0 || height == 0) return;
    if (surface.bits == nullptr || surface.width < 2 * width || surface.height < 2 * height ||
        surface.bytesPerLine < static_cast<std::ptrdiff_t>(2 * width * sizeof(std::uint32_t)))
        throw std::invalid_argument("the drawing surface is smaller than twice the picture");

    std::array<std::uint32_t, kPaletteEntries> colours;
    for (int i = 0; i < kPaletteEntries; ++i)
        colours[i] = packPixel(PalToColor(picture.IMGPalette, static_cast<std::uint8_t>(i)));

    const std::uint8_t* data = picture.IMGData.data();
    const std::size_t available = picture.IMGData.size();
    const std::size_t rowBytes = 2 * static_cast<std::size_t>(width) * sizeof(std::uint32_t);
    for (int r = 0; r < height; ++r) {
        const std::size_t rowStart = static_cast<std::size_t>(r) * width;
        // The part of this row that the data holds; the rest is index 0.
        const std::size_t held = rowStart >= available ? 0 : std::min<std::size_t>(width, available - rowStart);
        std::uint32_t* top = surface.scanLine(2 * r);
        for (std::size_t c = 0; c < held; ++c) {
            const std::uint32_t pixel = colours[data[rowStart + c]];
            top[2 * c] = pixel;
            top[2 * c + 1] = pixel;
        }
        std::fill(top + 2 * held, top + 2 * static_cast<std::size_t>(width), colours[0]);
        std::memcpy(surface.scanLine(2 * r + 1), top, rowBytes);
    }
}

}  // namespace wright::pixwright
