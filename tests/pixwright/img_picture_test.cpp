#include "pixwright/img_fixtures.h"
#include "pixwright/img_picture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace wright::pixwright {
namespace {

using fixtures::headerBytes;
using fixtures::headeredPicture;
using fixtures::paletteBytes;
using fixtures::patternPixels;
using fixtures::rampPalette;
using testing::TempDir;
using testing::writeBytes;
using Lines = std::vector<std::string>;

// The step a line of the log is reported as: the five progress lines are the
// steps of their names, the last line of a load that fails says why it
// stopped, and every other line is a note on what the file lacked.
std::vector<LoadStep> stepsOf(const Lines& log, bool loaded) {
    const std::pair<const char*, LoadStep> progress[] = {
        {"Loading File ", LoadStep::Opening},
        {"Image size: ", LoadStep::Measured},
        {"Load Image Characteristics...", LoadStep::Identifying},
        {"Read image data...", LoadStep::ReadingPixels},
        {"IMG File load completed.", LoadStep::Completed},
    };
    std::vector<LoadStep> steps;
    for (const std::string& line : log) {
        steps.push_back(LoadStep::Note);
        for (const auto& [start, step] : progress)
            if (line.rfind(start, 0) == 0) steps.back() = step;
    }
    if (!loaded && !steps.empty()) steps.back() = LoadStep::Stopped;
    return steps;
}

// Pictures live in pics/, map.pal in pal/; a different map.pal beside the
// pictures shows a load that looks in the wrong folder.
class PictureFolders {
public:
    PictureFolders() {
        ::mkdir(pics().c_str(), 0755);
        ::mkdir(pal().c_str(), 0755);
        writeBytes(pics() + "/map.pal", paletteBytes(rampPalette(200)));
    }
    std::string pics() const { return dir_.file("pics"); }
    std::string pal() const { return dir_.file("pal"); }

    // Every load's steps are checked against its lines: the command line
    // tells the user a load's notes and its reason to stop by their steps.
    bool load(IMGPicture& picture, const std::string& name, Lines& log) const {
        std::vector<LoadStep> steps;
        Lines lines;
        const bool loaded = LoadIMG(picture, pics(), name, pal(), [&](LoadStep step, const std::string& line) {
            steps.push_back(step);
            lines.push_back(line);
        });
        EXPECT_EQ(steps, stepsOf(lines, loaded)) << ::testing::PrintToString(lines);
        log.insert(log.end(), lines.begin(), lines.end());
        return loaded;
    }

private:
    TempDir dir_;
};

Lines loadLines(const std::string& name, std::int64_t size, const Lines& afterCharacteristics = {},
                const Lines& afterRead = {}) {
    Lines lines{"Loading File " + name + " ...", "Image size: " + std::to_string(size) + " bytes",
                "Load Image Characteristics..."};
    lines.insert(lines.end(), afterCharacteristics.begin(), afterCharacteristics.end());
    lines.push_back("Read image data...");
    lines.insert(lines.end(), afterRead.begin(), afterRead.end());
    lines.push_back("IMG File load completed.");
    return lines;
}

Palette paletteOf(const std::string& bytes) {
    Palette palette{};
    for (std::size_t i = 0; i < palette.size() && i < bytes.size(); ++i) palette[i] = static_cast<std::uint8_t>(bytes[i]);
    return palette;
}

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

// Draws the picture onto a surface with a border of sentinel pixels and checks
// every 2 x 2 block against the expected indices (index 0 beyond them) and
// that nothing outside the doubled picture was touched.
void expectDrawnBlocks(const IMGPicture& picture, const std::string& expectedIndices) {
    constexpr std::uint32_t Sentinel = 0x12345678;
    const int w = 2 * picture.IMGWidth, h = 2 * picture.IMGHeight;
    const int sw = w + 3, sh = h + 2;
    std::vector<std::uint32_t> pixels(std::size_t(sw) * sh, Sentinel);
    DrawIMG2x(picture, PixelSurface{reinterpret_cast<std::uint8_t*>(pixels.data()), sw, sh,
                                    std::ptrdiff_t(sw * sizeof(std::uint32_t))});
    int wrong = 0;
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            std::uint32_t expected = Sentinel;
            if (x < w && y < h) {
                const std::size_t i = std::size_t(y / 2) * picture.IMGWidth + x / 2;
                const auto index = static_cast<std::uint8_t>(i < expectedIndices.size() ? expectedIndices[i] : 0);
                expected = packPixel(PalToColor(picture.IMGPalette, index));
            }
            if (pixels[std::size_t(y) * sw + x] != expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs";
        }
    EXPECT_EQ(wrong, 0);
}

// ---- Pictures known by their length ----

struct KnownCase {
    const char* name;
    std::int64_t length;
    std::uint16_t width, height;
    std::uint32_t dataSize;
    bool palInFile;
};

void PrintTo(const KnownCase& c, std::ostream* os) { *os << c.name; }

class KnownLength : public ::testing::TestWithParam<KnownCase> {};

TEST_P(KnownLength, IsIdentifiedAndDecodedFromByteZero) {
    const KnownCase& c = GetParam();
    const std::optional<KnownIMGSize> row = IdentifyIMG(c.length);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->width, c.width);
    EXPECT_EQ(row->height, c.height);
    EXPECT_EQ(row->dataSize, c.dataSize);
    EXPECT_EQ(row->palette == PaletteSource::InFile, c.palInFile);

