// The core on a full-size MAPS.BSA: opening with the directory and loading
// the largest region's three records, and saving them in place.

#include "bench/arcwright/demo_archive.h"

#include "arcwright/region_records.h"

#include <benchmark/benchmark.h>

namespace wright::arcwright::bench {
namespace {

// The benchmarks show no message: names stay as stored.
const NameView kNamesAsStored = [](std::string_view name) { return std::string(name); };

const DemoArchives& archives() {
    static const DemoArchives demo;
    return demo;
}

void OpenAndLoadLargestRegion(benchmark::State& state) {
    const DemoArchives& demo = archives();
    for (auto _ : state) {
        MapsArchive archive(demo.maps());
        const NamesLoad names = loadMapNames(archive, demo.largest, FrenchLetters::Replace);
        const NamesLoad locations = loadLocationNames(archive, demo.largest, names.count, FrenchLetters::Replace);
        const NamesLoad dungeons = loadDungeonNames(archive, demo.largest, FrenchLetters::Replace);
        benchmark::DoNotOptimize(placeDungeons(locations.names, dungeons, kNamesAsStored));
    }
    state.counters["names"] = static_cast<double>(loadMapNames(*std::make_unique<MapsArchive>(demo.maps()), demo.largest,
                                                                FrenchLetters::Replace)
                                                       .names.size());
}
BENCHMARK(OpenAndLoadLargestRegion)->Unit(benchmark::kMillisecond);

// The largest region loaded, ready to be saved unchanged.
struct LoadedRegion {
    LoadedRegion() : archive(archives().maps()), region(archives().largest) {
        names = loadMapNames(archive, region, FrenchLetters::Replace);
        locations = loadLocationNames(archive, region, names.count, FrenchLetters::Replace);
        dungeons = placeDungeons(locations.names, loadDungeonNames(archive, region, FrenchLetters::Replace), kNamesAsStored).lines;
    }
    MapsArchive archive;
    int region;
    NamesLoad names, locations;
    std::vector<std::string> dungeons;
};

// "Save MAPNAMES": the count and the names, flushed to the disk.
void SaveMapNames(benchmark::State& state) {
    LoadedRegion r;
    for (auto _ : state)
        writePatches(r.archive.file(),
                     planMapNamesSave(r.archive, r.region, r.names.count, r.names.names, FrenchLetters::Replace).patches);
}
BENCHMARK(SaveMapNames)->Unit(benchmark::kMillisecond);

// "Save MAPPITEM and MAPDITEM" is two such saves: the location records,
// then the dungeon records, each flushed before its completion line.
void SaveLocationRecords(benchmark::State& state) {
    LoadedRegion r;
    for (auto _ : state)
        writePatches(r.archive.file(),
                     planLocationSave(r.archive, r.region, r.names.count, r.locations.names, FrenchLetters::Replace)
                         .patches);
}
BENCHMARK(SaveLocationRecords)->Unit(benchmark::kMillisecond);

void SaveDungeonRecords(benchmark::State& state) {
    LoadedRegion r;
    for (auto _ : state)
        writePatches(r.archive.file(), planDungeonSave(r.archive, r.region, r.dungeons, FrenchLetters::Replace).patches);
}
BENCHMARK(SaveDungeonRecords)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wright::arcwright::bench

BENCHMARK_MAIN();
