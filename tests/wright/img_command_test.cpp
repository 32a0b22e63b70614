// wright img png|import: pictures of every kind to indexed PNG, read back with
// libpng here and with Qt's own decoder, and PNGs (edited or not, scaled or
// not) back into pictures.

#include "tests/support/temp_dir.h"
#include "tests/wright/run_wright.h"

#include "pixwright/img_fixtures.h"
#include "pixwright/img_picture.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <array>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;
namespace fx = wright::pixwright::fixtures;
using wright::pixwright::Palette;
using wright::pixwright::PalToColor;
using wright::testing::readBytes;
using wright::testing::runWright;
using wright::testing::TempDir;
using wright::testing::writeBytes;

// ---- PNG files made and read with libpng directly -------------------------

struct TestPng {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colourType = PNG_COLOR_TYPE_PALETTE;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> samples;  // rows of width x channels samples, one byte a sample (two, big-endian, at 16 bits)

    int channels() const {
        switch (colourType) {
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        default: return 1;
        }
    }
    std::size_t pixelBytes() const { return static_cast<std::size_t>(channels()) * (bitDepth == 16 ? 2 : 1); }
    std::size_t rowBytes() const { return width * pixelBytes(); }
    std::uint8_t& at(std::uint32_t x, std::uint32_t y) { return samples[std::size_t{y} * rowBytes() + x * pixelBytes()]; }
    // Sets every sample of the pixel: red, green, blue and alpha as far as
    // the colour type has them (grey takes red), each 0 to 65535 at 16 bits,
    // else 0 to 255.
    void set(std::uint32_t x, std::uint32_t y, std::array<std::uint16_t, 4> rgba) {
        std::uint8_t* p = &at(x, y);
        const bool colour = colourType & PNG_COLOR_MASK_COLOR;
        std::vector<std::uint16_t> values{rgba[0]};
        if (colour) values.insert(values.end(), {rgba[1], rgba[2]});
        if (colourType & PNG_COLOR_MASK_ALPHA) values.push_back(rgba[3]);
        for (const std::uint16_t v : values) {
            if (bitDepth == 16) *p++ = static_cast<std::uint8_t>(v >> 8);
            *p++ = static_cast<std::uint8_t>(v);
        }
    }
};

// libpng's default error handling: an error prints its reason and jumps back
// to the step that called libpng, whose frame holds nothing to destroy.
template <class Step>
[[gnu::noinline]] bool pngStep(png_structp png, const Step& step) {
    if (setjmp(png_jmpbuf(png))) return false;
    step();
    return true;
}

bool writePng(const std::string& path, const TestPng& image) {
    std::vector<png_bytep> rows;
    std::vector<std::uint8_t> samples = image.samples;
    for (std::uint32_t y = 0; y < image.height; ++y)
        rows.push_back(samples.data() + std::size_t{y} * image.rowBytes());
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool written = pngStep(png, [&] {
        png_init_io(png, file);
        png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
                     image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (!image.palette.empty())
            png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
        // Some cases need indices beyond the palette.
        png_set_check_for_invalid_index(png, 0);
        png_write_info(png, info);
        if (image.bitDepth < 8) png_set_packing(png);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    });
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

std::optional<TestPng> readPng(const std::string& path) {
    std::FILE* const file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_uint_32 width = 0, height = 0;
    int colourType = 0, bitDepth = 0, interlace = 0, entries = 0;
    png_colorp plte = nullptr;
    png_bytepp rows = nullptr;
    std::size_t rowBytes = 0;
    const bool read = pngStep(png, [&] {
        png_init_io(png, file);
        png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
        if (!(png_get_PLTE(png, info, &plte, &entries) & PNG_INFO_PLTE)) entries = 0;
        rowBytes = png_get_rowbytes(png, info);
        rows = png_get_rows(png, info);
    });
    std::optional<TestPng> image;
    if (read) {
        image.emplace();
        image->width = width;
        image->height = height;
        image->colourType = colourType;
        image->bitDepth = bitDepth;
        image->interlaced = interlace != PNG_INTERLACE_NONE;
        image->palette.assign(plte, plte + entries);
        for (std::uint32_t y = 0; y < height; ++y)
            image->samples.insert(image->samples.end(), rows[y], rows[y] + rowBytes);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return image;
}

std::vector<png_color> plteOf(const Palette& palette, int entries = 256) {
    std::vector<png_color> colours;
    for (int i = 0; i < entries; ++i) {
        const auto c = PalToColor(palette, static_cast<std::uint8_t>(i));
        colours.push_back({c.red, c.green, c.blue});
    }
    return colours;
}

bool samePlte(const std::vector<png_color>& a, const std::vector<png_color>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].red != b[i].red || a[i].green != b[i].green || a[i].blue != b[i].blue) return false;
    return true;
}

