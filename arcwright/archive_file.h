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
//
// Opening also finishes what a save left unfinished: when the archive's
// rollback journal is there, its old bytes are put back first (through a
// writable opening even when the caller asked for reading only), and
// recoveryNote() says so.

#include "fileio/binary_file.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace wright::arcwright {

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

    // Opens an existing file for reading and writing (or only reading) and
    // rolls back an unfinished save; throws wright::FileError when it cannot
    // (a journal of another file, one that a read-only file cannot take
    // back, another program saving into the file just now).
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

    // An advisory lock held for the length of a save, and by an opening that
    // rolls one back, so that neither runs while another program saves into
    // the same file. Throws FileError when another program holds it; a file
    // system without locks goes on without.
    void lock();
    void unlock();

    // The line that tells that opening rolled back an unfinished save.
    const std::optional<std::string>& recoveryNote() const { return recoveryNote_; }

    void setWriteHook(WriteHook hook) { hook_ = std::move(hook); }

private:
    [[noreturn]] void fail(const std::string& operation, int error) const;
    int openFd(const char* operation) const;
    void recoverUnfinishedSave(Access access);

    std::string path_;
    int fd_ = -1;
    WriteHook hook_;
    std::optional<std::string> recoveryNote_;
};

}  // namespace wright::arcwright
