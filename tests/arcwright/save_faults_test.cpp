// Faults on the way to the disk, for every save of Arcwright's core: the
// in-place saves of the names (MAPNAMES, MAPPITEM, MAPDITEM, the monster
// names) and the exports that replace whole files. Whatever fails, the
// archive keeps its bytes and an export's target keeps its old ones.

#include "arcwright/fixtures/archive_fixtures.h"
#include "arcwright/monster_names.h"
#include "arcwright/region_export.h"
#include "arcwright/region_records.h"
#include "fileio/file_writer.h"
#include "fileio/write_faults.h"
#include "tests/arcwright/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <sys/mount.h>

namespace wright::arcwright {
namespace {

using wright::arcwright::testing::fileBytes;
using wright::testing::TempDir;
using wright::testing::writeBytes;
namespace fs = std::filesystem;

constexpr auto kOff = FrenchLetters::Keep;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One in-place save over a freshly built archive whose every name it changes.
struct InPlaceCase {
    const char* name;
    std::function<std::string(const std::string& folder)> build;  // writes the archive, returns its path
    std::function<void(const std::string& path)> save;            // opens, saves; throws SaveError
    std::function<int(const std::string& path)> writes;           // the writes of one save
};

std::string buildMaps(const std::string& folder) {
    fixtures::writeMapsArchive(folder + "/MAPS.BSA",
                               {fixtures::regionOf({"Before"}), fixtures::regionOf({"Sentinel", "Oakford", "Wayrest"}, {0, 2})});
    return folder + "/MAPS.BSA";
}

std::string buildMonster(const std::string& folder) {
    fixtures::writeMonsterArchive(folder + "/MONSTER.BSA", fixtures::demoMonsterNames(), kMonsterMinimumSize + 100);
    return folder + "/MONSTER.BSA";
}

const std::vector<std::string> kEdited{"Ayde", "Bex", "Cald"};

void saveOrThrow(MapsArchive& archive, const SavePlan& plan) {
    if (plan.refusal) throw SaveError("refused: " + *plan.refusal);
    writePatches(archive.file(), plan.patches);
}

// Each case's save opens the archive itself, so a fault between opening and
// saving can come in through `beforeSave`.
std::function<void()> beforeSave;
std::function<void(ArchiveFile&)> armFile;

template <typename Archive>
Archive& opened(std::unique_ptr<Archive>& holder, const std::string& path) {
    holder = std::make_unique<Archive>(path);
    if (armFile) armFile(holder->file());
    if (beforeSave) beforeSave();
    return *holder;
}

const InPlaceCase kInPlace[] = {
    {"MapNames", buildMaps,
     [](const std::string& path) {
         std::unique_ptr<MapsArchive> a;
         auto& archive = opened(a, path);
         saveOrThrow(archive, planMapNamesSave(archive, 1, 3, kEdited, kOff));
     },
     [](const std::string&) { return 4; }},
    {"LocationRecords", buildMaps,
     [](const std::string& path) {
         std::unique_ptr<MapsArchive> a;
         auto& archive = opened(a, path);
         saveOrThrow(archive, planLocationSave(archive, 1, 3, kEdited, kOff));
     },
     [](const std::string&) { return 3; }},
    {"DungeonRecords", buildMaps,
     [](const std::string& path) {
         std::unique_ptr<MapsArchive> a;
         auto& archive = opened(a, path);
         saveOrThrow(archive, planDungeonSave(archive, 1, {"Ayde", "", "Cald"}, kOff));
     },
     [](const std::string&) { return 2; }},
    {"MonsterNames", buildMonster,
     [](const std::string& path) {
         std::unique_ptr<MonsterArchive> a;
         opened(a, path).saveNames(std::vector<std::string>(kMonsterCount, "Renamed"), kOff);
     },
     [](const std::string&) { return kMonsterCount; }},
};

class InPlaceFaults : public ::testing::TestWithParam<InPlaceCase> {
protected:
    void TearDown() override {
        beforeSave = {};
        armFile = {};
    }
    // Runs the save and returns its error.
    std::string failedSave(const std::string& path) {
        try {
            GetParam().save(path);
        } catch (const SaveError& error) {
            return error.what();
        }
        ADD_FAILURE() << "the save went through";
        return {};
    }
    TempDir dir;
};

TEST_P(InPlaceFaults, TheSaveChangesTheArchive) {
    // Without a fault every case writes, so an unchanged archive below means the fault stopped it.
    const std::string path = GetParam().build(dir.path());
    const std::string before = fileBytes(path);
    int writes = 0;
    armFile = [&](ArchiveFile& file) { file.setWriteHook([&](std::int64_t, std::size_t) { ++writes; }); };
    GetParam().save(path);
    EXPECT_FALSE(fileBytes(path) == before) << "the save changed nothing";
    EXPECT_EQ(writes, GetParam().writes(path));
}

TEST_P(InPlaceFaults, TheNthWriteFailingLeavesTheArchiveAsItWas) {
    for (int n = 1; n <= GetParam().writes(""); ++n) {
        SCOPED_TRACE("write " + std::to_string(n));
        const std::string path = GetParam().build(dir.path());
        const std::string before = fileBytes(path);
        int writes = 0;
        armFile = [&](ArchiveFile& file) {
            file.setWriteHook([&, path](std::int64_t, std::size_t) {
                if (++writes == n) throw wright::FileError(path, "write", wright::systemReason(ENOSPC));
            });
        };
        const std::string error = failedSave(path);
        EXPECT_TRUE(contains(error, "No space left on device; the previous bytes were put back")) << error;
        EXPECT_TRUE(fileBytes(path) == before) << "the archive changed";
    }
}

TEST_P(InPlaceFaults, AnArchiveRemovedAfterOpeningIsNotWritten) {
    const std::string path = GetParam().build(dir.path());
    beforeSave = [&] { fs::rename(path, dir.file("moved.bsa")); };
    const std::string before = fileBytes(path);
    const std::string error = failedSave(path);
    EXPECT_TRUE(contains(error, "nothing was written") && contains(error, "removed since it was opened")) << error;
    EXPECT_TRUE(fileBytes(dir.file("moved.bsa")) == before) << "the archive changed";
}

TEST_P(InPlaceFaults, AnArchiveReplacedAfterOpeningIsNotWritten) {
    const std::string path = GetParam().build(dir.path());
    const std::string before = fileBytes(path);
    beforeSave = [&] {
        writeBytes(dir.file("other.bsa"), before);
        fs::rename(dir.file("other.bsa"), path);
    };
    const std::string error = failedSave(path);
    EXPECT_TRUE(contains(error, "replaced since it was opened")) << error;
    EXPECT_TRUE(fileBytes(path) == before) << "the archive changed";
}

TEST_P(InPlaceFaults, AnArchiveCutShortAfterOpeningIsNotWritten) {
    const std::string path = GetParam().build(dir.path());
    const std::string kept = fileBytes(path).substr(0, 64);
    beforeSave = [&] { fs::resize_file(path, 64); };
    const std::string error = failedSave(path);
    EXPECT_TRUE(contains(error, "unexpected end of file")) << error;
    EXPECT_TRUE(fileBytes(path) == kept);
}

INSTANTIATE_TEST_SUITE_P(Saves, InPlaceFaults, ::testing::ValuesIn(kInPlace),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- exports: whole files replaced through a temporary file ----

struct ExportCase {
    const char* name;
    // Writes into `folder`; returns the log lines (a thrown FileError as one line).
    std::function<std::vector<std::string>(MapsArchive&, const std::string& folder)> run;
    std::vector<std::string> targets;  // files the export replaces
    const char* success;               // the part of a line that says a target is complete
};

const ExportCase kExports[] = {
    {"ExportRegion",
     [](MapsArchive& archive, const std::string& folder) {
         std::vector<std::string> lines;
         exportRegionRecords(
             archive, 1, folder, [&](const std::string& line) { lines.push_back(line); },
             [](std::string_view name) { return std::string(name); });
         return lines;
     },
     {"MAPPITEM.001", "MAPDITEM.001", "MAPTABLE.001", "MAPNAMES.001"},
     " completed."},
    {"ExportInMap",
     [](MapsArchive&, const std::string& folder) {
         try {
             wright::writeWholeFile(folder + "/" + regionMapFileName(1), "Sentinel\r\nOakford\r\n");
             return std::vector<std::string>{"exported"};
         } catch (const wright::FileError& error) {
             return std::vector<std::string>{std::string("failed: ") + error.what()};
         }
     },
     {"Region1.map"},
     "exported"},
};

class ExportFaults : public ::testing::TestWithParam<ExportCase> {
protected:
    void SetUp() override {
        buildMaps(dir.path());
        archive = std::make_unique<MapsArchive>(dir.file("MAPS.BSA"));
        fs::create_directory(out());
    }
    void TearDown() override {
        wright::WriteFaults::disarm();
        fs::permissions(out(), fs::perms::owner_all);
    }
    std::string out() const { return dir.file("out"); }
    void writeOldTargets() {
        for (const std::string& t : GetParam().targets) writeBytes(out() + "/" + t, "old bytes of " + t);
    }
    // Every target holds its old bytes, or the export's line says it is complete.
    void expectTargetsKeptOrCompleted(const std::vector<std::string>& lines) {
        for (const std::string& t : GetParam().targets) {
            const bool completed = std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
                return (GetParam().targets.size() == 1 || contains(l, t)) && contains(l, GetParam().success);
            });
            if (!completed) {
                EXPECT_EQ(fileBytes(out() + "/" + t), "old bytes of " + t) << t;
            }
        }
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(out())) names.push_back(e.path().filename().string());
        EXPECT_EQ(names.size(), GetParam().targets.size()) << "a temporary file stayed behind";
    }
    static bool anyFailure(const std::vector<std::string>& lines) {
        return std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return contains(l, "failed: "); });
    }
    TempDir dir;
    std::unique_ptr<MapsArchive> archive;
};