// A palette PNG of the given indices at a scale, with a full PLTE of palette.
TestPng indexedPng(std::uint32_t width, std::uint32_t height, const std::string& pixels, const Palette& palette,
                   std::uint32_t scale = 1) {
    TestPng image;
    image.width = width * scale;
    image.height = height * scale;
    image.palette = plteOf(palette);
    image.samples.resize(std::size_t{image.width} * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x)
            image.at(x, y) = static_cast<std::uint8_t>(pixels[(y / scale) * width + x / scale]);
    return image;
}

// The PNG as a second decoder, Qt's, reads it: an 8-bit indexed image of the
// picture's size times scale whose every pixel is the picture's index (each
// as a scale x scale block) and whose colour table is the palette's display
// colours in order, so each pixel shows its index's colour.
void expectQtReadsTheIndices(const std::string& path, std::uint32_t width, std::uint32_t height,
                             const std::string& indices, const Palette& palette, std::uint32_t scale = 1) {
    const QImage image(QString::fromStdString(path), "PNG");
    ASSERT_FALSE(image.isNull()) << path;
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.width(), static_cast<int>(width * scale));
    ASSERT_EQ(image.height(), static_cast<int>(height * scale));
    ASSERT_EQ(image.colorCount(), 256);
    for (int i = 0; i < 256; ++i) {
        const auto c = PalToColor(palette, static_cast<std::uint8_t>(i));
        EXPECT_EQ(image.color(i), qRgb(c.red, c.green, c.blue)) << "index " << i;
    }
    std::size_t wrongIndex = 0, wrongColour = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto index = static_cast<std::uint8_t>(indices[(y / scale) * width + x / scale]);
            const auto c = PalToColor(palette, index);
            wrongIndex += image.pixelIndex(x, y) != index;
            wrongColour += image.pixel(x, y) != qRgb(c.red, c.green, c.blue);
        }
    EXPECT_EQ(wrongIndex, 0u);
    EXPECT_EQ(wrongColour, 0u);
}

// ---- pictures -----------------------------------------------------------

// A header-less picture of a known length, with its own palette when the
// kind carries one.
std::string knownPicture(std::int64_t length, int seed, const Palette& own = fx::rampPalette(96)) {
    const auto known = wright::pixwright::IdentifyIMG(length);
    std::string bytes = fx::patternPixels(known->width, known->height, seed);
    bytes.resize(known->dataSize, '\0');
    if (known->palette == wright::pixwright::PaletteSource::InFile) bytes += fx::paletteBytes(own);
    return bytes;
}

// Every byte value, components above 63 too (their display colour wraps).
Palette widePalette() {
    Palette palette{};
    for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return palette;
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class ImgCommandTest : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return dir.file(name); }

    // Writes the picture and map.pal, exports it to pic.png; the PNG as read back.
    TestPng exported(const std::string& picture, const Palette& mapPal, int scale = 1) {
        writeBytes(at("pic.img"), picture);
        writeBytes(at("map.pal"), fx::paletteBytes(mapPal));
        const auto run =
            runWright({"img", "png", at("pic.img"), "-o", at("pic.png"), "--scale", std::to_string(scale)});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::optional<TestPng> png = readPng(at("pic.png"));
        EXPECT_TRUE(png.has_value());
        return png.value_or(TestPng{});
    }

    TempDir dir;
};

// ---- png ------------------------------------------------------------------

