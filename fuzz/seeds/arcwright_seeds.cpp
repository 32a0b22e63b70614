#include "fuzz/seeds/arcwright_seeds.h"

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "fileio/little_endian.h"

#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace wright::arcwright;

namespace {

void seed(const fs::path& corpus, const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(corpus / target);
    std::ofstream out(corpus / target / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string i32(std::int32_t v) {
    std::string bytes;
    wright::appendI32LE(bytes, v);
    return bytes;
}

// The directory of an archive built from these regions.
std::string directoryOf(const fs::path& scratch, const std::vector<fixtures::RegionContent>& regions,
                        bool fillToDirectory) {
    const fs::path path = scratch / "MAPS.BSA";
    fixtures::writeMapsArchive(path.string(), regions, fillToDirectory);
    std::ifstream in(path, std::ios::binary);
    in.seekg(kMapsDirectoryOffset);
    std::string bytes(kDirectorySize, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    fs::remove(path);
    return bytes;
}

void directorySeeds(const fs::path& corpus, const fs::path& scratch) {
    const std::string target = "fuzz_maps_directory";
    const std::string demo = directoryOf(scratch, fixtures::demoRegions(), true);
    seed(corpus, target, "demo_to_the_directory", std::string(1, '\0') + demo);
    seed(corpus, target, "one_region", std::string(1, '\0') + directoryOf(scratch, {fixtures::regionOf({"Sentinel"})}, false));
    seed(corpus, target, "file_cut_short", std::string(1, '\x01') + demo);
    std::string negative = demo;
    negative.replace(5 * kDirectoryEntrySize + 14, 4, i32(-8));
    seed(corpus, target, "negative_size", std::string(1, '\0') + negative);
    std::string past = demo;
    past.replace(200 * kDirectoryEntrySize + 14, 4, i32(0x7FFFFFF0));
    seed(corpus, target, "past_the_directory", std::string(1, '\0') + past);
}

// region, options, lead, the four sizes, then the four records back to back.
std::string regionInput(int region, bool french, std::int32_t lead, const fixtures::RegionContent& content) {
    const std::string records[kSlotsPerRegion] = {
        content.raw[kLocationSlot].value_or(fixtures::locationRecords(content.locations)),
        content.raw[kDungeonSlot].value_or(fixtures::dungeonRecords(content.dungeons)),
        content.raw[kUnreadSlot].value_or(std::string(static_cast<std::size_t>(content.unreadSize), '\x5A')),
        content.raw[kNamesSlot].value_or(fixtures::mapNamesRecord(content.names)),
    };
    std::string input{static_cast<char>(region), static_cast<char>(french ? 1 : 0)};
    input += i32(lead);
    for (const std::string& record : records) input += i32(static_cast<std::int32_t>(record.size()));
    for (const std::string& record : records) input += record;
    return input;
}

void regionSeeds(const fs::path& corpus) {
    const std::string target = "fuzz_region_records";
    const std::vector<std::string> names{"Sentinel", "Ch^ne", std::string(32, 'N'), "Oakford"};
    seed(corpus, target, "names_locations_dungeons", regionInput(0, false, 0, fixtures::regionOf(names, {1, 3})));
    seed(corpus, target, "french_letters", regionInput(5, true, 100, fixtures::regionOf({"Ch^ne", "#le", "Oakford"}, {0})));
    seed(corpus, target, "no_names", regionInput(17, false, 0, fixtures::regionOf({})));
    fixtures::RegionContent damaged = fixtures::regionOf({"Sentinel", "Oakford"});
    damaged.raw[kDungeonSlot] = i32(1) + i32(0) + i32(0) + i32(1) + std::string(40, '\x81');
    seed(corpus, target, "dungeon_name_outside", regionInput(61, false, 4, damaged));
    fixtures::RegionContent counted = fixtures::regionOf({"Sentinel"});
    counted.raw[kNamesSlot] = i32(3) + std::string(32, 'A');
    seed(corpus, target, "count_past_the_record", regionInput(2, false, 0, counted));
}

// region, options, the edited text after its two-byte length, then the
// region's records as for the unedited saves.
std::string editedRegionInput(int region, bool french, const std::string& edited,
                              const fixtures::RegionContent& content) {
    const std::string unedited = regionInput(region, french, 0, content);
    std::string input = unedited.substr(0, 2);
    input.push_back(static_cast<char>(edited.size() & 0xFF));
    input.push_back(static_cast<char>(edited.size() >> 8));
    return input + edited + unedited.substr(2);
}

void editedRegionSeeds(const fs::path& corpus) {
    const std::string target = "fuzz_edited_region_save";
    const std::vector<std::string> names{"Sentinel", "Ch^ne", std::string(32, 'N'), "Oakford"};
    seed(corpus, target, "renamed_with_dungeons",
         editedRegionInput(0, false, "Daggerfall\nChene\n" + std::string(40, 'L') + "\nWayrest",
                           fixtures::regionOf(names, {1, 3})));
    seed(corpus, target, "french_letters",
         editedRegionInput(5, true, "Ch\xEAne d'or\n\xCEle\nOakford", fixtures::regionOf({"Ch^ne", "#le", "Oakford"}, {0})));
    seed(corpus, target, "dungeon_line_emptied",
         editedRegionInput(3, false, "A2\n\nC2", fixtures::regionOf({"A", "B", "C"}, {1, 2})));
    seed(corpus, target, "fewer_lines", editedRegionInput(9, false, "One\nTwo", fixtures::regionOf({"A", "B", "C"})));
    seed(corpus, target, "more_lines",
         editedRegionInput(9, true, "One\nTwo\nThree\nFour", fixtures::regionOf({"A", "B", "C"}, {2})));
    seed(corpus, target, "zero_and_cr_in_a_line",
         editedRegionInput(61, false, std::string("Sen\0tinel\r\nB", 12), fixtures::regionOf({"Sentinel", "B"}, {0})));
}

// options, the edited text after its two-byte length, then the file.
std::string editedMonsterInput(bool french, const std::string& edited, const std::string& file) {
    std::string input{static_cast<char>(french ? 1 : 0), static_cast<char>(edited.size() & 0xFF),
                      static_cast<char>(edited.size() >> 8)};
    return input + edited + file;
}

void monsterSeeds(const fs::path& corpus, const fs::path& scratch) {
    const std::string target = "fuzz_monster_names";
    const fs::path path = scratch / "MONSTER.BSA";
    fixtures::writeMonsterArchive(path.string(), fixtures::demoMonsterNames(), kMonsterMinimumSize);
    const std::string demo = fileBytes(path);
    fs::remove(path);
    seed(corpus, target, "demo_names", std::string(1, '\0') + demo);
    seed(corpus, target, "demo_names_french", std::string(1, '\x01') + demo);
    seed(corpus, target, "one_byte_short", std::string(1, '\0') + demo.substr(0, demo.size() - 1));

    const std::string edited = "fuzz_edited_monster_save";
    std::string renamed;
    for (int i = 0; i < kMonsterCount; ++i) renamed += "Monster " + std::to_string(i) + "\n";
    seed(corpus, edited, "every_name", editedMonsterInput(false, renamed, demo));
    seed(corpus, edited, "french_letters", editedMonsterInput(true, "Li\xE8vre\n\xC9lan\n" + std::string(30, 'X'), demo));
    seed(corpus, edited, "more_lines", editedMonsterInput(false, renamed + "Extra\nAnother", demo));
    seed(corpus, edited, "one_byte_short", editedMonsterInput(false, "Rat", demo.substr(0, demo.size() - 1)));
}

}  // namespace

void writeArcwrightSeeds(const fs::path& corpus) {
    const fs::path scratch = fs::temp_directory_path() / ("arcwright-seeds-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    directorySeeds(corpus, scratch);
    regionSeeds(corpus);
    editedRegionSeeds(corpus);
    monsterSeeds(corpus, scratch);
    fs::remove_all(scratch);
}
