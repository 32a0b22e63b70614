#include "arcwright/archive_file.h"

#include "fileio/file_writer.h"
#include "fileio/write_faults.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arcwright {

ArchiveFile::ArchiveFile(const std::string& path, Access access) : path_(path) {
    // A file without write permission bits is refused for writing by every
    // account, root included, as the whole-file writer refuses it.
    struct stat before {};
    if (access == Access::ReadWrite && ::stat(path.c_str(), &before) == 0) wright::refuseReadOnly(path, before, "open");
    fd_ = ::open(path.c_str(), (access == Access::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0) fail("open", errno);
    // An archive is a plain file: a device or a pipe has no fixed positions.
    struct stat info {};
    const int error = ::fstat(fd_, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EINVAL;
    if (error != 0) {
        ::close(fd_);
        fd_ = -1;
        fail("open", error);
    }
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

void ArchiveFile::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("close", errno);
}

}  // namespace arcwright