    PictureFolders folders;
    const std::string mapPal = paletteBytes(rampPalette(17));
    writeBytes(folders.pal() + "/map.pal", mapPal);
    // Whole-file pattern: every byte differs from its neighbours, including a
    // would-be header at the front and the palette at the end.
    std::string file;
    for (std::int64_t i = 0; i < c.length; ++i) file.push_back(static_cast<char>((i * 7 + i / 251) & 0xFF));
    writeBytes(folders.pics() + "/pic.img", file);

    IMGPicture picture;
    Lines log;
    ASSERT_TRUE(folders.load(picture, "pic.img", log));
    EXPECT_EQ(log, loadLines("pic.img", c.length));
    EXPECT_EQ(picture.IMGFileSize, c.length);
    EXPECT_EQ(picture.IMGWidth, c.width);
    EXPECT_EQ(picture.IMGHeight, c.height);
    EXPECT_EQ(picture.IMGDataSize, c.dataSize);
    EXPECT_EQ(picture.PalInFile, c.palInFile);
    EXPECT_EQ(picture.IMGData, bytesOf(file.substr(0, c.dataSize)));
    EXPECT_EQ(picture.IMGPalette, c.palInFile ? paletteOf(file.substr(c.dataSize)) : paletteOf(mapPal));
    expectDrawnBlocks(picture, file.substr(0, c.dataSize));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, KnownLength,
    ::testing::Values(KnownCase{"L720", 720, 9, 80, 720, false}, KnownCase{"L990", 990, 45, 22, 990, false},
                      KnownCase{"L1720", 1720, 43, 40, 1720, false}, KnownCase{"L2140", 2140, 107, 20, 2140, false},
                      KnownCase{"L2916", 2916, 81, 36, 2916, false}, KnownCase{"L3200", 3200, 40, 80, 3200, false},
                      KnownCase{"L3938", 3938, 179, 22, 3938, false}, KnownCase{"L4280", 4280, 107, 40, 4280, false},
                      KnownCase{"L4508", 4508, 322, 14, 4508, false},
                      KnownCase{"L20480", 20480, 320, 64, 20480, false},
                      KnownCase{"L26496", 26496, 184, 144, 26496, false},
                      KnownCase{"L64000", 64000, 320, 200, 64000, false},
                      KnownCase{"L64768", 64768, 320, 200, 64000, true},
                      KnownCase{"L68800", 68800, 320, 215, 68800, false},
                      KnownCase{"L112128", 112128, 512, 219, 112128, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IdentifyIMG, EveryOtherLengthNeedsTheHeader) {
    std::size_t listed = 0;
    for (std::int64_t length = 0; length <= 120000; ++length) listed += IdentifyIMG(length).has_value();
    EXPECT_EQ(listed, KnownIMGSizes.size());
    for (std::int64_t length : {719, 721, 64001, 64767, 112129, -720}) EXPECT_FALSE(IdentifyIMG(length)) << length;
}

// ---- Pictures read through a header, and every way a load can go short or wrong ----

IMGHeader header(std::uint16_t w, std::uint16_t h, std::uint16_t dataSize) {
    IMGHeader hd;
    hd.first = 0xA1B2;
    hd.second = 0xC3D4;
    hd.width = w;
    hd.height = h;
    hd.byte8 = 0xE5;
    hd.byte9 = 0xF6;
    hd.dataSize = dataSize;
    return hd;
}

struct LoadCase {
    const char* name;
    std::string file;
    std::optional<std::string> mapPal;  // nothing: no map.pal in the palette folder
    bool loads;
    std::uint16_t width = 0, height = 0;
    std::uint32_t dataSize = 0;
    std::string data;      // the pixel buffer expected, IMGDataSize bytes
    Lines log;             // "{pics}" and "{pal}" stand for the folders
};

const std::string kPal = paletteBytes(rampPalette(5));

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class HeaderedLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(HeaderedLoad, DecodesOrRefuses) {
    const LoadCase& c = GetParam();
    PictureFolders folders;
    writeBytes(folders.pics() + "/pic.img", c.file);
    if (c.mapPal) writeBytes(folders.pal() + "/map.pal", *c.mapPal);

    // A picture already loaded, which a refused load must leave as it was.
    writeBytes(folders.pics() + "/before.img", patternPixels(9, 80, 3));
    IMGPicture picture;
    Lines ignored;
    if (!c.mapPal) writeBytes(folders.pal() + "/map.pal", kPal);
    ASSERT_TRUE(folders.load(picture, "before.img", ignored));
    if (!c.mapPal) ::unlink((folders.pal() + "/map.pal").c_str());
    const std::vector<std::uint8_t> dataBefore = picture.IMGData;

    Lines log;
    EXPECT_EQ(folders.load(picture, "pic.img", log), c.loads);
    Lines expectedLog;
    for (const std::string& line : c.log)
        expectedLog.push_back(replaceAll(replaceAll(line, "{pics}", folders.pics()), "{pal}", folders.pal()));
    EXPECT_EQ(log, expectedLog);
    if (!c.loads) {
        EXPECT_EQ(picture.IMGWidth, 9);
        EXPECT_EQ(picture.IMGData, dataBefore);
        return;
    }
    EXPECT_EQ(picture.IMGFileSize, std::int64_t(c.file.size()));
    EXPECT_EQ(picture.IMGWidth, c.width);
    EXPECT_EQ(picture.IMGHeight, c.height);
    EXPECT_EQ(picture.IMGDataSize, c.dataSize);
    EXPECT_FALSE(picture.PalInFile);
    EXPECT_EQ(picture.IMGData, bytesOf(c.data));
    EXPECT_EQ(picture.IMGPalette, paletteOf(c.mapPal.value_or("")));
    expectDrawnBlocks(picture, c.data);
}

const std::string kP700 = patternPixels(20, 35, 1);
const std::string kP709 = patternPixels(1, 709, 2);
const std::string kP12 = patternPixels(4, 3, 4);
const std::string kP100 = patternPixels(10, 10, 5);

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderedLoad,
    ::testing::Values(
        // 721 bytes are not listed: the first twelve are a header.
        LoadCase{"Unlisted721", headerBytes(header(20, 35, 709)) + kP709, kPal, true, 20, 35, 709, kP709,
                 loadLines("pic.img", 721)},
        LoadCase{"DataSizeAboveWidthTimesHeight", headerBytes(header(4, 3, 20)) + kP12 + "TAILTAIL", kPal, true, 4, 3,
                 20, kP12 + "TAILTAIL", loadLines("pic.img", 32)},
        LoadCase{"DataSizeBelowWidthTimesHeight", headerBytes(header(4, 3, 5)) + kP12, kPal, true, 4, 3, 5,
                 kP12.substr(0, 5),
                 loadLines("pic.img", 24, {},
                           {"The header gives 5 bytes of pixel data for 4 x 3 pixels: the other 7 pixels are index 0."})},
        LoadCase{"WidthZero", headerBytes(header(0, 7, 0)), kPal, true, 0, 7, 0, "", loadLines("pic.img", 12)},
        LoadCase{"HeightZero", headerBytes(header(7, 0, 3)) + "abc", kPal, true, 7, 0, 3, "abc",
                 loadLines("pic.img", 15)},
        LoadCase{"EndsInTheHeader", headerBytes(header(3, 2, 6)).substr(0, 6), kPal, true, 3, 0, 0, "",
                 loadLines("pic.img", 6,
                           {"pic.img ends 6 bytes short of its header: the missing header bytes are 0."})},
        LoadCase{"EndsInThePixelData", headeredPicture(10, 10, kP100).substr(0, 12 + 60), kPal, true, 10, 10, 100,
                 kP100.substr(0, 60) + std::string(40, '\0'),
                 loadLines("pic.img", 72, {},
                           {"pic.img ends 40 bytes short of its pixel data: the missing pixels are index 0."})},
        LoadCase{"ShortMapPal", headeredPicture(4, 3, kP12), kPal.substr(0, 300), true, 4, 3, 12, kP12,
                 loadLines("pic.img", 24, {},
                           {"map.pal ends 468 bytes short of its palette: the missing palette entries are 0."})},
        LoadCase{"LongMapPalUsesItsFirst768Bytes", headeredPicture(4, 3, kP12), kPal + std::string(500, '\x3F'), true,
                 4, 3, 12, kP12, loadLines("pic.img", 24)},
        LoadCase{"LargestAcceptedSide", headeredPicture(8192, 1, patternPixels(8192, 1, 6)), kPal, true, 8192, 1,
                 8192, patternPixels(8192, 1, 6), loadLines("pic.img", 12 + 8192)},
        LoadCase{"TooWideToDraw", headeredPicture(8193, 1, patternPixels(8193, 1)), kPal, false, 0, 0, 0, "",
                 {"Loading File pic.img ...", "Image size: 8205 bytes", "Load Image Characteristics...",
                  "The picture is 8193 x 1 pixels: at twice its size it exceeds 16384 pixels on a side and is not "
                  "drawn."}},
        LoadCase{"TooHighToDraw", headerBytes(header(2, 60000, 0)), kPal, false, 0, 0, 0, "",
                 {"Loading File pic.img ...", "Image size: 12 bytes", "Load Image Characteristics...",
                  "The picture is 2 x 60000 pixels: at twice its size it exceeds 16384 pixels on a side and is not "
                  "drawn."}},
        LoadCase{"NoMapPal", headeredPicture(4, 3, kP12), std::nullopt, false, 0, 0, 0, "",
                 {"Loading File pic.img ...", "Image size: 24 bytes", "Load Image Characteristics...",
                  "Read image data...", "Cannot open {pal}/map.pal: No such file or directory."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadIMG, AListedLengthIsRawEvenWhenItBeginsWithAHeader) {
    PictureFolders folders;
    writeBytes(folders.pal() + "/map.pal", kPal);
    const std::string file = headeredPicture(3, 4, patternPixels(3, 4)) + std::string(720 - 24, '\x07');
    writeBytes(folders.pics() + "/pic.img", file);
    IMGPicture picture;
    Lines log;
    ASSERT_TRUE(folders.load(picture, "pic.img", log));
    EXPECT_EQ(picture.IMGWidth, 9);
    EXPECT_EQ(picture.IMGHeight, 80);
    // The twelve header bytes are the first twelve pixels.
    EXPECT_EQ(picture.IMGData, bytesOf(file));
}

TEST(LoadIMG, AMissingPictureIsNamedWithTheReasonAndKeepsThePicture) {
    PictureFolders folders;
    IMGPicture picture;
    picture.IMGWidth = 5;
    picture.IMGData = {1, 2, 3};
    Lines log;
    EXPECT_FALSE(folders.load(picture, "gone.img", log));
    EXPECT_EQ(log, (Lines{"Loading File gone.img ...",
                          "Cannot open " + folders.pics() + "/gone.img: No such file or directory."}));
    EXPECT_EQ(picture.IMGWidth, 5);
    EXPECT_EQ(picture.IMGData, (std::vector<std::uint8_t>{1, 2, 3}));
}

// A picture or map.pal that is there but cannot be read: a folder or a pipe
// of that name, or a file without read permission. The load names the file
// and the reason, and the picture loaded before stays as it was.
enum class Unreadable { Folder, Pipe, NoPermission };

struct UnreadableCase {
    const char* name;
    bool palette;  // map.pal, not the picture
    Unreadable how;
    std::string reason;  // the end of the last line, after the path
};

void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

class UnreadableFile : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableFile, IsNamedWithTheReasonAndKeepsThePicture) {
    const UnreadableCase& c = GetParam();
    PictureFolders folders;
    writeBytes(folders.pal() + "/map.pal", kPal);
    writeBytes(folders.pics() + "/before.img", patternPixels(45, 22, 8));
    IMGPicture picture;
    Lines ignored;
    ASSERT_TRUE(folders.load(picture, "before.img", ignored));
    const IMGPicture before = picture;

    const std::string path = c.palette ? folders.pal() + "/map.pal" : folders.pics() + "/pic.img";
    ::unlink(path.c_str());
    if (c.how == Unreadable::Folder) {
        ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    } else if (c.how == Unreadable::Pipe) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    } else {
        writeBytes(path, c.palette ? kPal : patternPixels(9, 80, 9));
        ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
        if (const int fd = ::open(path.c_str(), O_RDONLY); fd >= 0) {
            ::close(fd);
            GTEST_SKIP() << "this user reads files without read permission";
        }
    }
    if (c.palette) writeBytes(folders.pics() + "/pic.img", patternPixels(9, 80, 9));

    Lines log;
    EXPECT_FALSE(folders.load(picture, "pic.img", log));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Loading File pic.img ...");
    EXPECT_EQ(log.back().rfind("Cannot ", 0), 0u) << log.back();
    EXPECT_NE(log.back().find(" " + path + ": " + c.reason), std::string::npos) << log.back();
    EXPECT_EQ(std::count(log.begin(), log.end(), "IMG File load completed."), 0);
    // A picture that cannot be read has no size to show (a folder's would be
    // the largest file offset).
    if (!c.palette) {
        EXPECT_EQ(log.size(), 2u) << log[1];
    }
    EXPECT_EQ(picture.IMGWidth, before.IMGWidth);
    EXPECT_EQ(picture.IMGHeight, before.IMGHeight);
    EXPECT_EQ(picture.IMGFileSize, before.IMGFileSize);
    EXPECT_EQ(picture.IMGData, before.IMGData);
    EXPECT_EQ(picture.IMGPalette, before.IMGPalette);
    ::chmod(path.c_str(), 0644);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableFile,
    ::testing::Values(UnreadableCase{"PictureIsAFolder", false, Unreadable::Folder, "it is a folder."},
                      UnreadableCase{"PictureIsAPipe", false, Unreadable::Pipe, "it is not a regular file."},
                      UnreadableCase{"PictureWithoutReadPermission", false, Unreadable::NoPermission,
                                     "Permission denied."},
                      UnreadableCase{"MapPalIsAFolder", true, Unreadable::Folder, "it is a folder."},
                      UnreadableCase{"MapPalIsAPipe", true, Unreadable::Pipe, "it is not a regular file."},
                      UnreadableCase{"MapPalWithoutReadPermission", true, Unreadable::NoPermission,
                                     "Permission denied."}),
    [](const auto& info) { return std::string(info.param.name); });

// Makes a file refuse writing even to root: no write permission, and the
// immutable flag where the file system allows it. Undone on destruction.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {
        ::chmod(path_.c_str(), 0444);
        immutable_ = setImmutable(true);
    }
    ~ReadOnlyFile() {
        if (immutable_) setImmutable(false);
        ::chmod(path_.c_str(), 0644);
    }
    bool refusesWriting() const {
        const int fd = ::open(path_.c_str(), O_RDWR);
        if (fd >= 0) ::close(fd);
        return fd < 0;
    }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(path_.c_str(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }

    std::string path_;
    bool immutable_ = false;
};

TEST(LoadIMG, ReadOnlyPictureAndPaletteAreShown) {
    PictureFolders folders;
    writeBytes(folders.pics() + "/pic.img", patternPixels(45, 22));
    writeBytes(folders.pal() + "/map.pal", kPal);
    const ReadOnlyFile picture(folders.pics() + "/pic.img");
    const ReadOnlyFile palette(folders.pal() + "/map.pal");
    if (!picture.refusesWriting() || !palette.refusesWriting()) GTEST_SKIP() << "cannot make a file read-only here";
    IMGPicture loaded;
    Lines log;
    ASSERT_TRUE(folders.load(loaded, "pic.img", log));
    EXPECT_EQ(log, loadLines("pic.img", 990));
    EXPECT_EQ(loaded.IMGData, bytesOf(patternPixels(45, 22)));
    EXPECT_EQ(loaded.IMGPalette, paletteOf(kPal));
}

// ---- Colours and drawing ----

struct ColourCase {
    const char* name;
    std::uint8_t r, g, b;
    DisplayColor expected;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class PaletteColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(PaletteColour, ShiftsEachComponentKeepingTheLowEightBits) {
    const ColourCase& c = GetParam();
    EXPECT_EQ(PalToColor(c.r, c.g, c.b), c.expected);
    Palette palette{};
    palette[3 * 200 + 0] = c.r;
    palette[3 * 200 + 1] = c.g;
    palette[3 * 200 + 2] = c.b;
    EXPECT_EQ(PalToColor(palette, 200), c.expected);
    EXPECT_EQ(packPixel(c.expected),
              0xFF000000u | (std::uint32_t{c.expected.red} << 16) | (c.expected.green << 8) | c.expected.blue);
}

INSTANTIATE_TEST_SUITE_P(Cases, PaletteColour,
                         ::testing::Values(ColourCase{"Zero", 0, 0, 0, {0, 0, 0}},
                                           ColourCase{"Top63Is252", 63, 63, 63, {252, 252, 252}},
                                           ColourCase{"Over64WrapsTo0", 64, 64, 64, {0, 0, 0}},
                                           ColourCase{"Over65WrapsTo4", 65, 65, 65, {4, 4, 4}},
                                           ColourCase{"RedGreenBlueInOrder", 1, 63, 65, {4, 252, 4}},
                                           ColourCase{"BlueLast", 0, 64, 63, {0, 0, 252}}),
                         [](const auto& info) { return std::string(info.param.name); });

IMGPicture makePicture(std::uint16_t w, std::uint16_t h, const std::string& data) {
    IMGPicture picture;
    picture.IMGWidth = w;
    picture.IMGHeight = h;
    picture.IMGDataSize = static_cast<std::uint32_t>(data.size());
    picture.IMGData = bytesOf(data);
    picture.IMGPalette = rampPalette(11);
    return picture;
}

TEST(DrawIMG2x, NineByEightyBecomesEighteenByOneHundredSixtyInBlocks) {
    std::string data(720, '\0');
    for (int i = 0; i < 720; ++i) data[i] = static_cast<char>(i % 251);
    const IMGPicture picture = makePicture(9, 80, data);
    expectDrawnBlocks(picture, data);

    // Source byte 9 is the first pixel of the second row: the block at (0, 2).
    std::vector<std::uint32_t> pixels(18 * 160);
    DrawIMG2x(picture, PixelSurface{reinterpret_cast<std::uint8_t*>(pixels.data()), 18, 160, 18 * 4});
    const std::uint32_t ninth = packPixel(PalToColor(picture.IMGPalette, 9));
    for (int y : {2, 3})
        for (int x : {0, 1}) EXPECT_EQ(pixels[y * 18 + x], ninth) << x << ", " << y;
    EXPECT_NE(pixels[2 * 18 + 2], ninth);
    EXPECT_NE(pixels[0], ninth);
}

TEST(DrawIMG2x, AnEmptyPictureSetsNoPixel) {
    std::vector<std::uint32_t> pixels(16, 0xDEADBEEF);
    for (const IMGPicture& picture : {makePicture(0, 4, ""), makePicture(4, 0, "abcd")}) {
        DrawIMG2x(picture, PixelSurface{reinterpret_cast<std::uint8_t*>(pixels.data()), 4, 4, 16});
        EXPECT_EQ(pixels, std::vector<std::uint32_t>(16, 0xDEADBEEF));
    }
}

TEST(DrawIMG2x, RefusesASurfaceSmallerThanTwiceThePicture) {
    const IMGPicture picture = makePicture(3, 2, "abcdef");
    std::vector<std::uint32_t> pixels(6 * 4);
    const auto surface = [&](int w, int h, std::ptrdiff_t bpl) {
        return PixelSurface{reinterpret_cast<std::uint8_t*>(pixels.data()), w, h, bpl};
    };
    EXPECT_THROW(DrawIMG2x(picture, surface(5, 4, 24)), std::invalid_argument);
    EXPECT_THROW(DrawIMG2x(picture, surface(6, 3, 24)), std::invalid_argument);
    EXPECT_THROW(DrawIMG2x(picture, surface(6, 4, 20)), std::invalid_argument);
    EXPECT_NO_THROW(DrawIMG2x(picture, surface(6, 4, 24)));
}

}  // namespace
}  // namespace wright::pixwright
