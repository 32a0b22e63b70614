#include "fileio/binary_file.h"
#include "fileio/little_endian.h"
#include "fileio/write_faults.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace wright {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

TEST(LittleEndian, LoadsAndStores) {
    const unsigned char bytes[4] = {0x30, 0x99, 0x51, 0x01};
    EXPECT_EQ(loadU16LE(bytes), 0x9930);
    EXPECT_EQ(loadU32LE(bytes), 0x01519930u);
    EXPECT_EQ(loadI32LE(bytes), 22124848);
    const unsigned char minus[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(loadI32LE(minus), -1);
    std::string out;
    appendI32LE(out, -2);
    appendU16LE(out, 0x1234);
    EXPECT_EQ(out, std::string("\xFE\xFF\xFF\xFF\x34\x12", 6));
}

TEST(BinaryFile, SeeksReadsAndWritesInPlace) {
    TempDir dir;
    const std::string path = dir.file("a.bin");
    writeBytes(path, std::string("0123456789"));
    {
        BinaryFile f(path, "rb+");
        EXPECT_EQ(f.size(), 10);
        f.seek(4);
        char got[3];
        f.readExact(got, 3);
        EXPECT_EQ(std::string(got, 3), "456");
        EXPECT_EQ(f.position(), 7);
        f.seek(2);
        f.write(std::string("ab"));
        f.flush();
        f.close();
        EXPECT_FALSE(f.isOpen());
    }
    EXPECT_EQ(readBytes(path), "01ab456789");
}

TEST(BinaryFile, ShortReadsAreCountedAndExactReadsRefused) {
    TempDir dir;
    const std::string path = dir.file("short.bin");
    writeBytes(path, std::string("\x01\x02\x03", 3));
    BinaryFile f(path, "rb");
    char buffer[8];
    EXPECT_EQ(f.readSome(buffer, sizeof buffer), 3u);
    f.seek(1);
    EXPECT_THROW(f.readExact(buffer, 4), FileError);
    f.seek(1);
    f.readExact(buffer, 2);
    EXPECT_EQ(std::string(buffer, 2), std::string("\x02\x03", 2));
}

TEST(BinaryFile, OpenFailureNamesTheFileAndTheReason) {
    TempDir dir;
    const std::string path = dir.file("missing.bin");
    try {
        BinaryFile f(path, "rb+");
        FAIL() << "opened a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.operation(), "open");
        EXPECT_EQ(e.reason(), systemReason(ENOENT));
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

TEST(BinaryFile, ReadOnlyFileRefusesUpdate) {
    TempDir dir;
    const std::string path = dir.file("ro.bin");
    writeBytes(path, "x");
    ::chmod(path.c_str(), 0444);
    if (FILE* probe = std::fopen(path.c_str(), "rb+")) {
        std::fclose(probe);
        GTEST_SKIP() << "this process may write read-only files";
    }
    EXPECT_THROW(BinaryFile(path, "rb+"), FileError);
    EXPECT_NO_THROW(BinaryFile(path, "rb"));
}

TEST(BinaryFile, WriteToAFullDeviceIsReported) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    BinaryFile f("/dev/full", "wb");
    const std::string block(1 << 16, 'x');
    EXPECT_THROW(
        {
            f.write(block);
            f.flush();
        },
        FileError);
}

TEST(BinaryFile, NegativeSeekIsRefused) {
    TempDir dir;
    const std::string path = dir.file("n.bin");
    writeBytes(path, "abc");
    BinaryFile f(path, "rb");
    EXPECT_THROW(f.seek(-1), FileError);
}

}  // namespace
}  // namespace wright

namespace wright {
namespace {

class WriteFaultsTest : public ::testing::Test {
protected:
    void TearDown() override { WriteFaults::disarm(); }
};

TEST_F(WriteFaultsTest, FailsTheNthWriteSideCallOnce) {
    testing::TempDir dir;
    const std::string path = dir.file("f.bin");
    BinaryFile f(path, "wb");
    WriteFaults::failAt(2, ENOSPC);
    f.write(std::string("a"));
    try {
        f.write(std::string("b"));
        FAIL() << "the second write went through";
    } catch (const FileError& e) {
        EXPECT_EQ(e.operation(), "write");
        EXPECT_EQ(e.reason(), systemReason(ENOSPC));
    }
    f.write(std::string("c"));
    f.close();
    EXPECT_EQ(WriteFaults::calls(), 4);
    EXPECT_EQ(testing::readBytes(path), "ac");
}

TEST_F(WriteFaultsTest, StickyFailureKeepsFailingAndCloseStillReleasesTheFile) {
    testing::TempDir dir;
    BinaryFile f(dir.file("g.bin"), "wb");
    WriteFaults::failFrom(1, EIO);
    EXPECT_THROW(f.write(std::string("a")), FileError);
    EXPECT_THROW(f.flush(), FileError);
    EXPECT_THROW(f.close(), FileError);
    EXPECT_FALSE(f.isOpen());
}

TEST_F(WriteFaultsTest, DisarmedSeamCountsButNeverFails) {
    testing::TempDir dir;
    WriteFaults::disarm();
    BinaryFile f(dir.file("h.bin"), "wb");
    f.write(std::string("abc"));
    f.flush();
    f.close();
    EXPECT_EQ(WriteFaults::calls(), 3);
}

}  // namespace
}  // namespace wright
