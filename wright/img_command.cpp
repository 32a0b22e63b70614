// wright img png|import: a picture (*.img) as an 8-bit indexed PNG whose
// palette is the picture's own 256 display colours, and such a PNG, edited,
// written back into the picture's pixel bytes.

#include "wright/cli.h"
#include "wright/png_image.h"

#include "fileio/binary_file.h"
#include "fileio/file_writer.h"
#include "pixwright/img_picture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

namespace wright::cli {
namespace {

namespace fs = std::filesystem;
using pixwright::IMGPicture;

const char* const kPngHelp =
    "Usage: wright img png FILE.img -o OUT.png [--palette PAL] [--scale N]\n"
    "Writes the picture as an 8-bit indexed PNG. Its palette (PLTE) holds the\n"
    "picture's 256 colours in order, so every pixel keeps its palette index.\n"
    "The colours are the picture's own palette when the file carries one, else\n"
    "PAL, else map.pal beside the picture. A picture that ends early is written\n"
    "with the missing pixels as index 0, and a note says how many bytes were missing.\n\n"
    "Options:\n"
    "  -o, --output FILE   the PNG to write\n"
    "  --palette PAL       the palette file for a picture without its own\n"
    "  --scale N           each pixel as an N x N block, N from 1 (default) to 16\n"
    "  -h, --help          this text\n";

const char* const kImportHelp =
    "Usage: wright img import FILE.img IN.png [--palette PAL] [--dry-run]\n"
    "Writes the pixels of an indexed PNG into the picture, keeping its header and\n"
    "its palette byte for byte. The PNG is taken only when it is of colour type\n"
    "palette; its size is the picture's, or a whole multiple N of it on both sides\n"
    "with every N x N block a single index; it uses no index beyond its own\n"
    "palette; and every index it uses has the colour the picture's palette gives\n"
    "it (a shorter PNG palette is fine, a reordered or recoloured one is not).\n"
    "Otherwise every reason is listed and nothing is written. The picture's palette\n"
    "is found as for png.\n\n"
    "Options:\n"
    "  --palette PAL       the palette file for a picture without its own\n"
    "  --dry-run           check and report, write nothing\n"
    "  -h, --help          this text\n";

const char* const kImgHelp =
    "Usage: wright img png FILE.img -o OUT.png [--palette PAL] [--scale N]\n"
    "       wright img import FILE.img IN.png [--palette PAL] [--dry-run]\n"
    "Pictures of the game (*.img) as indexed PNG, and back.\n"
    "Run 'wright img png --help' or 'wright img import --help' for the details.\n";

// The lines LoadIMG gives on its way; the others are notes for the user.
bool isProgressLine(const std::string& line) {
    for (const char* prefix : {"Loading File ", "Image size: ", "Load Image Characteristics...", "Read image data...",
                               "IMG File load completed."})
        if (line.rfind(prefix, 0) == 0) return true;
    return false;
}

// A path that names something other than a file (a folder, a device).
void refuseNonFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!error && fs::exists(status) && !fs::is_regular_file(status))
        throw Refused(path + ": not a file (a folder or a device)");
}

// Loads the picture at path with its palette: its own, or the one at
// palettePath, or map.pal beside it. The load's notes (a file that ends early)
// go to stderr. Refused when the picture or its palette cannot be read, or the
// picture is too large.
IMGPicture loadPicture(const std::string& path, const std::optional<std::string>& palettePath, Streams io) {
    refuseNonFile(path);
    const fs::path p(path);
    const std::string dir = p.parent_path().empty() ? std::string(".") : p.parent_path().string();
    const std::string palette = palettePath ? *palettePath : dir + "/" + pixwright::PaletteFileName;

    std::vector<std::string> lines;
    IMGPicture picture;
    const bool loaded = pixwright::LoadIMGWithPalette(picture, dir, p.filename().string(), palette,
                                                      [&](const std::string& line) { lines.push_back(line); });
    if (!loaded) throw Refused(path + ": " + (lines.empty() ? std::string("cannot be read") : lines.back()));
    for (const std::string& line : lines)
        if (!isProgressLine(line)) io.err << "wright img: " << line << "\n";
    if (picture.IMGWidth == 0 || picture.IMGHeight == 0)
        throw Refused(path + ": the picture is " + std::to_string(picture.IMGWidth) + " x " +
                      std::to_string(picture.IMGHeight) + " pixels: it has no pixels");
    return picture;
}

