// Identify, decode and draw at twice the size: one picture of each known
// length, read from a file as the viewer reads it.
//   build/release/bin/pixwright_core_bench

#include "pixwright/img_fixtures.h"
#include "pixwright/img_picture.h"

#include "fileio/binary_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace wright::pixwright;

// A folder of one picture per known length and map.pal, made once.
const std::string& benchFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/pixwright-bench-XXXXXX";
        std::string dir = ::mkdtemp(pattern);
        const auto write = [&](const std::string& name, const std::string& bytes) {
            wright::BinaryFile file(dir + "/" + name, "wb");
            file.write(bytes);
            file.close();
        };
        write(kPaletteFileName, fixtures::paletteBytes(fixtures::rampPalette()));
        for (const KnownIMGSize& row : KnownIMGSizes) {
            std::string bytes = fixtures::patternPixels(row.width, row.height);
            bytes.resize(static_cast<std::size_t>(row.fileLength), '\x11');
            write(std::to_string(row.fileLength) + ".img", bytes);
        }
        return dir;
    }();
    return folder;
}

void IdentifyDecodeDraw(benchmark::State& state) {
    const KnownIMGSize row = *IdentifyIMG(state.range(0));
    const std::string name = std::to_string(row.fileLength) + ".img";
    const std::string& dir = benchFolder();
    IMGPicture picture;
    std::size_t lines = 0;
    for (auto _ : state) {
        if (!LoadIMG(picture, dir, name, dir, [&](LoadStep, const std::string&) { ++lines; }))
            state.SkipWithError("the picture did not load");
        // A fresh surface per picture, as the window gives each picture its own.
        const int w = 2 * picture.IMGWidth, h = 2 * picture.IMGHeight;
        std::vector<std::uint32_t> pixels(std::size_t(w) * h);
        DrawIMG2x(picture, PixelSurface{reinterpret_cast<std::uint8_t*>(pixels.data()), w, h,
                                        std::ptrdiff_t(w * sizeof(std::uint32_t))});
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetLabel(std::to_string(row.width) + "x" + std::to_string(row.height));
    benchmark::DoNotOptimize(lines);
}

// One run per known file length, named by it.
BENCHMARK(IdentifyDecodeDraw)
    ->ArgName("length")
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (const KnownIMGSize& row : KnownIMGSizes) b->Arg(row.fileLength);
    })
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