TEST_F(ImgCommandTest, PngOfEveryKindHoldsThePictureIndicesAndItsPaletteInOrder) {
    const std::string headeredPixels = fx::patternPixels(64, 48, 9);
    // The header asks for 3072 bytes of pixels; the file holds 1000.
    const std::string shortFile = fx::headeredPicture(64, 48, headeredPixels).substr(0, 12 + 1000);
    std::string shortShown = headeredPixels.substr(0, 1000);
    shortShown.resize(64 * 48, '\0');

    struct Case {
        const char* name;
        std::string file;
        std::uint16_t width, height;
        std::string shown;  // the indices as the viewer shows them
        Palette expected;   // the palette the PNG must carry
        bool paletteOption; // --palette other/colours.pal holding widePalette()
        const char* note;   // the one line in stderr (the load's progress is not), or empty
    };
    const std::string pixels720 = fx::patternPixels(9, 80, 1);
    const std::string pixels64768 = fx::patternPixels(320, 200, 8);
    const Case cases[] = {
        {"known length, map.pal beside", knownPicture(720, 1), 9, 80, pixels720, fx::rampPalette(), false, ""},
        {"the kind with its own palette", knownPicture(64768, 8), 320, 200, pixels64768, fx::rampPalette(96), false,
         ""},
        {"own palette wins over --palette", knownPicture(64768, 8), 320, 200, pixels64768, fx::rampPalette(96), true,
         ""},
        {"headered", fx::headeredPicture(64, 48, headeredPixels), 64, 48, headeredPixels, fx::rampPalette(), false, ""},
        {"--palette path", knownPicture(720, 1), 9, 80, pixels720, widePalette(), true, ""},
        {"ends early", shortFile, 64, 48, shortShown, fx::rampPalette(), false,
         "pic.img ends 2072 bytes short of its pixel data: the missing pixels are index 0."},
    };
    fs::create_directory(at("other"));
    writeBytes(at("other/colours.pal"), fx::paletteBytes(widePalette()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(at("pic.img"), c.file);
        writeBytes(at("map.pal"), fx::paletteBytes(fx::rampPalette()));
        std::vector<std::string> args{"img", "png", at("pic.img"), "-o", at("pic.png")};
        if (c.paletteOption) args.insert(args.end(), {"--palette", at("other/colours.pal")});
        const auto run = runWright(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, *c.note ? "wright img: " + std::string(c.note) + "\n" : std::string());

        const std::optional<TestPng> png = readPng(at("pic.png"));
        ASSERT_TRUE(png.has_value());
        EXPECT_EQ(png->width, c.width);
        EXPECT_EQ(png->height, c.height);
        EXPECT_EQ(png->colourType, PNG_COLOR_TYPE_PALETTE);
        EXPECT_EQ(png->bitDepth, 8);
        EXPECT_TRUE(samePlte(png->palette, plteOf(c.expected)));
        EXPECT_EQ(std::string(png->samples.begin(), png->samples.end()), c.shown);
        expectQtReadsTheIndices(at("pic.png"), c.width, c.height, c.shown, c.expected);
        EXPECT_EQ(readBytes(at("pic.img")), c.file);
        EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.pal", "other", "pic.img", "pic.png"}));
    }
}

TEST_F(ImgCommandTest, ScaleRepeatsEachPixelAsABlock) {
    const std::string pixels = fx::patternPixels(9, 80, 1);
    for (const int scale : {2, 16}) {
        SCOPED_TRACE(scale);
        const TestPng png = exported(knownPicture(720, 1), fx::rampPalette(), scale);
        ASSERT_EQ(png.width, 9u * scale);
        ASSERT_EQ(png.height, 80u * scale);
        std::size_t wrong = 0;
        for (std::uint32_t y = 0; y < png.height; ++y)
            for (std::uint32_t x = 0; x < png.width; ++x)
                wrong += png.samples[std::size_t{y} * png.width + x] !=
                         static_cast<std::uint8_t>(pixels[(y / scale) * 9 + x / scale]);
        EXPECT_EQ(wrong, 0u);
        expectQtReadsTheIndices(at("pic.png"), 9, 80, pixels, fx::rampPalette(), scale);
    }
}

TEST_F(ImgCommandTest, PngIsRefusedWithoutWritingAnything) {
    struct Case {
        const char* name;
        std::string file;  // empty: no picture file
        bool mapPal;
        const char* output;
        const char* reason;
    };
    const std::string tooLarge = fx::headerBytes({0, 0, 9000, 10, 0, 0, 100}) + std::string(100, '\1');
    const Case cases[] = {
        {"no picture", "", true, "pic.png", "No such file"},
        {"no map.pal", knownPicture(720, 1), false, "pic.png", "map.pal"},
        {"too large to draw", tooLarge, true, "pic.png", "9000 x 10"},
        {"no pixels", fx::headeredPicture(0, 5, ""), true, "pic.png", "no pixels"},
        {"output in a missing folder", knownPicture(720, 1), true, "missing/pic.png", "missing/pic.png"},
        {"output over the picture", knownPicture(720, 1), true, "pic.img", "the picture itself"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        if (!c.file.empty()) writeBytes(folder.file("pic.img"), c.file);
        if (c.mapPal) writeBytes(folder.file("map.pal"), fx::paletteBytes(fx::rampPalette()));
        const std::set<std::string> before = filesIn(folder.path());
        const auto run = runWright({"img", "png", folder.file("pic.img"), "-o", folder.file(c.output)});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(filesIn(folder.path()), before);
        if (!c.file.empty()) {
            EXPECT_EQ(readBytes(folder.file("pic.img")), c.file);
        }
    }

    // A scale whose PNG would be wider than the viewer ever draws.
    TempDir folder;
    writeBytes(folder.file("wide.img"), fx::headeredPicture(1100, 1, fx::patternPixels(1100, 1)));
    writeBytes(folder.file("map.pal"), fx::paletteBytes(fx::rampPalette()));
    const auto wide = runWright({"img", "png", folder.file("wide.img"), "-o", folder.file("w.png"), "--scale", "16"});
    EXPECT_EQ(wide.status, 1);
    EXPECT_NE(wide.err.find("17600 x 16 pixels; at most 16384 on a side"), std::string::npos) << wide.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("w.png")));
}

