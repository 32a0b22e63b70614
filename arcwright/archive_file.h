#pragma once
// An archive edited in place: opened for reading and writing on an existing
// file, never created, truncated or grown. Every block access names its
// absolute position, so it goes straight to the system as one positioned
// read or write: a save of a hundred name fields is a hundred small writes,
// not a buffer refilled and flushed at each seek. flush() puts the written
// data on the disk (the size never changes, so the data is all there is to
// sync). All writes pass one hook first, so a test can make the n-th write
// fail and see that the archive comes back as it was; writes and syncs also
// count for the WriteFaults seam, as BinaryFile's do.

#include "fileio/binary_file.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace arcwright {

// A file that is not the archive the caller asked for; the message says why.
class ArchiveRejected : public std::runtime_error {
public:
    explicit ArchiveRejected(const std::string& why) : std::runtime_error(why) {}
};

// How an archive is opened: read-only for a tool that only dumps it, so a
// read-only file can still be read.
enum class Access { ReadWrite, ReadOnly };

class ArchiveFile {
public:
    // Called before each write with its position and length; it may throw
    // wright::FileError to stand for a failing write.
    using WriteHook = std::function<void(std::int64_t position, std::size_t size)>;

    // Opens an existing file for reading and writing (or only reading);
    // throws wright::FileError when it cannot.
    explicit ArchiveFile(const std::string& path, Access access = Access::ReadWrite);
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    const std::string& path() const { return path_; }
    bool isOpen() const { return fd_ >= 0; }
    std::int64_t size();

    // Exactly n bytes from position, or FileError.
    std::string readAt(std::int64_t position, std::size_t n);
    // Up to n bytes from position; fewer where the file ends.
    std::size_t readSomeAt(std::int64_t position, char* buffer, std::size_t n);
    void writeAt(std::int64_t position, std::string_view bytes);
    // Throws FileError when the path no longer names the file that was
    // opened (removed, or replaced by another file): a write would then go
    // to a file that nobody will see again.
    void checkStillAtPath() const;
    void flush();
    void close();

    void setWriteHook(WriteHook hook) { hook_ = std::move(hook); }

private:
    [[noreturn]] void fail(const std::string& operation, int error) const;
    int openFd(const char* operation) const;

    std::string path_;
    int fd_ = -1;
    WriteHook hook_;
};

}  // namespace arcwright
