// Loading a picture file and map.pal of arbitrary bytes, then drawing it.
//
// The input describes both files:
//   byte 0     bits 0-4: a row of the listed lengths (0..14), or any other
//              value for a picture of exactly the given bytes;
//              bit 5: there is no map.pal.
//   bytes 1-2  little-endian count of picture bytes that follow.
//   then       the picture bytes; for a listed row they are repeated (or
//              zeros, when there are none) up to that row's length, so small
//              inputs reach every listed length.
//   the rest   map.pal.
// Both files are written to a folder of this process under /dev/shm (or
// $TMPDIR) and loaded over an earlier picture.
//
// Properties, each computed here from the bytes written, not by the loader:
// a listed length decodes to its row's size and palette source, any other to
// the size its header gives; the pixel buffer holds the file's bytes and 0
// where the file ended; the palette is the file's or map.pal's first 768
// bytes, 0 where they ended; every pixel of width x height is available, 0
// beyond the data; a load that fails or refuses a picture too large to draw
// leaves the earlier picture as it was, and a refused one allocates nothing
// of its size; a doubled drawing onto a surface of exactly twice the picture
// paints each sampled pixel as the 2 x 2 block of its colour.

#include "fuzz/fuzz_check.h"
#include "fuzz/pixwright/largest_allocation.h"
#include "pixwright/img_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace wright::pixwright;
namespace fs = std::filesystem;

namespace {

// A heap block this large is never needed by a refused load: its lines and
// the open file take far less.
constexpr std::size_t kRefusedLoadAllocationBound = 16 * 1024;
// Surfaces up to this many pixels are drawn; larger ones are only sampled
// through the picture's pixel access.
constexpr std::size_t kDrawnSurfacePixels = std::size_t{1} << 19;

struct Folders {
    fs::path root, pics, pal;
    Folders() {
        const char* shm = "/dev/shm";
        fs::path base = fs::is_directory(shm) ? fs::path(shm) : fs::temp_directory_path();
        std::string pattern = (base / "pixwright-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        pics = root / "pics";
        pal = root / "pal";
        fs::create_directories(pics);
        fs::create_directories(pal);
    }
    ~Folders() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

const Folders& folders() {
    static const Folders f;
    return f;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::abort();
}

std::uint8_t byteAt(const std::string& bytes, std::size_t at) {
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at]) : 0;
}

std::uint16_t u16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(byteAt(bytes, at) | (byteAt(bytes, at + 1) << 8));
}

// What the picture must decode to, worked out from its bytes.
struct Expected {
    std::uint16_t width = 0, height = 0;
    std::uint32_t dataSize = 0;
    bool palInFile = false;
    std::size_t dataStart = 0;
};

Expected expectedOf(const std::string& file) {
    for (const KnownIMGSize& row : KnownIMGSizes) {
        if (row.fileLength != static_cast<std::int64_t>(file.size())) continue;
        FUZZ_CHECK(row.dataSize == std::uint32_t{row.width} * row.height);
        return {row.width, row.height, row.dataSize, row.palette == PaletteSource::InFile, 0};
    }
    return {u16At(file, 4), u16At(file, 6), u16At(file, 10), false, kIMGHeaderSize};
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::uint32_t expectedPixel(const std::string& paletteBytes, std::size_t paletteStart, std::uint8_t index) {
    std::uint32_t rgb = 0xFF000000u;
    for (int k = 0; k < 3; ++k) {
        const unsigned component = byteAt(paletteBytes, paletteStart + 3 * std::size_t{index} + k);
        rgb |= ((component * 4u) % 256u) << (16 - 8 * k);
    }
    return rgb;
}

// A small picture loaded before, which a failed load must leave alone.
IMGPicture earlierPicture() {
    IMGPicture p;
    p.IMGFileSize = 7;
    p.IMGWidth = 3;
    p.IMGHeight = 2;
    p.IMGDataSize = 7;
    p.IMGData = {9, 8, 7, 6, 5, 4, 3};
    p.IMGPalette.fill(0x2A);
    return p;
}

// The steps of a load come in their order, each once, with notes between
// them; the last is Completed for a load that returns true, else Stopped. A
// note is a line on what the file lacked, and every such line is a note.
bool stepsInOrder(const std::vector<LoadStep>& steps, const std::vector<std::string>& log, bool loaded) {
    const LoadStep order[] = {LoadStep::Opening, LoadStep::Measured, LoadStep::Identifying, LoadStep::ReadingPixels,
                              LoadStep::Completed};
    std::size_t next = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const bool saysWhatIsMissing =
            log[i].find(" bytes short of its ") != std::string::npos || log[i].rfind("The header gives ", 0) == 0;
        if ((steps[i] == LoadStep::Note) != saysWhatIsMissing) return false;
        if (steps[i] == LoadStep::Note) continue;
        const bool last = i + 1 == steps.size();
        if (steps[i] == LoadStep::Stopped) return last && !loaded;
        if (next == std::size(order) || steps[i] != order[next++]) return false;
        if (steps[i] == LoadStep::Completed) return last && loaded;
    }
    return false;
}

