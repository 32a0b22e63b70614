#include "fileio/write_faults.h"
#include "questwright/fixtures/quest_fixtures.h"
#include "questwright/quest_file.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace wright::questwright {
namespace {

using fixtures::IndexEntry;
using fixtures::questImage;
using fixtures::rawQuestImage;
using wright::testing::readBytes;
using wright::testing::TempDir;
using wright::testing::writeBytes;

struct Layout {
    std::uint16_t id;
    std::uint32_t offset;
    std::string data;
};

void expectTable(const RecordTable& table, const std::vector<Layout>& expected) {
    ASSERT_EQ(table.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table[i].id, expected[i].id) << "record " << i;
        EXPECT_EQ(table[i].offset, expected[i].offset) << "record " << i;
        EXPECT_EQ(table[i].data, expected[i].data) << "record " << i;
    }
}

TEST(QuestFileRead, HeaderOfThirteenIsTwoRecordsAndIsWrittenBackAsTwelve) {
    const std::string image = rawQuestImage(13, {{7, 14}, {9, 17}}, "abcdefg");
    const RecordTable table = parseQuestFile(image);
    expectTable(table, {{7, 14, "abc"}, {9, 17, "defg"}});
    std::string expected = image;
    expected[0] = 12;
    EXPECT_EQ(questFileImage(table), expected);
}

TEST(QuestFileRead, EqualOffsetsGiveAnEmptyRecordAndTheLastRunsToTheEnd) {
    // Three records; the middle one is empty, the last takes the trailing bytes.
    const std::string image = rawQuestImage(18, {{1, 20}, {2, 22}, {3, 22}}, std::string("ab" "trailing\0\xFF", 12));
    expectTable(parseQuestFile(image), {{1, 20, "ab"}, {2, 22, ""}, {3, 22, std::string("trailing\0\xFF", 10)}});
}

struct RefusalCase {
    const char* name;
    std::string image;
    const char* reason;  // a part of the message
};

class QuestFileRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(QuestFileRefusal, IsRefusedWithItsReason) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("BAD.QRC");
    writeBytes(path, c.image);
    for (int pass = 0; pass < 2; ++pass) {
        try {
            if (pass == 0) {
                parseQuestFile(c.image);
            } else {
                ReadQuestFile(path);
            }
            ADD_FAILURE() << "accepted, pass " << pass;
        } catch (const QuestFileError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuestFileRefusal,
    ::testing::Values(
        RefusalCase{"EmptyFile", "", "ends inside its 2-byte header"},
        RefusalCase{"OneByte", "\x06", "ends inside its 2-byte header"},
        // A header below one entry gives no record, whatever follows it.
        RefusalCase{"HeaderOnly", rawQuestImage(0, {}, ""), "an index of 0 bytes, less than one 6-byte entry"},
        RefusalCase{"HeaderZeroBeforeText", rawQuestImage(0, {}, "important text"),
                    "index of 0 bytes, less than one 6-byte entry: the file holds no record"},
        RefusalCase{"HeaderOne", rawQuestImage(1, {}, "important text"), "an index of 1 bytes"},
        RefusalCase{"HeaderFive", rawQuestImage(5, {}, "important text"), "an index of 5 bytes"},
        RefusalCase{"IndexPastTheEnd", rawQuestImage(12, {{1, 14}}, ""), "beyond the end of the file"},
        RefusalCase{"OffsetInsideTheIndex", rawQuestImage(12, {{1, 13}, {2, 14}}, "ab"), "before the end of the index"},
        RefusalCase{"OffsetsDescending", rawQuestImage(12, {{1, 16}, {2, 15}}, "abcd"), "not ascending"},
        RefusalCase{"OffsetBeyondTheEnd", rawQuestImage(12, {{1, 14}, {2, 19}}, "abcd"), "beyond the end of the file"},
        RefusalCase{"RecordOverTenThousand", rawQuestImage(6, {{1, 8}}, std::string(10001, 'a')),
                    "10001 bytes long, more than 10000"},
        RefusalCase{"MiddleRecordOverTenThousand",
                    rawQuestImage(12, {{1, 14}, {2, 10015}}, std::string(10002, 'a')), "record 0 is 10001 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

// A sparse file: as long as asked, with no disk blocks behind it, so a reader
// that took it whole would show in the test's memory.
void sparseQuest(const std::string& path, std::uint64_t length) {
    writeBytes(path, questImage({{1, "x"}}));
    std::filesystem::resize_file(path, length);
}

TEST(QuestFileRead, AFileLongerThanAnyQuestIsRefusedFromItsLength) {
    TempDir dir;
    const std::string path = dir.file("HUGE.QRC");
    for (const std::uint64_t length : {kMaxQuestFileSize + 1, std::uint64_t{4} << 30}) {
        sparseQuest(path, length);
        try {
            ReadQuestFile(path);
            ADD_FAILURE() << "accepted " << length;
        } catch (const QuestFileError& error) {
            EXPECT_EQ(std::string(error.what()), "the file is " + std::to_string(length) +
                                                     " bytes long, more than a quest file can be (109285534 bytes)");
        }
    }
    // At the bound the length alone does not refuse it; its one record does.
    sparseQuest(path, kMaxQuestFileSize);
    try {
        ReadQuestFile(path);
        ADD_FAILURE() << "accepted";
    } catch (const QuestFileError& error) {
        EXPECT_NE(std::string(error.what()).find("record 0 is 109285526 bytes long"), std::string::npos) << error.what();
    }
}

TEST(QuestFileRead, ARecordOfExactlyTenThousandBytesIsRead) {
    const std::string record(kMaxRecordSize, 'z');
    EXPECT_EQ(parseQuestFile(questImage({{1, record}})).at(0).data, record);
}

TEST(QuestFileRead, AMissingFileAFolderOrAPipeIsRefused) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("PIPE.QRC").c_str(), 0644), 0);  // opened, it would wait for a writer
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("NONE.QRC"), "cannot open the file: No such file or directory"},
        {dir.path(), "it is a folder"},
        {dir.file("PIPE.QRC"), "it is not a regular file"},
    };
    for (const auto& [path, reason] : cases) {
        try {
            ReadQuestFile(path);
            ADD_FAILURE() << "accepted " << path;
        } catch (const QuestFileError& error) {
            EXPECT_EQ(std::string(error.what()), reason);
        }
    }
}

TEST(QuestFileRead, ReportsTheHeaderStepAndTheRecordsStepOnlyWhenTheIndexIsValid) {
    TempDir dir;
    std::vector<ReadStep> steps;
    auto record = [&steps](ReadStep s) { steps.push_back(s); };
    writeBytes(dir.file("A.QRC"), questImage({{1, "x"}}));
    ReadQuestFile(dir.file("A.QRC"), record);
    EXPECT_EQ(steps, (std::vector<ReadStep>{ReadStep::Header, ReadStep::Records}));
    steps.clear();
    writeBytes(dir.file("B.QRC"), rawQuestImage(12, {{1, 16}, {2, 15}}, "abcd"));
    EXPECT_THROW(ReadQuestFile(dir.file("B.QRC"), record), QuestFileError);
    EXPECT_EQ(steps, std::vector<ReadStep>{ReadStep::Header});
}

TEST(QuestFileRead, AReadOnlyFileIsReadAndItsSaveIsRefused) {
    TempDir dir;
    const std::string path = dir.file("RO.QRC");
    const std::string image = questImage({{5, "hello"}, {6, "world"}});
    writeBytes(path, image);
    QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    RecordTable table = ReadQuestFile(path);
    ASSERT_EQ(table.size(), 2u);
    table[0].data = "changed";
    try {
        saveQuestFile(path, table);
        ADD_FAILURE() << "saved over a read-only file";
    } catch (const QuestFileError& error) {
        EXPECT_STREQ(error.what(), "the file is read-only");
    }
    EXPECT_EQ(readBytes(path), image);
}

