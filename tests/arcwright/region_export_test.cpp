#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/region_export.h"
#include "fileio/file_writer.h"
#include "tests/arcwright/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace wright::arcwright {
namespace {

using fixtures::RegionContent;
using wright::arcwright::testing::fileBytes;
using wright::testing::TempDir;

struct Exported {
    explicit Exported(std::vector<RegionContent> regions) {
        std::filesystem::create_directory(out());
        built = fixtures::writeMapsArchive(dir.file("MAPS.BSA"), regions);
        archive = std::make_unique<MapsArchive>(dir.file("MAPS.BSA"));
    }
    std::vector<std::string> run(int region) {
        std::vector<std::string> lines;
        exportRegionRecords(
            *archive, region, out(), [&](const std::string& line) { lines.push_back(line); },
            [](std::string_view name) { return std::string(name); });
        return lines;
    }
    std::string out() const { return dir.file("out"); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(out())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TempDir dir;
    fixtures::BuiltArchive built;
    std::unique_ptr<MapsArchive> archive;
};

TEST(ExportRegion, WritesTheFourRecordsByteForByte) {
    std::vector<RegionContent> regions(1, fixtures::regionOf({"Sentinel", "Oakford"}, {1}));
    regions[0].unreadSize = 0;
    Exported e(regions);
    wright::testing::writeBytes(e.out() + "/MAPPITEM.000", "an older file, longer than nothing at all");

    EXPECT_EQ(e.run(0), (std::vector<std::string>{
                            "Export Region Data File MAPPITEM.000...",
                            "Export Region Data File MAPPITEM.000 completed. (" + std::to_string(e.built[0][0].size) + " bytes)",
                            "Export Region Data File MAPDITEM.000...",
                            "Export Region Data File MAPDITEM.000 completed. (" + std::to_string(e.built[0][1].size) + " bytes)",
                            "Export Region Data File MAPTABLE.000...",
                            "Export Region Data File MAPTABLE.000 completed. (0 bytes)",
                            "Export Region Data File MAPNAMES.000...",
                            "Export Region Data File MAPNAMES.000 completed. (" + std::to_string(e.built[0][3].size) + " bytes)",
                        }));
    for (int s : {0, 1, 3}) EXPECT_EQ(fileBytes(e.out() + "/" + e.built[0][s].name), e.built[0][s].bytes);
    EXPECT_EQ(fileBytes(e.out() + "/MAPTABLE.000"), "");
    EXPECT_EQ(e.files(), (std::vector<std::string>{"MAPDITEM.000", "MAPNAMES.000", "MAPPITEM.000", "MAPTABLE.000"}));
}

struct NameCase {
    const char* name;
    std::string recordName;
    const char* why;
};

class UnusableName : public ::testing::TestWithParam<NameCase> {};

TEST_P(UnusableName, IsSkippedAndTheNextSlotExported) {
    std::vector<RegionContent> regions(1, fixtures::regionOf({"Sentinel"}));
    regions[0].recordNames[1] = GetParam().recordName;
    Exported e(regions);
    const auto lines = e.run(0);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "Export Region Data File " + GetParam().recordName + " skipped: " + GetParam().why + ".");
    EXPECT_EQ(e.files(), (std::vector<std::string>{"MAPNAMES.000", "MAPPITEM.000", "MAPTABLE.000"}));
    EXPECT_FALSE(std::filesystem::exists(e.dir.file("escaped")));
}

INSTANTIATE_TEST_SUITE_P(Cases, UnusableName,
                         ::testing::Values(NameCase{"Empty", "", "the record has no name"},
                                           NameCase{"Dot", ".", "\".\" names a folder"},
                                           NameCase{"DotDot", "..", "\"..\" names a folder"},
                                           NameCase{"Slash", "../escaped", "the name holds a path separator"},
                                           NameCase{"Backslash", "a\\b", "the name holds a path separator"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExportRegion, AFileThatCannotBeWrittenIsReportedAndTheNextSlotGoesOn) {
    Exported e({fixtures::regionOf({"Sentinel"})});
    std::filesystem::create_directory(e.out() + "/MAPDITEM.000");
    const auto lines = e.run(0);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3].rfind("Export Region Data File MAPDITEM.000 failed: ", 0), 0u) << lines[3];
    EXPECT_EQ(fileBytes(e.out() + "/MAPNAMES.000"), e.built[0][3].bytes);
    // No temporary file stays behind.
    EXPECT_EQ(e.files(), (std::vector<std::string>{"MAPDITEM.000", "MAPNAMES.000", "MAPPITEM.000", "MAPTABLE.000"}));
}

TEST(ExportRegion, AnArchiveShorterThanARecordGivesWhatItHolds) {
    Exported e({fixtures::regionOf({"Sentinel", "Oakford"})});
    const auto& names = e.built[0][3];
    std::filesystem::resize_file(e.dir.file("MAPS.BSA"), names.offset + 10);  // while the archive is open
    const auto lines = e.run(0);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[6], "Export Region Data File MAPNAMES.000...");
    EXPECT_EQ(lines[7], "Export Region Data File MAPNAMES.000: the archive holds only 10 of its " +
                            std::to_string(names.size) + " bytes.");
    EXPECT_EQ(lines[8], "Export Region Data File MAPNAMES.000 completed. (10 bytes)");
    EXPECT_EQ(fileBytes(e.out() + "/MAPNAMES.000"), names.bytes.substr(0, 10));
}

TEST(ReplaceFile, WritesTheBytesOverAnOldFile) {
    TempDir dir;
    wright::testing::writeBytes(dir.file("Region5.map"), "old names, more of them than now\r\n");
    wright::writeWholeFile(dir.file("Region5.map"), "Ch\xEAne\r\n");
    EXPECT_EQ(fileBytes(dir.file("Region5.map")), "Ch\xEAne\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
    EXPECT_EQ(regionMapFileName(5), "Region5.map");
    EXPECT_EQ(regionMapFileName(61), "Region61.map");
}

}  // namespace
}  // namespace wright::arcwright