// ---- import ---------------------------------------------------------------

TEST_F(ImgCommandTest, ExportedPngImportsBackWithoutWritingAnything) {
    struct Case {
        const char* name;
        std::string file;
        int scale;
    };
    const Case cases[] = {
        {"known length", knownPicture(720, 1), 1},
        {"own palette, scaled", knownPicture(64768, 8, widePalette()), 2},
        {"headered, scaled", fx::headeredPicture(64, 48, fx::patternPixels(64, 48, 9)), 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        exported(c.file, fx::rampPalette(), c.scale);
        const ino_t inode = inodeOf(at("pic.img"));
        const auto run = runWright({"img", "import", at("pic.img"), at("pic.png")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("no pixel changed, nothing written"), std::string::npos) << run.out;
        EXPECT_EQ(readBytes(at("pic.img")), c.file);
        EXPECT_EQ(inodeOf(at("pic.img")), inode);
        EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.pal", "pic.img", "pic.png"}));
    }
}

TEST_F(ImgCommandTest, EditedPngWritesExactlyThoseIndices) {
    const std::string low = [] {
        std::string pixels = fx::patternPixels(64, 48, 9);
        for (char& p : pixels) p = static_cast<char>(p & 0x0F);
        return pixels;
    }();
    struct Case {
        const char* name;
        std::string file;
        std::uint16_t width, height;
        std::size_t dataStart;
        std::uint32_t scale;
        bool interlaced;
        int bitDepth;     // bit depth 4 with a PLTE of the first 16 colours
    };
    const Case cases[] = {
        {"known length", knownPicture(720, 1), 9, 80, 0, 1, false, 8},
        {"own palette kept, scaled 2x", knownPicture(64768, 8, widePalette()), 320, 200, 0, 2, false, 8},
        {"header kept, interlaced", fx::headeredPicture(64, 48, fx::patternPixels(64, 48, 9)), 64, 48, 12, 1, true, 8},
        {"bit depth 4, short PLTE, scaled 3x", fx::headeredPicture(64, 48, low), 64, 48, 12, 3, false, 4},
    };
    // Picture pixels given new indices (all below 16).
    const std::vector<std::pair<std::size_t, std::size_t>> edits{{0, 0}, {5, 3}, {8, 47}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(at("pic.img"), c.file);
        writeBytes(at("map.pal"), fx::paletteBytes(fx::rampPalette()));
        ::chmod(at("pic.img").c_str(), 0640);
        const Palette palette = c.file.size() == 64768 ? widePalette() : fx::rampPalette();

        std::string pixels = c.file.substr(c.dataStart, std::size_t{c.width} * c.height);
        std::string expected = c.file;
        for (const auto& [column, row] : edits) {
            const std::size_t i = row * c.width + column;
            const char index = static_cast<char>((pixels[i] + 7) & 0x0F);
            pixels[i] = index;
            expected[c.dataStart + i] = index;
        }
        TestPng png = indexedPng(c.width, c.height, pixels, palette, c.scale);
        png.interlaced = c.interlaced;
        png.bitDepth = c.bitDepth;
        if (c.bitDepth == 4) png.palette.resize(16);
        ASSERT_TRUE(writePng(at("edited.png"), png));

        const auto dry = runWright({"img", "import", at("pic.img"), at("edited.png"), "--dry-run"});
        ASSERT_EQ(dry.status, 0) << dry.err;
        EXPECT_NE(dry.out.find("3 pixels would change"), std::string::npos) << dry.out;
        EXPECT_EQ(readBytes(at("pic.img")), c.file);

        const auto run = runWright({"img", "import", at("pic.img"), at("edited.png")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("3 pixels changed"), std::string::npos) << run.out;
        EXPECT_EQ(readBytes(at("pic.img")), expected);
        struct stat info {};
        ASSERT_EQ(::stat(at("pic.img").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"edited.png", "map.pal", "pic.img"}));

        // Taken a second time, it finds the pixels already there.
        const auto again = runWright({"img", "import", at("pic.img"), at("edited.png")});
        EXPECT_NE(again.out.find("no pixel changed"), std::string::npos) << again.out;
        EXPECT_EQ(readBytes(at("pic.img")), expected);
        fs::remove(at("edited.png"));
    }
}

TEST_F(ImgCommandTest, RefusedPngLeavesThePictureAsItWas) {
    const std::string pixels = fx::patternPixels(9, 80, 1);
    const Palette ramp = fx::rampPalette();
    const auto png = [&](std::function<void(TestPng&)> change, std::uint32_t scale = 1) {
        return [=](const std::string& path) {
            TestPng image = indexedPng(9, 80, pixels, ramp, scale);
            change(image);
            ASSERT_TRUE(writePng(path, image));
        };
    };
    using Maker = std::function<void(const std::string& path)>;
    struct Case {
        const char* name;
        std::string picture;
        Maker makePng;
        std::string reason;
    };
    // The header asks for 1000 bytes of pixels; the file holds 600.
    const std::string wholePicture = fx::headeredPicture(9, 80, std::string(1000, '\3'));
    const std::string shortPicture = wholePicture.substr(0, 612);
    // Only 500 of the 720 pixels are in the file.
    const std::string partial = fx::headeredPicture(9, 80, pixels.substr(0, 500));
    const Case cases[] = {
        {"not a PNG", knownPicture(720, 1), [](const std::string& p) { writeBytes(p, "GIF89a, not a PNG"); },
         "not a PNG file"},
        {"wrong size", knownPicture(720, 1),
         [&](const std::string& p) {
             TestPng image = indexedPng(9, 80, pixels, ramp);
             image.width = 8;
             image.samples.resize(8 * 80);
             ASSERT_TRUE(writePng(p, image));
         },
         "the PNG is 8 x 80 pixels; the picture is 9 x 80"},
        {"not the same multiple on both sides", knownPicture(720, 1),
         [&](const std::string& p) {
             TestPng image = indexedPng(9, 80, pixels, ramp, 2);
             image.height = 80;
             image.samples.resize(18 * 80);
             ASSERT_TRUE(writePng(p, image));
         },
         "the PNG is 18 x 80 pixels"},
        {"a scaled block of two indices", knownPicture(720, 1), png([](TestPng& image) { image.at(11, 7) ^= 1; }, 2),
         "1 block of 2 x 2 pixels holds more than one index, the first at picture pixel (5, 3)"},
        {"a recoloured palette entry", knownPicture(720, 1),
         png([&](TestPng& image) { image.palette[static_cast<std::uint8_t>(pixels[0])].red ^= 4; }),
         "of a colour the picture's palette does not hold, the first at picture pixel (0, 0)"},
        {"an index beyond the PLTE", knownPicture(720, 1), png([](TestPng& image) {
             image.palette.resize(16);
             for (std::uint8_t& s : image.samples) s &= 0x0F;
             image.at(2, 2) = 200;
         }),
         "the PNG's palette has 16 entries, and it uses the indices 200 beyond them"},
        {"a pixel where the file holds none", partial, png([](TestPng& image) {
             std::fill(image.samples.begin() + 500, image.samples.end(), 0);
             image.at(8, 79) = 9;
         }),
         "1 pixel beyond the file's 500 bytes of pixel data is not index 0"},
        {"a picture that ends early", shortPicture, png([](TestPng&) {}), "ends 400 bytes short of its pixel data"},
        {"a picture one byte short", wholePicture.substr(0, 12 + 999), png([](TestPng&) {}),
         "the file ends 1 byte short of its pixel data"},
        {"a PNG cut short", knownPicture(720, 1),
         [&](const std::string& p) {
             ASSERT_TRUE(writePng(p, indexedPng(9, 80, pixels, ramp)));
             const std::string whole = readBytes(p);
             writeBytes(p, whole.substr(0, whole.size() / 2));
         },
         "edited.png: the file ends early"},
        {"no PNG", knownPicture(720, 1), [](const std::string&) {}, "No such file"},
        {"a folder for the PNG", knownPicture(720, 1), [](const std::string& p) { fs::create_directory(p); },
         "edited.png"},
        {"no picture", "", png([](TestPng&) {}), "No such file"},
    };
    writeBytes(at("map.pal"), fx::paletteBytes(ramp));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.picture.empty()) writeBytes(at("pic.img"), c.picture);
        c.makePng(at("edited.png"));
        const std::set<std::string> before = filesIn(dir.path());
        for (const bool dryRun : {false, true}) {
            std::vector<std::string> args{"img", "import", at("pic.img"), at("edited.png")};
            if (dryRun) args.push_back("--dry-run");
            const auto run = runWright(args);
            EXPECT_EQ(run.status, 1) << run.out;
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
            if (!c.picture.empty()) {
                EXPECT_EQ(readBytes(at("pic.img")), c.picture);
            }
            EXPECT_EQ(filesIn(dir.path()), before);
        }
        fs::remove_all(at("edited.png"));
        fs::remove(at("pic.img"));
    }
}

