// wright img png|import: a picture (*.img) as an 8-bit indexed PNG whose
// palette is the picture's own 256 display colours, and such a PNG, edited,
// written back into the picture's pixel bytes; or any PNG whose every pixel
// is exactly one of the picture's colours, matched back to its index.

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
#include <map>
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
    "Writes the pixels of a PNG into the picture, keeping its header and its\n"
    "palette byte for byte. The PNG's size is the picture's, or a whole multiple\n"
    "N of it on both sides with every N x N block of one index or colour.\n"
    "An indexed PNG whose palette gives every index it uses the picture's colour\n"
    "(as 'wright img png' writes it; a shorter palette is fine) is taken index\n"
    "for index. Any other PNG (RGB, RGBA or grey as most editors save, or indexed\n"
    "with the palette in another order) is taken by colour: every pixel must be\n"
    "exactly, and fully opaque, a colour of the picture's palette. A colour that\n"
    "one index holds becomes that index; a colour that several indices hold keeps\n"
    "the pixel's index when it is one of them. Otherwise every reason is listed\n"
    "and nothing is written. The picture's palette is found as for png.\n\n"
    "Options:\n"
    "  --palette PAL       the palette file for a picture without its own\n"
    "  --dry-run           check and report, write nothing\n"
    "  -h, --help          this text\n";

const char* const kImgHelp =
    "Usage: wright img png FILE.img -o OUT.png [--palette PAL] [--scale N]\n"
    "       wright img import FILE.img IN.png [--palette PAL] [--dry-run]\n"
    "Pictures of the game (*.img) as indexed PNG, and back.\n"
    "Run 'wright img png --help' or 'wright img import --help' for the details.\n";

// A path that names something other than a file (a folder, a device).
void refuseNonFile(const std::string& path) {
    refuseFolder(path);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!error && fs::exists(status) && !fs::is_regular_file(status))
        throw Refused(path + ": not a file (a device or a pipe)");
}

// Loads the picture at path with its palette: its own, or the one at
// palettePath, or map.pal beside it. The load's notes (a file that ends early)
// go to stderr. Refused when the picture or its palette cannot be read, or the
// picture is too large.
IMGPicture loadPicture(const std::string& path, const std::optional<std::string>& palettePath, Streams io) {
    refuseNonFile(path);
    const fs::path p(path);
    const std::string dir = p.parent_path().empty() ? std::string(".") : p.parent_path().string();
    const std::string palette = palettePath ? *palettePath : dir + "/" + pixwright::kPaletteFileName;
    if (palettePath) refuseFolder(*palettePath);

    // The load's steps are the viewer's progress; only its notes and the
    // reason it stopped are for the user.
    std::vector<std::string> notes;
    std::string stopped = "cannot be read";
    IMGPicture picture;
    const bool loaded = pixwright::loadIMGWithPalette(picture, dir, p.filename().string(), palette,
                                                      [&](pixwright::LoadStep step, const std::string& line) {
                                                          if (step == pixwright::LoadStep::Note) notes.push_back(line);
                                                          if (step == pixwright::LoadStep::Stopped) stopped = line;
                                                      });
    if (!loaded) throw Refused(path + ": " + stopped);
    for (const std::string& note : notes) io.err << "wright img: " << note << "\n";
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
    for (int i = 0; i < pixwright::kPaletteEntries; ++i) {
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
    constexpr std::size_t longest = pixwright::kMaxSurfaceSide;
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

std::string positionText(std::size_t at, std::size_t width) {
    return "(" + std::to_string(at % width) + ", " + std::to_string(at / width) + ")";
}

std::string pixelCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " pixel" : " pixels");
}

// The picture's indices by their display colour, for a PNG that an editor
// saved as RGB or with its palette in another order: a colour that one index
// holds is that index, a colour that several hold keeps the index the pixel
// had when it is one of them. Pixels that cannot be matched so are counted.
class ColourMatch {
public:
    explicit ColourMatch(const IMGPicture& picture) : picture_(picture) {
        const std::vector<png::Rgb> colours = displayPalette(picture);
        for (std::size_t i = 0; i < colours.size(); ++i)
            holders_[keyOf(colours[i])].push_back(static_cast<std::uint8_t>(i));
    }

