// Batch export and import against merely reading the same files: a
// full-size map archive (62 regions, every name) and 500 quests of 60
// records. An import benchmark alternates between two catalogues that
// translate each string back and forth, so every round writes every name.

#include "wright/cli.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/region_records.h"
#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/quest_file.h"
#include "questwright/record_text.h"
#include "po/po_file.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace wright::cli {
namespace {

struct Folder {
    QTemporaryDir dir;
    std::string file(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
};

void wright(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    if (run(args, {out, err}) != 0) throw std::runtime_error("wright failed: " + err.str());
}

// Swaps the case of ASCII letters outside tags: the same length, another
// text, the same control bytes.
std::string swapCase(const std::string& s) {
    std::string out = s;
    bool inTag = false;
    for (char& c : out) {
        if (c == '<') inTag = true;
        if (c == '>') inTag = false;
        if (inTag) continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

// Two catalogues: one translating every source into another text of the
// same length, one translating that text back. Sources longer than `longest`
// characters stay untranslated in both.
void writeBackAndForth(const std::string& pot, const std::string& there, const std::string& back,
                       std::size_t longest) {
    std::vector<po::Entry> entries = po::readCatalogue(pot);
    std::vector<po::Entry> reverse = entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (characterCount(entries[i].source) > longest) continue;
        entries[i].translation = swapCase(entries[i].source);
        reverse[i].source = entries[i].translation;
        reverse[i].translation = entries[i].source;
    }
    po::writeCatalogue(there, "there", entries);
    po::writeCatalogue(back, "back", reverse);
}

// The three command benchmarks of a kind of file: export; import of
// catalogues that translate every string (there, then back again, so each
// round writes); import of the untranslated template.
void exportRounds(benchmark::State& state, const char* command, const std::string& target, const Folder& folder) {
    for (auto _ : state) wright({command, "export", target, "-o", folder.file("out.pot")});
}

void importRounds(benchmark::State& state, const char* command, const std::string& target, const Folder& folder) {
    bool there = true;
    for (auto _ : state) {
        wright({command, "import", target, folder.file(there ? "there.po" : "back.po")});
        there = !there;
    }
    if (!there) wright({command, "import", target, folder.file("back.po")});
}

void untranslatedRounds(benchmark::State& state, const char* command, const std::string& target,
                        const std::string& pot) {
    for (auto _ : state) wright({command, "import", target, pot});
}

struct Maps : Folder {
    Maps() {
        wright::arcwright::fixtures::writeMapsArchive(archive(), wright::arcwright::fixtures::demoRegions(), true);
        wright({"maps", "export", archive(), "-o", file("maps.pot")});
        writeBackAndForth(file("maps.pot"), file("there.po"), file("back.po"), 31);
    }
    std::string archive() const { return file("MAPS.BSA"); }
};

// The benchmarks show no message: names stay as stored.
const wright::arcwright::NameView kNamesAsStored = [](std::string_view name) { return std::string(name); };

const Maps& maps() {
    static const Maps m;
    return m;
}

// What any tool does to show the names: the directory and the three name
// records of every region.
void ReadMapsArchive(benchmark::State& state) {
    std::size_t names = 0;
    for (auto _ : state) {
        wright::arcwright::MapsArchive archive(maps().archive(), wright::arcwright::Access::ReadOnly);
        names = 0;
        for (int region = 0; region < wright::arcwright::kRegionCount; ++region) {
            const auto n = wright::arcwright::loadMapNames(archive, region, wright::FrenchLetters::Replace);
            const auto l = wright::arcwright::loadLocationNames(archive, region, n.count, wright::FrenchLetters::Replace);
            const auto d = wright::arcwright::loadDungeonNames(archive, region, wright::FrenchLetters::Replace);
            benchmark::DoNotOptimize(wright::arcwright::placeDungeons(l.names, d, kNamesAsStored));
            names += n.names.size();
        }
    }
    state.counters["names"] = static_cast<double>(names);
}
BENCHMARK(ReadMapsArchive)->Unit(benchmark::kMillisecond);

void ExportMaps(benchmark::State& state) {
    exportRounds(state, "maps", maps().archive(), maps());
}
BENCHMARK(ExportMaps)->Unit(benchmark::kMillisecond);

// Every name of the archive written into its three places, and synced.
void ImportMaps(benchmark::State& state) {
    importRounds(state, "maps", maps().archive(), maps());
}
BENCHMARK(ImportMaps)->Unit(benchmark::kMillisecond);

void ImportMapsUntranslated(benchmark::State& state) {
    untranslatedRounds(state, "maps", maps().archive(), maps().file("maps.pot"));
}
BENCHMARK(ImportMapsUntranslated)->Unit(benchmark::kMillisecond);

struct Quests : Folder {
    Quests() {
        std::filesystem::create_directories(folder());
        questwright::fixtures::writeQuestFolder(folder(), 500, 60);
        wright({"quests", "export", folder(), "-o", file("quests.pot")});
        writeBackAndForth(file("quests.pot"), file("there.po"), file("back.po"), questwright::kMaxRecordSize);
    }
    std::string folder() const { return file("quests"); }
};

const Quests& quests() {
    static const Quests q;
    return q;
}

// What any tool does to show the quests: every file read and validated, and
// every record rendered in the notation.
void ReadQuests(benchmark::State& state) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(quests().folder())) paths.push_back(entry.path());
    std::size_t records = 0;
    for (auto _ : state) {
        records = 0;
        for (const std::string& path : paths) {
            for (const questwright::QRCRecord& record : questwright::ReadQuestFile(path)) {
                benchmark::DoNotOptimize(questwright::RenderRecordText(record.data, wright::FrenchLetters::Replace));
                ++records;
            }
        }
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(ReadQuests)->Unit(benchmark::kMillisecond);

void ExportQuests(benchmark::State& state) {
    exportRounds(state, "quests", quests().folder(), quests());
}
BENCHMARK(ExportQuests)->Unit(benchmark::kMillisecond);

// Every record of every quest changed: 500 files rewritten whole.
void ImportQuests(benchmark::State& state) {
    importRounds(state, "quests", quests().folder(), quests());
}
BENCHMARK(ImportQuests)->Unit(benchmark::kMillisecond);

void ImportQuestsUntranslated(benchmark::State& state) {
    untranslatedRounds(state, "quests", quests().folder(), quests().file("quests.pot"));
}
BENCHMARK(ImportQuestsUntranslated)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wright::cli

BENCHMARK_MAIN();