TEST(QuestFileWrite, ByteIdenticalRoundTripWithDuplicateAndUnorderedIds) {
    TempDir dir;
    const std::string path = dir.file("QUEST.QRC");
    auto records = fixtures::gameQuest(3, 40);
    records[5].id = records[2].id;   // duplicate
    records[6].id = 1;               // out of order
    records[7].bytes.clear();        // empty
    const std::string image = questImage(records);
    writeBytes(path, image);
    RecordTable table = ReadQuestFile(path);
    saveQuestFile(path, table);
    EXPECT_EQ(readBytes(path), image);
}

TEST(QuestFileWrite, ASizeChangeMovesOnlyTheLaterOffsets) {
    TempDir dir;
    const std::string path = dir.file("Q.QRC");
    writeBytes(path, questImage({{1, "aaaa"}, {2, "bbbb"}, {3, "cccc"}, {4, "dddd"}}));
    RecordTable table = ReadQuestFile(path);
    const std::vector<std::uint32_t> before{26, 30, 34, 38};
    for (std::size_t i = 0; i < 4; ++i) ASSERT_EQ(table[i].offset, before[i]);
    table[1].data = "bbbbbbb";  // +3
    table[2].data.clear();     // -4: written with the same offset as the record after it
    saveQuestFile(path, table);
    const std::vector<std::uint32_t> after{26, 30, 37, 37};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(table[i].offset, after[i]) << i;
    expectTable(ReadQuestFile(path), {{1, 26, "aaaa"}, {2, 30, "bbbbbbb"}, {3, 37, ""}, {4, 37, "dddd"}});
}

TEST(QuestFileWrite, AGapBeforeTheFirstRecordIsClosedSoTheFileStaysConsistent) {
    // The records start 5 bytes after the index; written back, they follow it.
    const RecordTable table = parseQuestFile(rawQuestImage(12, {{1, 19}, {2, 21}}, "GAP!!" "abcde"));
    expectTable(table, {{1, 19, "ab"}, {2, 21, "cde"}});
    const std::string written = questFileImage(table);
    EXPECT_EQ(written, questImage({{1, "ab"}, {2, "cde"}}));
    expectTable(parseQuestFile(written), {{1, 14, "ab"}, {2, 16, "cde"}});
}

TEST(QuestFileWrite, EveryWrittenOffsetAgreesWithTheRecordsAfterIt) {
    RecordTable table = parseQuestFile(questImage(fixtures::gameQuest(9, 30)));
    for (std::size_t i = 0; i < table.size(); i += 3) table[i].data += std::string(i, 'x');
    const RecordTable reread = parseQuestFile(questFileImage(table));
    ASSERT_EQ(reread.size(), table.size());
    EXPECT_EQ(reread.front().offset, firstRecordOffset(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(reread[i].data, table[i].data) << i;
}

struct RecordingSink final : ByteSink {
    std::string bytes;
    std::size_t failAt = std::string::npos;
    void write(std::string_view chunk) override {
        if (bytes.size() + chunk.size() > failAt) throw QuestFileError("disk full");
        bytes.append(chunk);
    }
};

TEST(QuestFileWrite, TheIndexIsWrittenBeforeTheRecordsStepIsReported) {
    const RecordTable table = parseQuestFile(questImage({{1, "abc"}, {2, "de"}}));
    RecordingSink sink;
    std::size_t writtenAtStep = 0;
    WriteQuestFile(table, sink, [&](WriteStep step) {
        EXPECT_EQ(step, WriteStep::IndexWritten);
        writtenAtStep = sink.bytes.size();
    });
    EXPECT_EQ(writtenAtStep, 14u);
    EXPECT_EQ(sink.bytes, questImage({{1, "abc"}, {2, "de"}}));
}

TEST(QuestFileWrite, AnOversizedRecordIsRefusedBeforeAnyByteIsWritten) {
    RecordTable table = parseQuestFile(questImage({{1, "abc"}}));
    table[0].data.assign(kMaxRecordSize + 1, 'a');
    RecordingSink sink;
    EXPECT_THROW(WriteQuestFile(table, sink), QuestFileError);
    EXPECT_TRUE(sink.bytes.empty());
}

TEST(QuestFileWrite, SaveKeepsThePermissionsOfTheFile) {
    TempDir dir;
    const std::string path = dir.file("P.QRC");
    writeBytes(path, questImage({{1, "abc"}}));
    namespace fs = std::filesystem;
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, perms);
    RecordTable table = ReadQuestFile(path);
    table[0].data = "abcdef";
    saveQuestFile(path, table);
    EXPECT_EQ(fs::status(path).permissions(), perms);
    EXPECT_EQ(readBytes(path), questImage({{1, "abcdef"}}));
}

using wright::testing::FileSizeLimit;

TEST(QuestFileWrite, AFailedSaveLeavesTheFileAndTheOffsetsAsTheyWere) {
    TempDir dir;
    const std::string path = dir.file("BIG.QRC");
    const std::string image = questImage(fixtures::gameQuest(4, 60));
    writeBytes(path, image);
    RecordTable table = ReadQuestFile(path);
    table[0].data += "grown";
    const std::uint32_t lastOffset = table.back().offset;
    {
        FileSizeLimit limit(1000);
        EXPECT_THROW(saveQuestFile(path, table), QuestFileError);
    }
    EXPECT_EQ(readBytes(path), image);
    EXPECT_EQ(table.back().offset, lastOffset);
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files | QDir::Hidden), QStringList{"BIG.QRC"});
}

