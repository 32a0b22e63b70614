#include "arcwright/archive_file.h"

#include "arcwright/rollback_journal.h"
#include "fileio/file_writer.h"
#include "fileio/write_faults.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wright::arcwright {

namespace {

bool refusedForWriting(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

bool sameFile(int a, int b) {
    struct stat x {}, y {};
    return ::fstat(a, &x) == 0 && ::fstat(b, &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

}  // namespace

ArchiveFile::ArchiveFile(const std::string& path, Access access) : path_(path) {
    const auto refuseWithJournal = [&](const std::string& reason) {
        if (access == Access::ReadWrite && journalExists(path))
            throw wright::FileError(path, "open",
                                    reason + "; " + journalPath(path) +
                                        " keeps the bytes of an unfinished save, which only a writable opening can "
                                        "put back: make the file writable and open it once");
    };
    // A file without write permission bits is refused for writing by every
    // account, root included, as the whole-file writer refuses it.
    struct stat before {};
    if (access == Access::ReadWrite && ::stat(path.c_str(), &before) == 0) {
        try {
            wright::refuseReadOnly(path, before, "open");
        } catch (const wright::ReadOnlyFileError& refusal) {
            refuseWithJournal(refusal.reason());
            throw;
        }
    }
    fd_ = ::open(path.c_str(), (access == Access::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        if (refusedForWriting(error)) refuseWithJournal(wright::systemReason(error));
        fail("open", error);
    }
    // An archive is a plain file: a device or a pipe has no fixed positions.
    struct stat info {};
    const int error = ::fstat(fd_, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EINVAL;
    try {
        if (error != 0) fail("open", error);
        recoverUnfinishedSave(access);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

void ArchiveFile::recoverUnfinishedSave(Access access) {
    if (!journalExists(path_)) return;
    if (access == Access::ReadOnly) {
        // Reading needs the old bytes back as much as writing does.
        ArchiveFile writable(path_, Access::ReadWrite);
        if (!sameFile(fd_, writable.fd_)) throw wright::FileError(path_, "open", "the file was replaced while it was opened");
        recoveryNote_ = writable.recoveryNote_;
        writable.close();
        return;
    }
    lock();
    try {
        recoveryNote_ = rollBackUnfinishedSave(*this);
    } catch (...) {
        unlock();
        throw;
    }
    unlock();
}

ArchiveFile::~ArchiveFile() {
    if (fd_ >= 0) ::close(fd_);
}

void ArchiveFile::fail(const std::string& operation, int error) const {
    throw wright::FileError(path_, operation, error);
}

int ArchiveFile::openFd(const char* operation) const {
    if (fd_ < 0) fail(operation, EBADF);
    return fd_;
}

std::int64_t ArchiveFile::size() {
    struct stat info {};
    if (::fstat(openFd("stat"), &info) != 0) fail("stat", errno);
    return info.st_size;
}

std::size_t ArchiveFile::readSomeAt(std::int64_t position, char* buffer, std::size_t n) {
    const int fd = openFd("read");
    if (position < 0) fail("read", EINVAL);
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, buffer + got, n - got, static_cast<off_t>(position + static_cast<std::int64_t>(got)));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) fail("read", errno);
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}

std::string ArchiveFile::readAt(std::int64_t position, std::size_t n) {
    std::string bytes(n, '\0');
    if (readSomeAt(position, bytes.data(), n) != n) throw wright::FileError(path_, "read", "unexpected end of file");
    return bytes;
}

void ArchiveFile::writeAt(std::int64_t position, std::string_view bytes) {
    const int fd = openFd("write");
    if (position < 0) fail("write", EINVAL);
    if (hook_) hook_(position, bytes.size());
    if (const int error = wright::WriteFaults::next()) fail("write", error);
    std::size_t put = 0;
    while (put < bytes.size()) {
        const ssize_t w = ::pwrite(fd, bytes.data() + put, bytes.size() - put,
                                   static_cast<off_t>(position + static_cast<std::int64_t>(put)));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) fail("write", w < 0 ? errno : EIO);
        put += static_cast<std::size_t>(w);
    }
}

void ArchiveFile::checkStillAtPath() const {
    struct stat open {}, named {};
    if (::fstat(openFd("stat"), &open) != 0) fail("stat", errno);
    if (::stat(path_.c_str(), &named) != 0) {
        if (errno == ENOENT) throw wright::FileError(path_, "write", "the file was removed since it was opened");
        fail("stat", errno);
    }
    if (open.st_dev != named.st_dev || open.st_ino != named.st_ino)
        throw wright::FileError(path_, "write", "the file was replaced since it was opened");
}

void ArchiveFile::flush() {
    if (const int error = wright::WriteFaults::next()) fail("sync", error);
    if (::fdatasync(openFd("sync")) != 0 && errno != EINVAL && errno != EROFS) fail("sync", errno);
}

void ArchiveFile::lock() {
    const int fd = openFd("lock");
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK)
            throw wright::FileError(path_, "lock", "another program is saving into it just now");
        if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP) return;
        fail("lock", errno);
    }
}

void ArchiveFile::unlock() {
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
}

void ArchiveFile::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("close", errno);
}

}  // namespace wright::arcwright