TEST_F(ImgCommandTest, EveryReasonIsListed) {
    const std::string pixels = fx::patternPixels(9, 80, 1);
    writeBytes(at("pic.img"), knownPicture(720, 1));
    writeBytes(at("map.pal"), fx::paletteBytes(fx::rampPalette()));
    TestPng image = indexedPng(9, 80, pixels, fx::rampPalette(), 2);
    image.palette.resize(100);
    image.palette[1].blue ^= 8;
    for (std::uint8_t& s : image.samples) s = s < 100 ? s : 1;
    image.at(1, 0) ^= 1;
    image.at(0, 4) = 230;
    image.at(1, 4) = 230;
    image.at(0, 5) = 230;
    image.at(1, 5) = 230;
    ASSERT_TRUE(writePng(at("edited.png"), image));
    const auto run = runWright({"img", "import", at("pic.img"), at("edited.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("(3 problems)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the first at picture pixel (0, 0)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("indices 230 beyond them"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("of a colour the picture's palette does not hold"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(at("pic.img")), knownPicture(720, 1));
}

// ---- import by colour -----------------------------------------------------

// A picture whose palette gives index 200 the colour of index 5, as game
// palettes repeat colours; its row 0 holds both, and 7 and 192 beside them.
struct SharedColourPicture {
    Palette palette = fx::rampPalette();
    std::string pixels = fx::patternPixels(8, 4, 3);

    SharedColourPicture() {
        std::copy_n(palette.begin() + 3 * 5, 3, palette.begin() + 3 * 200);
        pixels.replace(0, 4, std::string{'\x05', '\xC8', '\x07', '\xC0'});
    }
    std::string file() const { return fx::headeredPicture(8, 4, pixels); }
};

// The 8 x 4 pixels drawn in their palette colours, in a PNG of the colour
// type and bit depth given, each pixel as a scale x scale block; an indexed
// one has the palette in reverse order.
TestPng colourPng(const std::string& pixels, const Palette& palette, int colourType, int bitDepth,
                  std::uint32_t scale = 1) {
    TestPng image;
    image.width = 8 * scale;
    image.height = 4 * scale;
    image.colourType = colourType;
    image.bitDepth = bitDepth;
    image.samples.resize(image.rowBytes() * image.height);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        const std::vector<png_color> plte = plteOf(palette);
        image.palette.assign(plte.rbegin(), plte.rend());
    }
    const std::uint16_t one = bitDepth == 16 ? 257 : 1;
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const auto index = static_cast<std::uint8_t>(pixels[(y / scale) * 8 + x / scale]);
            if (colourType == PNG_COLOR_TYPE_PALETTE) {
                image.at(x, y) = static_cast<std::uint8_t>(255 - index);
                continue;
            }
            const auto c = PalToColor(palette, index);
            image.set(x, y, {static_cast<std::uint16_t>(c.red * one), static_cast<std::uint16_t>(c.green * one),
                             static_cast<std::uint16_t>(c.blue * one), static_cast<std::uint16_t>(255 * one)});
        }
    return image;
}

std::string hex(std::initializer_list<unsigned> values, int digits) {
    std::string text = "#";
    char part[8];
    for (const unsigned v : values) {
        std::snprintf(part, sizeof part, "%0*x", digits, v);
        text += part;
    }
    return text;
}

TEST_F(ImgCommandTest, ColourPngTakesEachPixelAsTheIndexOfItsColour) {
    struct Case {
        const char* name;
        int colourType;
        int bitDepth;
        std::uint32_t scale;
        bool interlaced;
        bool grey;  // the picture's pixels all of the grey band (192 to 199)
    };
    const Case cases[] = {
        {"RGB", PNG_COLOR_TYPE_RGB, 8, 1, false, false},
        {"RGBA, opaque, interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, 1, true, false},
        {"RGB of 16 bits a sample, scaled 2x", PNG_COLOR_TYPE_RGB, 16, 2, false, false},
        {"palette in another order", PNG_COLOR_TYPE_PALETTE, 8, 1, false, false},
        {"grey with alpha, scaled 3x", PNG_COLOR_TYPE_GRAY_ALPHA, 8, 3, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SharedColourPicture picture;
        if (c.grey) {
            for (char& p : picture.pixels) p = static_cast<char>(0xC0 | (p & 7));
            picture.pixels.replace(2, 2, std::string{'\xC7', '\xC0'});
        }
        const std::string before = picture.file();
        writeBytes(at("pic.img"), before);
        writeBytes(at("map.pal"), fx::paletteBytes(picture.palette));
        // Pixels (2, 0) and (3, 0) drawn in the unshared colours of 193 and 195;
        // (0, 0) and (1, 0) keep the colour that 5 and 200 share.
        std::string edited = picture.pixels;
        edited.replace(2, 2, std::string{'\xC1', '\xC3'});
        TestPng png = colourPng(edited, picture.palette, c.colourType, c.bitDepth, c.scale);
        png.interlaced = c.interlaced;
        ASSERT_TRUE(writePng(at("edited.png"), png));
        std::string expected = before;
        expected.replace(12 + 2, 2, std::string{'\xC1', '\xC3'});

        const auto dry = runWright({"img", "import", at("pic.img"), at("edited.png"), "--dry-run"});
        ASSERT_EQ(dry.status, 0) << dry.err;
        EXPECT_NE(dry.out.find("every pixel's colour matched to an index"), std::string::npos) << dry.out;
        EXPECT_NE(dry.out.find("2 pixels would change"), std::string::npos) << dry.out;
        EXPECT_EQ(readBytes(at("pic.img")), before);

        const auto run = runWright({"img", "import", at("pic.img"), at("edited.png")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("2 pixels changed"), std::string::npos) << run.out;
        EXPECT_EQ(readBytes(at("pic.img")), expected);
        EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"edited.png", "map.pal", "pic.img"}));
    }
}

TEST_F(ImgCommandTest, ColourPngThatIsNotThePicturesColoursIsRefused) {
    const SharedColourPicture picture;
    const std::string before = picture.file();
    const auto colourOf = [&](std::size_t x, std::size_t y) {
        return PalToColor(picture.palette, static_cast<std::uint8_t>(picture.pixels[y * 8 + x]));
    };
    const auto rgb = [&](std::function<void(TestPng&)> change, int type = PNG_COLOR_TYPE_RGB, int depth = 8,
                         std::uint32_t scale = 1) {
        return [=](const std::string& path) {
            TestPng image = colourPng(picture.pixels, picture.palette, type, depth, scale);
            change(image);
            ASSERT_TRUE(writePng(path, image));
        };
    };
    const auto shared = PalToColor(picture.palette, 5);
    const auto at41 = colourOf(4, 1);
    const auto at22 = colourOf(2, 2);
    const auto plus = [](std::uint8_t v, int d) { return static_cast<std::uint16_t>((v + d) & 0xFF); };
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> makePng;
        std::string reason;
    };
    const Case cases[] = {
        {"a colour one step off",
         rgb([&](TestPng& i) { i.set(4, 1, {plus(at41.red, 1), at41.green, at41.blue, 255}); }),
         "1 pixel of a colour the picture's palette does not hold, the first at picture pixel (4, 1): " +
             hex({unsigned(plus(at41.red, 1)), at41.green, at41.blue}, 2)},
        {"the first of two in reading order", rgb([&](TestPng& i) {
             i.set(6, 3, {1, 2, 3, 255});
             i.set(1, 2, {1, 2, 3, 255});
         }),
         "2 pixels of a colour the picture's palette does not hold, the first at picture pixel (1, 2): #010203"},
        {"half transparent", rgb([&](TestPng& i) {
             const auto c = colourOf(0, 3);
             i.set(0, 3, {c.red, c.green, c.blue, 128});
         }, PNG_COLOR_TYPE_RGB_ALPHA),
         "the first at picture pixel (0, 3): " + hex({colourOf(0, 3).red, colourOf(0, 3).green, colourOf(0, 3).blue}, 2) +
             ", alpha 32896 of 65535"},
        {"16 bits that are no 8-bit value", rgb([&](TestPng& i) {
             i.set(2, 2, {static_cast<std::uint16_t>(at22.red * 257 + 1), static_cast<std::uint16_t>(at22.green * 257),
                          static_cast<std::uint16_t>(at22.blue * 257), 65535});
         }, PNG_COLOR_TYPE_RGB, 16),
         "the first at picture pixel (2, 2): " + hex({at22.red * 257u + 1, at22.green * 257u, at22.blue * 257u}, 4)},
        {"the shared colour on a pixel of neither index",
         rgb([&](TestPng& i) { i.set(2, 0, {shared.red, shared.green, shared.blue, 255}); }),
         "1 pixel of a colour that several indices hold, none of them the pixel's own, the first at picture pixel "
         "(2, 0): " + hex({shared.red, shared.green, shared.blue}, 2) + ", which the indices 5, 200 hold; the pixel had 7"},
        {"a block of two colours", rgb([&](TestPng& i) { i.set(5, 3, {1, 2, 3, 255}); }, PNG_COLOR_TYPE_RGB, 8, 2),
         "1 block of 2 x 2 pixels holds more than one colour, the first at picture pixel (2, 1)"},
        {"a palette in another order with a colour of none",
         rgb([&](TestPng& i) { i.palette[255 - 7].green ^= 1; }, PNG_COLOR_TYPE_PALETTE),
         "1 pixel of a colour the picture's palette does not hold, the first at picture pixel (2, 0)"},
    };
    writeBytes(at("map.pal"), fx::paletteBytes(picture.palette));
    writeBytes(at("pic.img"), before);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.makePng(at("edited.png"));
        const std::set<std::string> files = filesIn(dir.path());
        for (const bool dryRun : {false, true}) {
            std::vector<std::string> args{"img", "import", at("pic.img"), at("edited.png")};
            if (dryRun) args.push_back("--dry-run");
            const auto run = runWright(args);
            EXPECT_EQ(run.status, 1) << run.out;
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("export it with 'wright img png' and edit that PNG in indexed\nmode"),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(readBytes(at("pic.img")), before);
            EXPECT_EQ(filesIn(dir.path()), files);
        }
    }
}