class QuestSaveFaults : public ::testing::Test {
protected:
    void TearDown() override { WriteFaults::disarm(); }

    QStringList entries() const {
        return QDir(QString::fromStdString(dir.path())).entryList(QDir::Files | QDir::Hidden);
    }

    TempDir dir;
    const std::string path = dir.file("FAULT.QRC");
    const std::string image = questImage(fixtures::gameQuest(3, 40));
};

TEST_F(QuestSaveFaults, AFailureAtEveryWriteLeavesTheQuestAsItWas) {
    writeBytes(path, image);
    RecordTable table = ReadQuestFile(path);
    table[1].data = "changed";
    // Count the write-side steps of one save, then fail each in turn.
    RecordTable probe = table;
    const std::string probePath = dir.file("PROBE.QRC");
    writeBytes(probePath, image);
    WriteFaults::disarm();
    saveQuestFile(probePath, probe);
    const int steps = WriteFaults::calls();
    ASSERT_GT(steps, 2);
    std::filesystem::remove(probePath);
    for (int n = 1; n <= steps; ++n) {
        WriteFaults::failAt(n, ENOSPC);
        const std::uint32_t lastOffset = table.back().offset;
        EXPECT_THROW(saveQuestFile(path, table), QuestFileError) << "step " << n;
        EXPECT_EQ(readBytes(path), image) << "step " << n;
        EXPECT_EQ(table.back().offset, lastOffset) << "step " << n;
        EXPECT_EQ(entries(), QStringList{"FAULT.QRC"}) << "a temporary file was left at step " << n;
    }
    WriteFaults::disarm();
    saveQuestFile(path, table);
    EXPECT_EQ(ReadQuestFile(path)[1].data, "changed");
}

TEST_F(QuestSaveFaults, AFolderThatRefusesTheTemporaryFileLeavesTheQuest) {
    writeBytes(path, image);
    RecordTable table = ReadQuestFile(path);
    table[0].data = "changed";
    const auto folder = std::filesystem::path(dir.path());
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(saveQuestFile(path, table), QuestFileError);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(readBytes(path), image);
    EXPECT_EQ(entries(), QStringList{"FAULT.QRC"});
}

TEST_F(QuestSaveFaults, AQuestRemovedBeforeTheSaveIsWrittenAgainWhole) {
    writeBytes(path, image);
    RecordTable table = ReadQuestFile(path);
    std::filesystem::remove(path);
    saveQuestFile(path, table);
    EXPECT_EQ(readBytes(path), image);
}

}  // namespace
}  // namespace wright::questwright