TEST_P(ExportFaults, TheNthWriteFailingKeepsTheTargetsOldBytes) {
    wright::WriteFaults::disarm();
    writeOldTargets();
    GetParam().run(*archive, out());
    const int calls = wright::WriteFaults::calls();
    ASSERT_GT(calls, 0);
    for (bool stays : {false, true}) {
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE((stays ? "from write " : "write ") + std::to_string(n));
            writeOldTargets();
            if (stays) wright::WriteFaults::failFrom(n, ENOSPC);
            else wright::WriteFaults::failAt(n, ENOSPC);
            const std::vector<std::string> lines = GetParam().run(*archive, out());
            wright::WriteFaults::disarm();
            EXPECT_TRUE(anyFailure(lines));
            expectTargetsKeptOrCompleted(lines);
        }
    }
}

TEST_P(ExportFaults, AFolderThatRefusesTheTemporaryFileKeepsTheTargets) {
    writeOldTargets();
    fs::permissions(out(), fs::perms::owner_read | fs::perms::owner_exec);
    const std::vector<std::string> lines = GetParam().run(*archive, out());
    EXPECT_TRUE(anyFailure(lines));
    EXPECT_FALSE(std::any_of(lines.begin(), lines.end(),
                             [&](const std::string& l) { return contains(l, GetParam().success); }));
    expectTargetsKeptOrCompleted(lines);
}

TEST_P(ExportFaults, AFullDiskKeepsTheTargets) {
    if (::mount("tmpfs", out().c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{out()};
    writeOldTargets();
    // Fill what is left, then free less than any record needs.
    {
        std::FILE* filler = std::fopen((out() + "/filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'F');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }
    const std::vector<std::string> lines = GetParam().run(*archive, out());
    fs::remove(out() + "/filler");
    EXPECT_TRUE(anyFailure(lines));
    expectTargetsKeptOrCompleted(lines);
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportFaults, ::testing::ValuesIn(kExports),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wright::arcwright
