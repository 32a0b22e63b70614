// The rollback journal beside an archive: what an opening does with each kind
// of journal (through the core for writing, the core for reading only, and
// wright), a read-only archive with a journal, a failing step of a save and
// what its message says, the refusals before the first write, and the lines
// of the window.

#include "tests/arcwright/window_fixture.h"
#include "tests/wright/run_wright.h"

#include "arcwright/region_records.h"
#include "arcwright/rollback_journal.h"
#include "fileio/write_faults.h"
#include "po/po_file.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace wright::arcwright {
namespace {

using wright::arcwright::testing::fileBytes;
using wright::testing::runWright;
namespace fs = std::filesystem;

constexpr auto kKeep = FrenchLetters::Keep;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string rollbackLine(const std::string& path) {
    return path + ": an unfinished save was rolled back from " + journalPath(path) + ".";
}

// Every name of region 0's MAPNAMES with an N before it.
std::vector<FieldPatch> mapNamesPatches(const std::string& path) {
    MapsArchive archive(path, Access::ReadOnly);
    const NamesLoad names = loadMapNames(archive, 0, kKeep);
    std::vector<std::string> lines = names.names;
    for (std::string& line : lines) line.insert(0, "N");
    const SavePlan plan = planMapNamesSave(archive, 0, names.count, lines, kKeep);
    if (plan.refusal) throw std::runtime_error(*plan.refusal);
    return plan.patches;
}

// What a crash leaves: the journal of a save of `patches`, the first
// `written` of them written and, with `tear`, half of the next one.
void leaveJournal(const std::string& path, const std::vector<FieldPatch>& patches, std::size_t written,
                  bool tear = false) {
    ArchiveFile file(path);
    std::vector<JournalField> fields;
    for (const FieldPatch& p : patches)
        fields.push_back({p.position, file.readAt(p.position, p.bytes.size()), p.bytes});
    writeJournal(file, fields);
    for (std::size_t i = 0; i < written; ++i) file.writeAt(patches[i].position, patches[i].bytes);
    if (tear) {
        const FieldPatch& torn = patches[written];
        file.writeAt(torn.position, torn.bytes.substr(0, torn.bytes.size() / 2));
    }
}

void overwriteAt(const std::string& path, std::int64_t position, const std::string& bytes) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(position);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class JournalFixture {
protected:
    JournalFixture() {
        path = dir.file("MAPS.BSA");
        fixtures::writeMapsArchive(path, {testing::sampleRegion()});
        old = fileBytes(path);
        patches = mapNamesPatches(path);
    }
    std::string journal() const { return journalPath(path); }

    wright::testing::TempDir dir;
    std::string path, old;
    std::vector<FieldPatch> patches;
};

// ---- what an opening does with the journal it finds ----

struct Opened {
    bool opened = false;
    std::string said;  // the recovery line, or why the opening was refused
};

struct Opener {
    const char* name;
    Opened (*open)(const std::string& path);
};

template <Access access>
Opened openThroughCore(const std::string& path) {
    try {
        MapsArchive archive(path, access);
        return {true, archive.file().recoveryNote().value_or("")};
    } catch (const std::exception& error) {
        return {false, error.what()};
    }
}

Opened openThroughWright(const std::string& path) {
    const auto run = runWright({"maps", "export", path, "-o", path + ".pot"});
    std::string said = run.err;
    if (!said.empty() && said.back() == '\n') said.pop_back();
    return {run.status == 0, said};
}

void PrintTo(const Opener& o, std::ostream* out) {
    *out << o.name;
}

const Opener kOpeners[] = {
    {"CoreForWriting", openThroughCore<Access::ReadWrite>},
    {"CoreForReading", openThroughCore<Access::ReadOnly>},
    {"Wright", openThroughWright},
};

enum class Then { RolledBack, JournalRemoved, Refused };

struct JournalCase {
    const char* name;
    void (*leave)(const std::string& path, const std::vector<FieldPatch>& patches);
    Then then;
    const char* reason;  // part of the refusal
};

void PrintTo(const JournalCase& c, std::ostream* out) {
    *out << c.name;
}

void resizeJournal(const std::string& path, std::int64_t by) {
    const auto size = static_cast<std::int64_t>(fs::file_size(journalPath(path)));
    fs::resize_file(journalPath(path), static_cast<std::uintmax_t>(size + by));
}

const JournalCase kJournals[] = {
    {"BeforeTheFirstWrite", [](const std::string& p, const auto& patches) { leaveJournal(p, patches, 0); },
     Then::RolledBack, ""},
    {"HalfWayWithATornField", [](const std::string& p, const auto& patches) { leaveJournal(p, patches, 3, true); },
     Then::RolledBack, ""},
    {"AfterEveryWriteBeforeItsRemoval",
     [](const std::string& p, const auto& patches) { leaveJournal(p, patches, patches.size()); }, Then::RolledBack, ""},
    {"EmptyAsJustCreated",
     [](const std::string& p, const auto&) { wright::testing::writeBytes(journalPath(p), ""); }, Then::JournalRemoved,
     ""},
    {"CutShort",
     [](const std::string& p, const auto& patches) {
         leaveJournal(p, patches, 0);
         resizeJournal(p, -1);
     },
     Then::JournalRemoved, ""},
    {"OneByteChanged",
     [](const std::string& p, const auto& patches) {
         leaveJournal(p, patches, 0);
         overwriteAt(journalPath(p), 40, "\x7F");
     },
     Then::JournalRemoved, ""},
    {"OfAFileOfAnotherSize",
     [](const std::string& p, const auto& patches) {
         leaveJournal(p, patches, 2);
         fs::resize_file(p, fs::file_size(p) + 1);
     },
     Then::Refused, "it was written for a file of 22129312 bytes; this one holds 22129313"},
    {"OfAFileWithOtherFirstBytes",
     [](const std::string& p, const auto& patches) {
         leaveJournal(p, patches, 2);
         overwriteAt(p, 1, "Z");
     },
     Then::Refused, "the file's first and last bytes are not those it was written for"},
    {"OfAFileWithOtherNames",
     [](const std::string& p, const auto& patches) {
         leaveJournal(p, patches, 2);
         overwriteAt(p, patches[3].position, "Q");
     },
     Then::Refused, "is neither the one it held before the save nor the one the save wrote"},
    {"FarTooLargeToBeOurs",
     [](const std::string& p, const auto&) {
         wright::testing::writeBytes(journalPath(p), "");
         fs::resize_file(journalPath(p), kJournalSizeLimit + 1);
     },
     Then::Refused, "more than any journal of a save: it was not left by this program"},
};

class JournalOnOpening : public JournalFixture,
                         public ::testing::TestWithParam<std::tuple<JournalCase, Opener>> {};

TEST_P(JournalOnOpening, PutsBackRemovesOrRefuses) {
    const auto& [c, opener] = GetParam();
    c.leave(path, patches);
    const std::string left = fileBytes(path);
    const std::string journalBytes = fileBytes(journal());

    const Opened first = opener.open(path);
    switch (c.then) {
        case Then::RolledBack:
            EXPECT_TRUE(first.opened) << first.said;
            EXPECT_EQ(first.said, rollbackLine(path));
            EXPECT_TRUE(fileBytes(path) == old) << "the old bytes are not back";
            EXPECT_FALSE(fs::exists(journal()));
            break;
        case Then::JournalRemoved:
            EXPECT_TRUE(first.opened) << first.said;
            EXPECT_EQ(first.said, "");
            EXPECT_TRUE(fileBytes(path) == left) << "a torn journal put bytes back";
            EXPECT_FALSE(fs::exists(journal()));
            break;
        case Then::Refused:
            EXPECT_FALSE(first.opened);
            EXPECT_TRUE(contains(first.said, path + ": open failed: " + journal())) << first.said;
            EXPECT_TRUE(contains(first.said, c.reason)) << first.said;
            EXPECT_TRUE(fileBytes(path) == left) << "a refused opening changed the archive";
            EXPECT_TRUE(fileBytes(journal()) == journalBytes) << "the journal of another file was touched";
            break;
    }
    // Nothing is left for the next opening to do, or it refuses again.
    const Opened second = opener.open(path);
    EXPECT_EQ(second.opened, c.then != Then::Refused);
    if (second.opened) {
        EXPECT_EQ(second.said, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Journals, JournalOnOpening,
                         ::testing::Combine(::testing::ValuesIn(kJournals), ::testing::ValuesIn(kOpeners)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

class ReadOnlyWithAJournal : public JournalFixture, public ::testing::TestWithParam<Opener> {
protected:
    ~ReadOnlyWithAJournal() override { fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write); }
};

TEST_P(ReadOnlyWithAJournal, IsRefusedUntilOpenedWritableOnce) {
    leaveJournal(path, patches, 3);
    const std::string left = fileBytes(path);
    fs::permissions(path, fs::perms::owner_read);
    const Opened refused = GetParam().open(path);
    EXPECT_FALSE(refused.opened);
    EXPECT_TRUE(contains(refused.said, path + ": open failed: the file is read-only; " + journal() +
                                           " keeps the bytes of an unfinished save, which only a writable opening "
                                           "can put back: make the file writable and open it once"))
        << refused.said;
    EXPECT_TRUE(fileBytes(path) == left);
    EXPECT_TRUE(fs::exists(journal()));

    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    const Opened opened = GetParam().open(path);
    EXPECT_TRUE(opened.opened) << opened.said;
    EXPECT_EQ(opened.said, rollbackLine(path));
    EXPECT_TRUE(fileBytes(path) == old);
}

INSTANTIATE_TEST_SUITE_P(Openers, ReadOnlyWithAJournal, ::testing::ValuesIn(kOpeners),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- a step of the save failing ----

// The write-side calls of a save of k fields: the journal's write and sync,
// the folder's sync, the k fields, the archive's sync, the journal's removal
// and the folder's sync.
struct StepFault {
    const char* name;
    int (*step)(int calls);
    bool lasting;
    SaveOutcome outcome;
    std::vector<std::string> says;
    bool newBytesStay;
    bool journalStays;
};

void PrintTo(const StepFault& f, std::ostream* out) {
    *out << f.name;
}

const StepFault kSteps[] = {
    {"JournalWrite", [](int) { return 1; }, false, SaveOutcome::NothingWritten,
     {"nothing was written: ", "-journal: write failed: Input/output error"}, false, false},
    {"JournalSync", [](int) { return 2; }, true, SaveOutcome::NothingWritten,
     {"nothing was written: ", "-journal: sync failed: Input/output error"}, false, false},
    {"FolderSyncAfterTheJournal", [](int) { return 3; }, false, SaveOutcome::NothingWritten,
     {"nothing was written: ", ": sync failed: Input/output error"}, false, false},
    {"FieldWrite", [](int calls) { return calls - 4; }, false, SaveOutcome::PutBack,
     {"MAPS.BSA: write failed: Input/output error; the previous bytes were put back"}, false, false},
    {"FieldWriteAndEverythingAfter", [](int calls) { return calls - 4; }, true, SaveOutcome::PutBackAtOpening,
     {"MAPS.BSA: write failed: Input/output error; putting the previous bytes back failed too: ",
      "-journal keeps them, and the next opening of the file puts them back"},
     false, true},
    {"ArchiveSync", [](int calls) { return calls - 2; }, false, SaveOutcome::PutBack,
     {"MAPS.BSA: sync failed: Input/output error: every field was written, but whether the disk holds them is not "
      "known; the previous bytes were put back"},
     false, false},
    {"ArchiveSyncAndEverythingAfter", [](int calls) { return calls - 2; }, true, SaveOutcome::PutBackAtOpening,
     {"MAPS.BSA: sync failed: Input/output error: every field was written, but whether the disk holds them is not "
      "known; putting the previous bytes back failed too: ",
      "-journal keeps them, and the next opening of the file puts them back"},
     false, true},
    {"JournalRemoval", [](int calls) { return calls - 1; }, false, SaveOutcome::PutBack,
     {"-journal: remove failed: Input/output error; the previous bytes were put back"}, false, false},
    {"FolderSyncAfterTheRemoval", [](int calls) { return calls; }, false, SaveOutcome::DurabilityUnknown,
     {": sync failed: Input/output error: every field was written and synced, but the removal of ",
      "-journal may not last"},
     true, false},
};

class FailingStep : public JournalFixture, public ::testing::TestWithParam<StepFault> {
protected:
    ~FailingStep() override { wright::WriteFaults::disarm(); }
};

TEST_P(FailingStep, IsToldAsItHappenedAndTheNextOpeningFinishesIt) {
    const StepFault& f = GetParam();
    std::string saved;
    int calls = 0;
    {
        const std::string copy = dir.file("copy.bsa");
        fs::copy_file(path, copy);
        ArchiveFile file(copy);
        wright::WriteFaults::disarm();
        writePatches(file, patches);
        calls = wright::WriteFaults::calls();
        saved = fileBytes(copy);
    }
    ASSERT_EQ(calls, static_cast<int>(patches.size()) + 6);

    std::optional<SaveError> failure;
    {
        ArchiveFile file(path);
        if (f.lasting) wright::WriteFaults::failFrom(f.step(calls), EIO);
        else wright::WriteFaults::failAt(f.step(calls), EIO);
        try {
            writePatches(file, patches);
        } catch (const SaveError& error) {
            failure = error;
        }
        wright::WriteFaults::disarm();
    }
    ASSERT_TRUE(failure) << "the save went through";
    EXPECT_EQ(failure->outcome(), f.outcome);
    for (const std::string& part : f.says) EXPECT_TRUE(contains(failure->what(), part)) << failure->what();
    EXPECT_EQ(fs::exists(journal()), f.journalStays);
    if (!f.journalStays) {
        EXPECT_TRUE(fileBytes(path) == (f.newBytesStay ? saved : old));
    }

    const Opened next = openThroughCore<Access::ReadWrite>(path);
    EXPECT_TRUE(next.opened) << next.said;
    EXPECT_EQ(next.said, f.journalStays ? rollbackLine(path) : "");
    EXPECT_TRUE(fileBytes(path) == (f.newBytesStay ? saved : old));
    EXPECT_FALSE(fs::exists(journal()));
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStep, ::testing::ValuesIn(kSteps),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- refusals before the first write ----

class SaveRefused : public JournalFixture, public ::testing::Test {
protected:
    ~SaveRefused() override { fs::permissions(dir.path(), fs::perms::owner_all); }
    std::string refusal(ArchiveFile& file) {
        try {
            writePatches(file, patches);
        } catch (const SaveError& error) {
            EXPECT_EQ(error.outcome(), SaveOutcome::NothingWritten);
            return error.what();
        }
        ADD_FAILURE() << "the save went through";
        return {};
    }
};

TEST_F(SaveRefused, WhenAJournalIsAlreadyThere) {
    ArchiveFile file(path);
    wright::testing::writeBytes(journal(), "left by a save whose rollback failed");
    EXPECT_TRUE(contains(refusal(file), "nothing was written: " + journal() +
                                            ": create failed: the journal of an unfinished save is there; close the "
                                            "file and open it again to put back the bytes it keeps"));
    EXPECT_TRUE(fileBytes(path) == old);
    EXPECT_EQ(fileBytes(journal()), "left by a save whose rollback failed");
}

TEST_F(SaveRefused, WhenTheFolderTakesNoJournal) {
    ArchiveFile file(path);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(contains(refusal(file), "nothing was written: " + journal() + ": create failed: Permission denied"));
    EXPECT_TRUE(fileBytes(path) == old);
    EXPECT_FALSE(fs::exists(journal()));
}

TEST_F(SaveRefused, WhileAnotherProgramSavesIntoTheFile) {
    ArchiveFile other(path);
    other.lock();  // another open file description: as another program's save holds it
    ArchiveFile file(path);
    EXPECT_TRUE(contains(refusal(file), "nothing was written: " + path +
                                            ": lock failed: another program is saving into it just now"));
    EXPECT_TRUE(fileBytes(path) == old);
    EXPECT_FALSE(fs::exists(journal()));

    // Its journal is not taken for an unfinished save while it holds the lock.
    leaveJournal(path, patches, 2);
    const std::string midway = fileBytes(path);
    const Opened opening = openThroughCore<Access::ReadOnly>(path);
    EXPECT_FALSE(opening.opened);
    EXPECT_TRUE(contains(opening.said, "another program is saving into it just now")) << opening.said;
    EXPECT_TRUE(fileBytes(path) == midway);
    other.unlock();
    EXPECT_EQ(openThroughCore<Access::ReadOnly>(path).said, rollbackLine(path));
}

// ---- wright: an import after a crash ----

TEST(WrightAfterACrash, TheImportSaysItRolledBackAndReachesTheTranslation) {
    wright::testing::TempDir dir;
    const std::string path = dir.file("MAPS.BSA"), copy = dir.file("copy.bsa");
    fixtures::writeMapsArchive(path, {testing::sampleRegion()});
    fs::copy_file(path, copy);
    ASSERT_EQ(runWright({"maps", "export", path, "-o", dir.file("maps.pot")}).status, 0);
    std::vector<wright::po::Entry> entries = wright::po::readCatalogue(dir.file("maps.pot"));
    for (wright::po::Entry& e : entries)
        if (e.source.size() < kNameFieldSize - 2) e.translation = "N " + e.source;
    wright::po::writeCatalogue(dir.file("maps.po"), "after a crash", entries);
    ASSERT_EQ(runWright({"maps", "import", copy, dir.file("maps.po")}).status, 0);

    leaveJournal(path, mapNamesPatches(path), 4, true);
    const auto run = runWright({"maps", "import", path, dir.file("maps.po")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, rollbackLine(path) + "\n");
    EXPECT_TRUE(fileBytes(path) == fileBytes(copy)) << "the import did not reach the translation";
}

// ---- the window's lines ----

class WindowJournal : public testing::WindowTest {
protected:
    void TearDown() override {
        wright::WriteFaults::disarm();
        WindowTest::TearDown();
    }
    bool logHas(const std::string& line) { return log().contains(QString::fromStdString(line)); }
};

TEST_F(WindowJournal, OpeningMapsPutsBackAnUnfinishedSaveAndSaysSo) {
    writeMaps({testing::sampleRegion()});
    const std::string old = fileBytes(mapsPath());
    leaveJournal(mapsPath(), mapNamesPatches(mapsPath()), 3, true);
    clearLog();
    openMaps();
    QStringList expected{"Loading File MAPS.BSA...", QString::fromStdString(rollbackLine(mapsPath())), "File Loaded."};
    expected << testing::regionLoadLines(QStringLiteral("00 = Alik'r Desert"));
    EXPECT_EQ(log(), expected);
    EXPECT_EQ(lines("LocationList").first(), "Sentinel");
    EXPECT_TRUE(fileBytes(mapsPath()) == old);
}

TEST_F(WindowJournal, OpeningMonsterPutsBackAnUnfinishedSaveAndSaysSo) {
    fixtures::writeMonsterArchive(monsterPath(), fixtures::demoMonsterNames(), kMonsterMinimumSize + 64);
    const std::string old = fileBytes(monsterPath());
    {
        MonsterArchive archive(monsterPath());
        leaveJournal(monsterPath(),
                     archive.savePatches(std::vector<std::string>(kMonsterCount, "Renamed"), kKeep), 20, true);
    }
    clearLog();
    backend.chooseFile(QString::fromStdString(monsterPath()));
    click("BOpenMonsterFile");
    EXPECT_EQ(log(), (QStringList{"Loading File MONSTER.BSA...", QString::fromStdString(rollbackLine(monsterPath())),
                                  "Loading Completed."}));
    EXPECT_TRUE(fileBytes(monsterPath()) == old);
}

TEST_F(WindowJournal, AReadOnlyArchiveWithAJournalIsNotOpened) {
    writeMaps({testing::sampleRegion()});
    leaveJournal(mapsPath(), mapNamesPatches(mapsPath()), 3);
    fs::permissions(mapsPath(), fs::perms::owner_read);
    clearLog();
    openMaps();
    fs::permissions(mapsPath(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(log(), (QStringList{"Loading File MAPS.BSA...",
                                  QString::fromStdString("MAPS.BSA not opened: " + mapsPath() +
                                                         ": open failed: the file is read-only; " +
                                                         journalPath(mapsPath()) +
                                                         " keeps the bytes of an unfinished save, which only a "
                                                         "writable opening can put back: make the file writable and "
                                                         "open it once")}));
    EXPECT_EQ(wright::ui::tag(button("BOpenMAPSFile")), 0);
}

TEST_F(WindowJournal, ASaveWhoseRollbackFailsIsPutBackByTheNextOpening) {
    writeMaps({testing::sampleRegion()});
    const std::string old = fileBytes(mapsPath());
    openMaps();
    wright::ui::setMemoLines(memo("LocationList"), {"a", "b", "c", "d", "e", "f"});
    wright::WriteFaults::failFrom(5, EIO);  // the second field, and every call after it
    clearLog();
    click("BSaveMapnames");
    wright::WriteFaults::disarm();
    const QStringList logged = log();
    ASSERT_EQ(logged.size(), 2);
    EXPECT_TRUE(logged[1].startsWith(QString::fromStdString("MapNames not saved: " + mapsPath() +
                                                            ": write failed: Input/output error; putting the "
                                                            "previous bytes back failed too: ")))
        << logged[1].toStdString();
    EXPECT_TRUE(logged[1].endsWith(QString::fromStdString(
        journalPath(mapsPath()) + " keeps them, and the next opening of the file puts them back.")));

    click("BOpenMAPSFile");
    clearLog();
    openMaps();
    EXPECT_TRUE(logHas(rollbackLine(mapsPath()))) << log().join('\n').toStdString();
    EXPECT_TRUE(fileBytes(mapsPath()) == old);
}

TEST_F(WindowJournal, AFailingLastSyncSaysTheNamesAreWrittenButNotThatTheyLast) {
    writeMaps({testing::sampleRegion()});
    openMaps();
    wright::ui::setMemoLines(memo("LocationList"), {"a", "b", "c", "d", "e", "f"});
    wright::WriteFaults::failAt(7 + 6, EIO);  // seven fields: the count and six names
    clearLog();
    click("BSaveMapnames");
    EXPECT_EQ(log(), (QStringList{"Saving MapNames of 00 = Alik'r Desert...",
                                  QString::fromStdString(
                                      "MapNames written, but whether the save lasts is not known: " + dir.path() +
                                      ": sync failed: Input/output error: every field was written and synced, but "
                                      "the removal of " + journalPath(mapsPath()) +
                                      " may not last; should the system stop before it does, the next opening puts "
                                      "the previous bytes back.")}));
    EXPECT_FALSE(fs::exists(journalPath(mapsPath())));
    MapsArchive archive(mapsPath(), Access::ReadOnly);
    EXPECT_EQ(loadMapNames(archive, 0, kKeep).names, (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
}

}  // namespace
}  // namespace wright::arcwright