    // The index for the picture pixel `at` (row-major) shown in `colour`;
    // 0 when there is none, which problems() then reports.
    std::uint8_t indexOf(const png::DeepColour& colour, std::size_t at) {
        const std::size_t width = picture_.IMGWidth;
        const std::uint8_t had = picture_.index(at % width, at / width);
        const auto found = colour.exact8Bit() ? holders_.find(keyOf(colour.rgb())) : holders_.end();
        if (found == holders_.end()) {
            note(foreign_, at, colour.text());
            return 0;
        }
        const std::vector<std::uint8_t>& indices = found->second;
        if (indices.size() == 1) return indices.front();
        if (std::find(indices.begin(), indices.end(), had) != indices.end()) return had;
        std::vector<std::string> names;
        for (const std::uint8_t i : indices) names.push_back(std::to_string(i));
        note(ambiguous_, at, colour.text() + ", which the indices " + someOf(names) + " hold; the pixel had " +
                                 std::to_string(had));
        return 0;
    }

    void reportInto(std::vector<std::string>& problems) const {
        if (foreign_.count > 0)
            problems.push_back(pixelCount(foreign_.count) + " of a colour the picture's palette does not hold, the " +
                               "first at picture pixel " + foreign_.first + ": " + foreign_.colour);
        if (ambiguous_.count > 0)
            problems.push_back(pixelCount(ambiguous_.count) + " of a colour that several indices hold, none of " +
                               "them the pixel's own, the first at picture pixel " + ambiguous_.first + ": " +
                               ambiguous_.colour);
    }
    bool matchedAll() const { return foreign_.count == 0 && ambiguous_.count == 0; }

private:
    struct Unmatched {
        std::size_t count = 0;
        std::string first;   // its position
        std::string colour;  // its colour and what is known of it
    };
    void note(Unmatched& unmatched, std::size_t at, const std::string& colour) {
        if (unmatched.count++ == 0) {
            unmatched.first = positionText(at, picture_.IMGWidth);
            unmatched.colour = colour;
        }
    }
    static std::uint32_t keyOf(png::Rgb c) { return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue; }

    const IMGPicture& picture_;
    std::map<std::uint32_t, std::vector<std::uint8_t>> holders_;
    Unmatched foreign_;
    Unmatched ambiguous_;
};

// The picture's pixels as the PNG gives them, or the reasons it cannot.
struct PngPixels {
    std::vector<std::uint8_t> pixels;  // width x height of the picture
    std::vector<std::string> problems;
    bool byColour = false;  // matched by colour, not taken as indices
};

// The line a refusal of a PNG read by colour ends with.
const char* const kKeepIndices =
    "To keep the picture's indices as they are, export it with 'wright img png' and edit that PNG in indexed\n"
    "mode, keeping its palette as it is.";

// Which picture pixels' blocks hold more than one value, in a PNG `scale`
// times the picture's size; reported once every row was read.
struct Blocks {
    std::size_t scale = 1;
    std::vector<std::uint8_t> mixed;

    void reportInto(std::vector<std::string>& problems, std::size_t width, const char* what) const {
        const auto first = std::find(mixed.begin(), mixed.end(), 1);
        if (first == mixed.end()) return;
        const auto blocks = static_cast<std::size_t>(std::count(mixed.begin(), mixed.end(), 1));
        problems.push_back(std::to_string(blocks) + (blocks == 1 ? " block of " : " blocks of ") +
                           sizeText(scale, scale) + (blocks == 1 ? " pixels holds" : " pixels hold") + " more than one " +
                           what + ", the first at picture pixel " +
                           positionText(static_cast<std::size_t>(first - mixed.begin()), width) + ": a PNG " +
                           std::to_string(scale) + " times the picture's size repeats each pixel as a block");
    }
};

