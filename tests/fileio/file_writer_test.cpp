// The file writer over every kind of target, and a failure at each of its
// steps: the target keeps its old bytes and nothing is left beside it.

#include "fileio/file_writer.h"
#include "fileio/write_faults.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace wright {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Each kind of target the writer is given, what it must find afterwards.
struct TargetCase {
    const char* name;
    // Makes the target in `dir`; returns the path to write.
    std::function<std::string(const TempDir& dir)> make;
    // Checks what the folder holds after "new bytes" was written.
    std::function<void(const TempDir& dir)> check;
};

const TargetCase kTargets[] = {
    {"NewFile",
     [](const TempDir& d) { return d.file("new.txt"); },
     [](const TempDir& d) {
         EXPECT_EQ(readBytes(d.file("new.txt")), "new bytes");
         EXPECT_EQ(namesIn(d.path()), std::vector<std::string>{"new.txt"});
     }},
    {"RegularFileKeepsItsMode",
     [](const TempDir& d) {
         writeBytes(d.file("old.txt"), "old bytes, longer than the new");
         ::chmod(d.file("old.txt").c_str(), 0640);
         return d.file("old.txt");
     },
     [](const TempDir& d) {
         EXPECT_EQ(readBytes(d.file("old.txt")), "new bytes");
         EXPECT_EQ(modeOf(d.file("old.txt")), 0640u);
         EXPECT_EQ(namesIn(d.path()), std::vector<std::string>{"old.txt"});
     }},
    {"SymlinkIsWrittenThrough",
     [](const TempDir& d) {
         fs::create_directory(d.file("real"));
         writeBytes(d.file("real/file.txt"), "old");
         fs::create_symlink("real/file.txt", d.file("link.txt"));
         return d.file("link.txt");
     },
     [](const TempDir& d) {
         EXPECT_TRUE(fs::is_symlink(d.file("link.txt")));
         EXPECT_EQ(fs::read_symlink(d.file("link.txt")), "real/file.txt");
         EXPECT_EQ(readBytes(d.file("real/file.txt")), "new bytes");
         EXPECT_EQ(namesIn(d.file("real")), std::vector<std::string>{"file.txt"});
     }},
    {"DanglingSymlinkCreatesItsTarget",
     [](const TempDir& d) {
         fs::create_symlink("made.txt", d.file("link.txt"));
         return d.file("link.txt");
     },
     [](const TempDir& d) {
         EXPECT_TRUE(fs::is_symlink(d.file("link.txt")));
         EXPECT_EQ(readBytes(d.file("made.txt")), "new bytes");
     }},
    {"DeviceIsWrittenDirectly",
     [](const TempDir&) { return std::string("/dev/null"); },
     [](const TempDir&) { EXPECT_TRUE(fs::is_character_file("/dev/null")); }},
};

class FileWriterTargets : public ::testing::TestWithParam<TargetCase> {};

TEST_P(FileWriterTargets, WritesTheTargetAsItsKindWants) {
    TempDir dir;
    const std::string target = GetParam().make(dir);
    writeWholeFile(target, "new bytes");
    GetParam().check(dir);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FileWriterTargets, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileWriter, AFifoIsWrittenDirectlyAndNeverReplaced) {
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads it: refused at once rather than waiting.
    try {
        writeWholeFile(fifo, "lost");
        ADD_FAILURE() << "wrote into a FIFO nobody reads";
    } catch (const FileError& error) {
        EXPECT_EQ(error.errorNumber(), ENXIO) << error.what();
    }
    std::string got;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY | O_CLOEXEC);
        char chunk[256];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, chunk, sizeof chunk)) > 0;) got.append(chunk, static_cast<std::size_t>(n));
        if (fd >= 0) ::close(fd);
    });
    // The reader opens the FIFO first; the writer then finds it read.
    for (int tries = 0; tries < 200; ++tries) {
        try {
            writeWholeFile(fifo, "through the pipe");
            break;
        } catch (const FileError& error) {
            ASSERT_EQ(error.errorNumber(), ENXIO) << error.what();
            ::usleep(5000);
        }
    }
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"pipe"});
}

TEST(FileWriter, ADescriptorOfTheProcessIsWrittenInPlace) {
    // /dev/stdout and /dev/fd/N lead to /proc/self/fd/N: a stream the caller
    // holds. Replacing the file it names would cut the caller off from it.
    TempDir dir;
    const std::string path = dir.file("captured.txt");
    writeBytes(path, "");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    struct stat before {};
    ::fstat(fd, &before);
    writeWholeFile("/proc/self/fd/" + std::to_string(fd), "via the descriptor");
    ::close(fd);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced, not written";
    EXPECT_EQ(readBytes(path), "via the descriptor");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"captured.txt"});
}

struct RefusalCase {
    const char* name;
    std::function<std::string(const TempDir& dir)> make;
    const char* operation;
    const char* reason;  // empty: the system's reason for `error`
    int error;
};