bool samePicture(const IMGPicture& a, const IMGPicture& b) {
    return a.IMGFileSize == b.IMGFileSize && a.IMGWidth == b.IMGWidth && a.IMGHeight == b.IMGHeight &&
           a.IMGDataSize == b.IMGDataSize && a.PalInFile == b.PalInFile && a.IMGData == b.IMGData &&
           a.IMGPalette == b.IMGPalette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::uint8_t flags = byteAt(input, 0);
    const std::size_t row = flags & 0x1F;
    const bool noMapPal = (flags & 0x20) != 0;
    const std::size_t body = std::min<std::size_t>(3, input.size());
    const std::size_t count = std::min<std::size_t>(u16At(input, 1), input.size() - body);
    std::string file = input.substr(body, count);
    const std::string mapPal = input.substr(body + count);
    if (row < KnownIMGSizes.size()) {
        const std::size_t length = static_cast<std::size_t>(KnownIMGSizes[row].fileLength);
        std::string grown(length, '\0');
        if (!file.empty())
            for (std::size_t i = 0; i < length; ++i) grown[i] = file[i % file.size()];
        file = std::move(grown);
    }

    const Folders& f = folders();
    writeFile(f.pics / "pic.img", file);
    std::error_code ignored;
    fs::remove(f.pal / kPaletteFileName, ignored);
    if (!noMapPal) writeFile(f.pal / kPaletteFileName, mapPal);

    const Expected want = expectedOf(file);
    const bool tooLarge = 2 * int{want.width} > kMaxSurfaceSide || 2 * int{want.height} > kMaxSurfaceSide;
    const bool needsMapPal = !want.palInFile;

    IMGPicture picture = earlierPicture();
    std::vector<std::string> log;
    std::vector<LoadStep> steps;
    wright::fuzzing::startWatchingAllocations();
    const bool loaded = LoadIMG(picture, f.pics.string(), "pic.img", f.pal.string(),
                                [&](LoadStep step, const std::string& line) {
                                    steps.push_back(step);
                                    log.push_back(line);
                                });
    const std::size_t largestAllocation = wright::fuzzing::stopWatchingAllocations();

    FUZZ_CHECK(!log.empty() && log.front() == "Loading File pic.img ...");
    for (const std::string& line : log) FUZZ_CHECK(!line.empty() && line.find('\n') == std::string::npos);
    FUZZ_CHECK(loaded == (log.back() == "IMG File load completed."));
    FUZZ_CHECK(stepsInOrder(steps, log, loaded));
    FUZZ_CHECK(loaded == !(tooLarge || (needsMapPal && noMapPal)));
    if (!loaded) {
        FUZZ_CHECK(samePicture(picture, earlierPicture()));
        if (tooLarge) {
            FUZZ_CHECK(log.back().rfind("The picture is ", 0) == 0);
            FUZZ_CHECK(!contains(log, "Read image data..."));
            FUZZ_CHECK(largestAllocation < kRefusedLoadAllocationBound);
        } else {
            FUZZ_CHECK(log.back().rfind("Cannot ", 0) == 0);
        }
        return 0;
    }

    // The size, as the table row or the header gives it.
    FUZZ_CHECK(picture.IMGFileSize == static_cast<std::int64_t>(file.size()));
    FUZZ_CHECK(picture.IMGWidth == want.width);
    FUZZ_CHECK(picture.IMGHeight == want.height);
    FUZZ_CHECK(picture.IMGDataSize == want.dataSize);
    FUZZ_CHECK(picture.PalInFile == want.palInFile);
    FUZZ_CHECK(log.at(1) == "Image size: " + std::to_string(file.size()) + " bytes");
    FUZZ_CHECK(log.at(2) == "Load Image Characteristics...");

    const bool headered = want.dataStart == kIMGHeaderSize;
    const std::size_t missingHeader = headered && file.size() < kIMGHeaderSize ? kIMGHeaderSize - file.size() : 0;
    FUZZ_CHECK(contains(log, "pic.img ends " + std::to_string(missingHeader) +
                                 " bytes short of its header: the missing header bytes are 0.") == (missingHeader > 0));
    FUZZ_CHECK(contains(log, "Read image data..."));
    const bool dataBelowPixels = std::size_t{want.dataSize} < std::size_t{want.width} * want.height;
    const bool saysDataBelowPixels = std::any_of(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("The header gives ", 0) == 0;
    });
    FUZZ_CHECK(saysDataBelowPixels == dataBelowPixels);

    // The pixel buffer: the file's bytes from the data start, 0 where it ended.
    FUZZ_CHECK(picture.IMGData.size() == want.dataSize);
    for (std::size_t i = 0; i < want.dataSize; ++i) FUZZ_CHECK(picture.IMGData[i] == byteAt(file, want.dataStart + i));
    const std::size_t dataEnd = want.dataStart + want.dataSize;
    const std::size_t missingData = dataEnd > file.size() ? dataEnd - std::max(file.size(), want.dataStart) : 0;
    FUZZ_CHECK(contains(log, "pic.img ends " + std::to_string(missingData) +
                                 " bytes short of its pixel data: the missing pixels are index 0.") ==
               (missingData > 0));

    // The palette: the file's 768 bytes after the data, or map.pal's first 768.
    const std::string& paletteBytes = want.palInFile ? file : mapPal;
    const std::size_t paletteStart = want.palInFile ? dataEnd : 0;
    for (std::size_t i = 0; i < kPaletteSize; ++i)
        FUZZ_CHECK(picture.IMGPalette[i] == byteAt(paletteBytes, paletteStart + i));
    if (!want.palInFile) {
        const std::size_t missing = mapPal.size() < kPaletteSize ? kPaletteSize - mapPal.size() : 0;
        FUZZ_CHECK(contains(log, "map.pal ends " + std::to_string(missing) +
                                     " bytes short of its palette: the missing palette entries are 0.") ==
                   (missing > 0));
    }

    // Every one of width x height pixels is there: the data's, then 0.
    const std::size_t w = want.width, h = want.height;
    auto wantIndex = [&](std::size_t c, std::size_t r) -> std::uint8_t {
        const std::size_t i = r * w + c;
        return i < want.dataSize ? byteAt(file, want.dataStart + i) : 0;
    };
    std::vector<std::pair<std::size_t, std::size_t>> samples;
    if (w > 0 && h > 0) {
        const std::size_t pixels = w * h;
        auto addIndex = [&](std::size_t i) {
            if (i < pixels) samples.emplace_back(i % w, i / w);
        };
        for (std::size_t i : {std::size_t{0}, pixels - 1, w - 1, (h - 1) * w, std::size_t{want.dataSize}})
            addIndex(i);
        if (want.dataSize > 0) addIndex(want.dataSize - 1);
        if (file.size() > want.dataStart) addIndex(file.size() - want.dataStart - 1);
        addIndex(file.size() - want.dataStart);
        std::uint32_t state = static_cast<std::uint32_t>(size * 2654435761u) ^ flags;
        for (int k = 0; k < 8; ++k) {
            state = state * 1664525u + 1013904223u;
            addIndex(state % pixels);
        }
    }
    for (const auto& [c, r] : samples) FUZZ_CHECK(picture.index(c, r) == wantIndex(c, r));

    // The doubled drawing, onto a surface of exactly twice the picture.
    if (w == 0 || h == 0 || 4 * w * h > kDrawnSurfacePixels) return 0;
    const std::size_t sw = 2 * w, sh = 2 * h;
    std::vector<std::uint32_t> surface(sw * sh, 0x12345678u);
    DrawIMG2x(picture, PixelSurface{reinterpret_cast<std::uint8_t*>(surface.data()), int(sw), int(sh),
                                    std::ptrdiff_t(sw * sizeof(std::uint32_t))});
    for (const auto& [c, r] : samples) {
        const std::uint32_t colour = expectedPixel(paletteBytes, paletteStart, wantIndex(c, r));
        for (std::size_t dy = 0; dy < 2; ++dy)
            for (std::size_t dx = 0; dx < 2; ++dx) FUZZ_CHECK(surface[(2 * r + dy) * sw + 2 * c + dx] == colour);
    }
    return 0;
}