// An indexed PNG: its indices as they are while its palette gives every index
// it uses the picture's colour; else (a palette saved in another order) each
// pixel by the colour its index has.
void readIndexed(png::PngReader& reader, const IMGPicture& picture, Blocks& blocks, PngPixels& result) {
    const png::PngHeader& header = reader.header();
    const std::size_t width = picture.IMGWidth;
    const std::size_t scale = blocks.scale;
    std::vector<std::string>& problems = result.problems;
    std::array<bool, pixwright::kPaletteEntries> used{};
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
                blocks.mixed[r * width + c] = 1;
        }
    }
    blocks.reportInto(problems, width, "index");

    std::vector<std::string> beyond;
    bool reordered = false;
    const std::vector<png::Rgb> ours = displayPalette(picture);
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (!used[i]) continue;
        if (i >= header.palette.size())
            beyond.push_back(std::to_string(i));
        else if (header.palette[i] != ours[i])
            reordered = true;
    }
    if (!beyond.empty())
        problems.push_back("the PNG's palette has " + std::to_string(header.palette.size()) +
                           " entries, and it uses the indices " + someOf(beyond) + " beyond them");
    if (!reordered) return;

    result.byColour = true;
    ColourMatch match(picture);
    for (std::size_t at = 0; at < result.pixels.size(); ++at) {
        const std::uint8_t index = result.pixels[at];
        if (index >= header.palette.size()) continue;
        const png::Rgb c = header.palette[index];
        const auto deep = [](std::uint8_t v) { return static_cast<std::uint16_t>(v * 257); };
        result.pixels[at] = match.indexOf({deep(c.red), deep(c.green), deep(c.blue), 0xFFFF}, at);
    }
    match.reportInto(problems);
}

// An RGB, RGBA or grey PNG: each pixel by its colour.
void readColours(png::PngReader& reader, const IMGPicture& picture, Blocks& blocks, PngPixels& result) {
    const png::PngHeader& header = reader.header();
    const std::size_t width = picture.IMGWidth;
    const std::size_t scale = blocks.scale;
    result.byColour = true;
    ColourMatch match(picture);
    std::vector<png::DeepColour> row(header.width);
    std::vector<png::DeepColour> blockColours(width);  // the first row's colour of each block of the row
    const auto same = [](const png::DeepColour& a, const png::DeepColour& b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
    };
    for (std::size_t y = 0; y < header.height; ++y) {
        reader.readColourRow(row.data());
        const std::size_t r = y / scale;
        for (std::size_t c = 0; c < width; ++c) {
            const png::DeepColour* block = row.data() + c * scale;
            if (y % scale == 0) {
                blockColours[c] = block[0];
                result.pixels[r * width + c] = match.indexOf(block[0], r * width + c);
            }
            if (std::any_of(block, block + scale, [&](const png::DeepColour& d) { return !same(d, blockColours[c]); }))
                blocks.mixed[r * width + c] = 1;
        }
    }
    blocks.reportInto(result.problems, width, "colour");
    match.reportInto(result.problems);
}

PngPixels pixelsOfPng(const IMGPicture& picture, const std::string& pngPath) {
    PngPixels result;
    std::vector<std::string>& problems = result.problems;
    try {
        png::PngReader reader(readWhole(pngPath));
        const png::PngHeader& header = reader.header();
        const std::size_t width = picture.IMGWidth;
        const std::size_t height = picture.IMGHeight;
        const std::size_t scale = header.width / width;
        if (scale == 0 || header.width != scale * width || header.height != scale * height) {
            problems.push_back("the PNG is " + sizeText(header.width, header.height) + " pixels; the picture is " +
                               sizeText(width, height) + " (or a whole multiple of it on both sides)");
            return result;
        }
        result.pixels.assign(width * height, 0);
        Blocks blocks{scale, std::vector<std::uint8_t>(width * height, 0)};
        if (header.indexed())
            readIndexed(reader, picture, blocks, result);
        else
            readColours(reader, picture, blocks, result);

        const std::size_t held = std::min<std::size_t>(picture.IMGDataSize, result.pixels.size());
        const std::size_t outside =
            static_cast<std::size_t>(std::count_if(result.pixels.begin() + held, result.pixels.end(),
                                                   [](std::uint8_t i) { return i != 0; }));
        if (outside > 0)
            problems.push_back(pixelCount(outside) + " beyond the file's " + std::to_string(picture.IMGDataSize) +
                               " bytes of pixel data " + (outside == 1 ? "is" : "are") +
                               " not index 0: the file has no place for them");
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
    const std::size_t dataStart = pixwright::IdentifyIMG(picture.IMGFileSize) ? 0 : pixwright::kIMGHeaderSize;
    const std::size_t needed = dataStart + picture.IMGDataSize;
    if (original.size() < needed)
        throw Refused(path + ": the file ends " + counted(needed - original.size(), "byte", "bytes") +
                      " short of its pixel data: a picture that ends early is not written");

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
        if (fromPng.byColour) message += std::string("\n") + kKeepIndices;
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

    // Said once, before the result, so that a user of an RGB editor knows
    // the picture's palette was not what the PNG carried.
    if (fromPng.byColour)
        io.out << pngPath << ": every pixel's colour matched to an index of the picture's palette.\n";
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