// ---- the command line -----------------------------------------------------

TEST_F(ImgCommandTest, UsageErrorsExitTwoAndWriteNothing) {
    writeBytes(at("pic.img"), knownPicture(720, 1));
    writeBytes(at("map.pal"), fx::paletteBytes(fx::rampPalette()));
    const std::string pic = at("pic.img");
    const std::string out = at("out.png");
    const std::vector<std::vector<std::string>> cases{
        {"img"},
        {"img", "gif", pic},
        {"img", "png", pic},
        {"img", "png", "-o", out},
        {"img", "png", pic, pic, "-o", out},
        {"img", "png", pic, "-o", out, "--scale", "0"},
        {"img", "png", pic, "-o", out, "--scale", "17"},
        {"img", "png", pic, "-o", out, "--scale", "2x"},
        {"img", "png", pic, "-o", out, "--scale", "-2"},
        {"img", "png", pic, "-o", out, "--scale"},
        {"img", "png", pic, "-o", out, "--dry-run"},
        {"img", "png", pic, "-o", out, "--letters", "french"},
        {"img", "import", pic},
        {"img", "import", pic, out, "-o", out},
        {"img", "import", pic, out, "--scale", "2"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.size() > 1 ? args[1] + " ... " + args.back() : args[0]);
        const auto run = runWright(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("Try 'wright img --help'"), std::string::npos) << run.err;
        EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"map.pal", "pic.img"}));
    }
}

TEST_F(ImgCommandTest, HelpNamesTheActionsAndOptions) {
    const struct {
        std::vector<std::string> args;
        std::vector<const char*> words;
    } cases[] = {
        {{"img", "--help"}, {"img png", "img import"}},
        {{"img", "png", "--help"}, {"--scale N", "--palette PAL", "-o, --output"}},
        {{"img", "import", "-h"}, {"--dry-run", "--palette PAL"}},
        {{"--help"}, {"img", "pictures (*.img) as indexed PNG, and back"}},
    };
    for (const auto& c : cases) {
        const auto run = runWright(c.args);
        EXPECT_EQ(run.status, 0);
        for (const char* word : c.words) EXPECT_NE(run.out.find(word), std::string::npos) << run.out;
    }
}

}  // namespace
