#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/maps_archive.h"
#include "fileio/little_endian.h"
#include "tests/arcwright/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace wright::arcwright {
namespace {

using wright::arcwright::testing::fileBytes;
using fixtures::RegionContent;
using wright::testing::TempDir;

std::vector<RegionContent> sampleRegions() {
    std::vector<RegionContent> regions(3);
    regions[0] = fixtures::regionOf({"Sentinel", "Oakford"}, {1});
    regions[1] = fixtures::regionOf({"Wayrest"});
    regions[1].unreadSize = 0;  // shares its offset with the next record
    regions[2] = fixtures::regionOf({});
    regions[2].recordNames[0] = "SHORT";
    return regions;
}

TEST(MapsArchive, OffsetsFollowTheSizesFromPositionFour) {
    TempDir dir;
    const auto built = fixtures::writeMapsArchive(dir.file("MAPS.BSA"), sampleRegions());
    MapsArchive archive(dir.file("MAPS.BSA"));

    EXPECT_EQ(archive.entry(0, 0).offset, 4);
    EXPECT_EQ(archive.entry(1, 0).offset, archive.entry(0, 3).offset + archive.entry(0, 3).size);
    EXPECT_EQ(archive.entry(1, 2).size, 0);
    EXPECT_EQ(archive.entry(1, 2).offset, archive.entry(1, 3).offset);
    for (int r = 0; r < kRegionCount; ++r) {
        for (int s = 0; s < kSlotsPerRegion; ++s) {
            SCOPED_TRACE("region " + std::to_string(r) + " slot " + std::to_string(s));
            EXPECT_EQ(archive.entry(r, s).offset, built[r][s].offset);
            EXPECT_EQ(archive.entry(r, s).size, built[r][s].size);
            EXPECT_EQ(archive.entry(r, s).name, built[r][s].name);
            if (!built[r][s].bytes.empty()) {
                EXPECT_EQ(archive.readRecord(r, s), built[r][s].bytes);
            }
        }
    }
}

TEST(MapsArchive, DirectoryNamesAndTheSixteenBitField) {
    TempDir dir;
    fixtures::writeMapsArchive(dir.file("MAPS.BSA"), sampleRegions());
    MapsArchive archive(dir.file("MAPS.BSA"));
    EXPECT_EQ(archive.entry(0, 0).name, "MAPPITEM.000");  // 12 characters, no zero after it
    EXPECT_EQ(archive.entry(61, 3).name, "MAPNAMES.061");
    EXPECT_EQ(archive.entry(2, 0).name, "SHORT");
    EXPECT_EQ(archive.entry(5, 3).field, 0x0305);
}

TEST(MapsArchive, AFullArchiveThatEndsAtTheDirectoryOpens) {
    TempDir dir;
    fixtures::writeMapsArchive(dir.file("MAPS.BSA"), sampleRegions(), true);
    MapsArchive archive(dir.file("MAPS.BSA"));
    EXPECT_EQ(archive.entry(61, 3).offset + archive.entry(61, 3).size, kMapsDirectoryOffset);
    EXPECT_EQ(std::filesystem::file_size(dir.file("MAPS.BSA")), static_cast<std::uintmax_t>(kMapsMinimumSize));
}

// Sets the size field of directory entry i in the file.
void patchSize(const std::string& path, int i, std::int32_t size) {
    std::string bytes = fileBytes(path);
    wright::storeI32LE(reinterpret_cast<unsigned char*>(bytes.data()) + kMapsDirectoryOffset +
                           i * kDirectoryEntrySize + kDirectoryNameSize + 2,
                       size);
    wright::testing::writeBytes(path, bytes);
}

struct RejectCase {
    const char* name;
    std::function<void(const std::string& path)> damage;
    const char* reason;  // a part of the message
};

class RejectedArchive : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectedArchive, IsNotOpened) {
    TempDir dir;
    const std::string path = dir.file("MAPS.BSA");
    fixtures::writeMapsArchive(path, sampleRegions());
    GetParam().damage(path);
    try {
        MapsArchive archive(path);
        FAIL() << "opened";
    } catch (const ArchiveRejected& why) {
        EXPECT_NE(std::string(why.what()).find(GetParam().reason), std::string::npos) << why.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedArchive,
    ::testing::Values(
        RejectCase{"EndsInTheDirectory", [](const std::string& p) { std::filesystem::resize_file(p, kMapsMinimumSize - 1); },
                   "the file holds 22129311 bytes"},
        RejectCase{"SmallFile", [](const std::string& p) { wright::testing::writeBytes(p, "MAPS"); }, "holds 4 bytes"},
        RejectCase{"NegativeSize", [](const std::string& p) { patchSize(p, 6, -1); }, "has the size -1"},
        RejectCase{"RecordPastTheDirectory", [](const std::string& p) { patchSize(p, 247, kMapsDirectoryOffset); },
                   "past the directory"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MapsArchive, ARecordOneBytePastTheDirectoryIsRefused) {
    TempDir dir;
    const auto built = fixtures::writeMapsArchive(dir.file("MAPS.BSA"), sampleRegions(), true);
    patchSize(dir.file("MAPS.BSA"), kDirectoryEntryCount - 1, static_cast<std::int32_t>(built[61][3].size + 1));
    EXPECT_THROW(MapsArchive(dir.file("MAPS.BSA")), ArchiveRejected);
}

TEST(MapsArchive, AFileThatCannotBeOpenedForWritingThrowsFileError) {
    TempDir dir;
    EXPECT_THROW(MapsArchive(dir.file("missing.BSA")), wright::FileError);
    std::filesystem::create_directory(dir.file("folder.BSA"));
    EXPECT_THROW(MapsArchive(dir.file("folder.BSA")), wright::FileError);
}

}  // namespace
}  // namespace wright::arcwright