int scaleOption(const Options& options) {
    const std::optional<std::string> text = options.value("scale");
    if (!text) return 1;
    const bool digits = !text->empty() && text->size() <= 2 &&
                        std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; });
    const int scale = digits ? std::stoi(*text) : 0;
    if (scale < 1 || scale > 16) throw UsageError("--scale takes a whole number from 1 to 16, not '" + *text + "'");
    return scale;
}

std::string readWhole(const std::string& path) {
    refuseNonFile(path);
    try {
        BinaryFile file(path, "rb");
        const std::int64_t size = file.size();
        std::string bytes(static_cast<std::size_t>(size), '\0');
        file.readExact(bytes.data(), bytes.size());
        file.close();
        return bytes;
    } catch (const FileError& error) {
        throw Refused(error.what());
    }
}

std::vector<png::Rgb> displayPalette(const IMGPicture& picture) {
    std::vector<png::Rgb> colours;
    for (int i = 0; i < pixwright::PaletteEntries; ++i) {
        const pixwright::DisplayColor c = pixwright::PalToColor(picture.IMGPalette, static_cast<std::uint8_t>(i));
        colours.push_back({c.red, c.green, c.blue});
    }
    return colours;
}

std::string sizeText(std::size_t width, std::size_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

bool samePath(const std::string& a, const std::string& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

void exportPng(const Options& options, Streams io) {
    expectArguments(options, 1, "FILE.img");
    const std::string& path = options.arguments[0];
    const std::string output = outputOption(options);
    const int scale = scaleOption(options);
    if (samePath(path, output))
        throw Refused(output + ": is the picture itself: the PNG would replace it; name another file");

    const IMGPicture picture = loadPicture(path, options.value("palette"), io);
    const std::size_t width = picture.IMGWidth;
    // The PNG is made in memory: its sides stay within what the viewer draws.
    constexpr std::size_t longest = pixwright::MaxSurfaceSide;
    if (width * scale > longest || std::size_t{picture.IMGHeight} * scale > longest)
        throw Refused(path + ": at --scale " + std::to_string(scale) + " the PNG would be " +
                      sizeText(width * scale, std::size_t{picture.IMGHeight} * scale) + " pixels; at most " +
                      std::to_string(longest) + " on a side");
    std::string bytes;
    try {
        bytes = png::encodeIndexedPng(static_cast<std::uint32_t>(width * scale),
                                      static_cast<std::uint32_t>(picture.IMGHeight * scale), displayPalette(picture),
                                      [&](std::uint32_t y, std::uint8_t* row) {
                                          const std::size_t r = y / scale;
                                          for (std::size_t c = 0; c < width; ++c)
                                              std::fill_n(row + c * scale, scale, picture.index(c, r));
                                      });
    } catch (const png::PngError& error) {
        throw Refused(output + ": the PNG cannot be made: " + error.what());
    }
    try {
        writeOutput(io, output, bytes);
    } catch (const FileError& error) {
        throw Refused(output + ": not written: " + error.what());
    }
    std::ostream& report = reportStream(io, output);
    report << output << ": " << sizeText(width, picture.IMGHeight) << " pixels of " << path;
    if (scale > 1) report << ", each as a block of " << sizeText(scale, scale);
    report << ".\n";
}

// Lists up to a few items of a longer list: "1, 2, 3 and 5 more".
std::string someOf(const std::vector<std::string>& items) {
    constexpr std::size_t shown = 8;
    std::string text;
    for (std::size_t i = 0; i < items.size() && i < shown; ++i) text += (i ? ", " : "") + items[i];
    if (items.size() > shown) text += " and " + std::to_string(items.size() - shown) + " more";
    return text;
}

// The picture's pixels as the PNG gives them, or the reasons it cannot.
struct PngPixels {
    std::vector<std::uint8_t> pixels;  // width x height of the picture
    std::vector<std::string> problems;
};

PngPixels pixelsOfPng(const IMGPicture& picture, const std::string& pngPath) {
    PngPixels result;
    std::vector<std::string>& problems = result.problems;
    try {
        png::IndexedPngReader reader(readWhole(pngPath));
        const png::PngHeader& header = reader.header();
        const std::size_t width = picture.IMGWidth;
        const std::size_t height = picture.IMGHeight;
        if (!header.indexed()) {
            problems.push_back("the PNG is of colour type " + header.colourTypeName() +
                               ": only an indexed PNG (colour type palette) keeps the picture's indices");
            return result;
        }
        const std::size_t scale = header.width / width;
        if (scale == 0 || header.width != scale * width || header.height != scale * height) {
            problems.push_back("the PNG is " + sizeText(header.width, header.height) + " pixels; the picture is " +
                               sizeText(width, height) + " (or a whole multiple of it on both sides)");
            return result;
        }

        result.pixels.assign(width * height, 0);
        std::vector<std::uint8_t> mixed(width * height, 0);
        std::array<bool, pixwright::PaletteEntries> used{};
        std::vector<std::uint8_t> row(header.width);
        for (std::size_t y = 0; y < header.height; ++y) {
            reader.readRow(row.data());
            for (const std::uint8_t index : row) used[index] = true;
            const std::size_t r = y / scale;
            for (std::size_t c = 0; c < width; ++c) {
                const std::uint8_t* block = row.data() + c * scale;
                std::uint8_t& pixel = result.pixels[r * width + c];
                if (y % scale == 0) pixel = block[0];
                if (std::any_of(block, block + scale, [&](std::uint8_t i) { return i != pixel; }))
                    mixed[r * width + c] = 1;
            }
        }

        if (const auto first = std::find(mixed.begin(), mixed.end(), 1); first != mixed.end()) {
            const std::size_t at = static_cast<std::size_t>(first - mixed.begin());
            const auto blocks = std::count(mixed.begin(), mixed.end(), 1);
            problems.push_back(std::to_string(blocks) + (blocks == 1 ? " block of " : " blocks of ") +
                               sizeText(scale, scale) + (blocks == 1 ? " pixels holds" : " pixels hold") +
                               " more than one index, the first at picture pixel (" + std::to_string(at % width) +
                               ", " + std::to_string(at / width) + "): a PNG " + std::to_string(scale) +
                               " times the picture's size repeats each pixel as a block");
        }
        std::vector<std::string> beyond, recoloured;
        for (int i = 0; i < pixwright::PaletteEntries; ++i) {
            if (!used[i]) continue;
            if (static_cast<std::size_t>(i) >= header.palette.size()) {
                beyond.push_back(std::to_string(i));
                continue;
            }
            const pixwright::DisplayColor c = pixwright::PalToColor(picture.IMGPalette, static_cast<std::uint8_t>(i));
            const png::Rgb ours{c.red, c.green, c.blue};
            if (header.palette[i] != ours)
                recoloured.push_back(std::to_string(i) + " (" + png::hexColour(header.palette[i]) + " in the PNG, " +
                                     png::hexColour(ours) + " in the picture's palette)");
        }
        if (!beyond.empty())
            problems.push_back("the PNG's palette has " + std::to_string(header.palette.size()) +
                               " entries, and it uses the indices " + someOf(beyond) + " beyond them");
        if (!recoloured.empty())
            problems.push_back("the PNG's palette gives other colours than the picture's to the indices " +
                               someOf(recoloured));

        const std::size_t held = std::min<std::size_t>(picture.IMGDataSize, result.pixels.size());
        const std::size_t outside =
            static_cast<std::size_t>(std::count_if(result.pixels.begin() + held, result.pixels.end(),
                                                   [](std::uint8_t i) { return i != 0; }));
        if (outside > 0)
            problems.push_back(std::to_string(outside) + (outside == 1 ? " pixel" : " pixels") +
                               " beyond the file's " + std::to_string(picture.IMGDataSize) + " bytes of pixel data " +
                               (outside == 1 ? "is" : "are") + " not index 0: the file has no place for them");
    } catch (const png::PngError& error) {
        throw Refused(pngPath + ": " + error.what());
    }
    return result;
}

void importPng(const Options& options, Streams io) {
    expectArguments(options, 2, "FILE.img and the PNG");
    const std::string& path = options.arguments[0];
    const std::string& pngPath = options.arguments[1];
    const bool dryRun = options.has("dry-run");

    const IMGPicture picture = loadPicture(path, options.value("palette"), io);
    const std::string original = readWhole(path);
    if (static_cast<std::int64_t>(original.size()) != picture.IMGFileSize)
        throw Refused(path + ": the file changed while it was read");
    const std::size_t dataStart = pixwright::IdentifyIMG(picture.IMGFileSize) ? 0 : pixwright::IMGHeaderSize;
    const std::size_t needed = dataStart + picture.IMGDataSize;
    if (original.size() < needed)
        throw Refused(path + ": the file ends " + std::to_string(needed - original.size()) +
                      " bytes short of its pixel data: a picture that ends early is not written");

    PngPixels fromPng = pixelsOfPng(picture, pngPath);
    std::vector<std::string>& problems = fromPng.problems;
    try {
        checkReplaceable(path);
    } catch (const FileError& error) {
        problems.push_back("the picture file cannot be written: " + error.reason());
    }
    if (!problems.empty()) {
        std::string message = pngPath + ": not taken into " + path + ", which is left as it was (" +
                              std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems") +
                              "):";
        for (const std::string& problem : problems) message += "\n  " + problem;
        throw Refused(message);
    }

    std::string updated = original;
    const std::size_t held = std::min<std::size_t>(picture.IMGDataSize, fromPng.pixels.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < held; ++i) {
        char& byte = updated[dataStart + i];
        const char pixel = static_cast<char>(fromPng.pixels[i]);
        if (byte != pixel) {
            byte = pixel;
            ++changed;
        }
    }

    if (dryRun) {
        io.out << path << ": dry run, nothing written: " << changed << (changed == 1 ? " pixel" : " pixels")
               << " would change.\n";
        return;
    }
    if (changed == 0) {
        io.out << path << ": no pixel changed, nothing written.\n";
        return;
    }
    // Through a link, the file it names is replaced, with its permissions.
    try {
        writeWholeFile(path, updated);
    } catch (const FileError& error) {
        throw Refused(path + ": not written: " + error.what());
    }
    io.out << path << ": " << changed << (changed == 1 ? " pixel" : " pixels") << " changed.\n";
}

}  // namespace

void imgCommand(const std::vector<std::string>& args, Streams io) {
    Options options =
        parseOptions(args, {{"output", 'o', true}, {"palette", 0, true}, {"scale", 0, true}, {"dry-run", 0, false}});
    const std::string action = options.arguments.empty() ? std::string() : options.arguments.front();
    if (options.has("help")) {
        io.out << (action == "png" ? kPngHelp : action == "import" ? kImportHelp : kImgHelp);
        return;
    }
    if (action.empty()) throw UsageError("missing action: png or import");
    options.arguments.erase(options.arguments.begin());
    if (action == "png") {
        if (options.has("dry-run")) throw UsageError("--dry-run is an option of import");
        exportPng(options, io);
    } else if (action == "import") {
        if (options.value("output")) throw UsageError("-o is an option of png");
        if (options.value("scale")) throw UsageError("--scale is an option of png: import finds the scale itself");
        importPng(options, io);
    } else {
        throw UsageError("unknown action '" + action + "': png or import");
    }
}

}  // namespace wright::cli