const RefusalCase kRefusals[] = {
    {"ReadOnlyFile",
     [](const TempDir& d) {
         writeBytes(d.file("ro.txt"), "old");
         ::chmod(d.file("ro.txt").c_str(), 0444);
         return d.file("ro.txt");
     },
     "write", "the file is read-only", 0},
    {"ReadOnlyFolder",
     [](const TempDir& d) {
         fs::create_directory(d.file("ro"));
         writeBytes(d.file("ro/file.txt"), "old");
         ::chmod(d.file("ro").c_str(), 0555);
         return d.file("ro/file.txt");
     },
     "create", "its folder is read-only", 0},
    {"MissingFolder", [](const TempDir& d) { return d.file("missing/file.txt"); }, "create", "", ENOENT},
    {"Folder",
     [](const TempDir& d) {
         fs::create_directory(d.file("folder"));
         return d.file("folder");
     },
     "open", "", EISDIR},
};

class FileWriterRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FileWriterRefusals, NameTheTargetAndTheReasonAndChangeNothing) {
    TempDir dir;
    const std::string target = GetParam().make(dir);
    const auto before = namesIn(dir.path());
    const std::string oldBytes = fs::is_regular_file(target) ? readBytes(target) : "";
    try {
        writeWholeFile(target, "new bytes");
        ADD_FAILURE() << "written";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), target);
        EXPECT_EQ(error.operation(), GetParam().operation);
        if (*GetParam().reason) {
            EXPECT_EQ(error.reason(), GetParam().reason);
        } else {
            EXPECT_EQ(error.errorNumber(), GetParam().error) << error.what();
        }
    }
    EXPECT_EQ(namesIn(dir.path()), before);
    if (fs::is_regular_file(target)) {
        EXPECT_EQ(readBytes(target), oldBytes);
    }
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
        ::chmod(e.path().c_str(), e.is_directory() ? 0755 : 0644);
}

INSTANTIATE_TEST_SUITE_P(Targets, FileWriterRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

class FileWriterFaults : public ::testing::Test {
protected:
    void TearDown() override { WriteFaults::disarm(); }
};

TEST_F(FileWriterFaults, AFailureAtEveryStepKeepsTheTargetAndLeavesNothingBehind) {
    TempDir dir;
    const std::string target = dir.file("target.txt");
    writeBytes(target, "old bytes");
    WriteFaults::disarm();
    writeWholeFile(target, "new bytes");
    const int steps = WriteFaults::calls();
    const std::vector<std::string> expected{"create", "write", "sync", "close", "rename"};
    ASSERT_EQ(steps, static_cast<int>(expected.size()));
    for (int n = 1; n <= steps; ++n) {
        SCOPED_TRACE("step " + std::to_string(n));
        writeBytes(target, "old bytes");
        WriteFaults::failAt(n, ENOSPC);
        try {
            writeWholeFile(target, "new bytes");
            ADD_FAILURE() << "reported written";
        } catch (const FileError& error) {
            EXPECT_EQ(error.operation(), expected[static_cast<std::size_t>(n - 1)]);
            EXPECT_EQ(error.errorNumber(), ENOSPC);
            EXPECT_EQ(error.path(), target);
        }
        WriteFaults::disarm();
        EXPECT_EQ(readBytes(target), "old bytes");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"target.txt"});
    }
}

TEST(FileWriter, AStaleTemporaryFileIsRemovedAndALiveOneLeftAlone) {
    TempDir dir;
    const std::string target = dir.file("quest.qrc");
    writeBytes(target, "old");
    // What a writer killed mid-write leaves: its temporary file, unlocked.
    writeBytes(dir.file(".quest.qrc.wright-tmp"), "half a quest");
    // Another writer at work on the same target holds its name locked.
    writeBytes(dir.file(".quest.qrc.wright-tmp.1"), "in use");
    const int held = ::open(dir.file(".quest.qrc.wright-tmp.1").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);

    writeWholeFile(target, "new");
    EXPECT_EQ(readBytes(target), "new");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{".quest.qrc.wright-tmp.1", "quest.qrc"}));
    ::close(held);
    writeWholeFile(target, "newer");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"quest.qrc"});
}

TEST(WholeFiles, EveryTargetIsCheckedBeforeAnyIsWritten) {
    TempDir dir;
    writeBytes(dir.file("a.txt"), "old a");
    writeBytes(dir.file("b.txt"), "old b");
    ::chmod(dir.file("b.txt").c_str(), 0444);
    EXPECT_THROW(writeWholeFiles({{dir.file("a.txt"), "new a"}, {dir.file("b.txt"), "new b"}}), ReadOnlyFileError);
    EXPECT_EQ(readBytes(dir.file("a.txt")), "old a");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"}));

    ::chmod(dir.file("b.txt").c_str(), 0644);
    writeWholeFiles({{dir.file("a.txt"), "new a"}, {dir.file("b.txt"), "new b"}});
    EXPECT_EQ(readBytes(dir.file("a.txt")), "new a");
    EXPECT_EQ(readBytes(dir.file("b.txt")), "new b");
    EXPECT_EQ(modeOf(dir.file("b.txt")), 0644u);
}

}  // namespace
}  // namespace wright
