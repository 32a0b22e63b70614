#include "fileio/binary_file.h"

#include "fileio/write_faults.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace wright {

std::string systemReason(int error) {
    return std::strerror(error);
}

FileError::FileError(const std::string& path, const std::string& operation, const std::string& reason)
    : std::runtime_error(path + ": " + operation + " failed: " + reason),
      path_(path),
      operation_(operation),
      reason_(reason) {}

FileError::FileError(const std::string& path, const std::string& operation, int errorNumber)
    : FileError(path, operation, errorNumber ? systemReason(errorNumber) : std::string("unknown error")) {
    errorNumber_ = errorNumber;
}

BinaryFile::BinaryFile(const std::string& path, const char* mode) : path_(path) {
    errno = 0;
    file_ = std::fopen(path.c_str(), mode);
    if (!file_) fail("open", errno);
}

BinaryFile::~BinaryFile() {
    if (file_) std::fclose(file_);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : path_(std::move(other.path_)), file_(std::exchange(other.file_, nullptr)) {}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        if (file_) std::fclose(file_);
        path_ = std::move(other.path_);
        file_ = std::exchange(other.file_, nullptr);
    }
    return *this;
}

void BinaryFile::fail(const std::string& operation, int error) const {
    throw FileError(path_, operation, error);
}

void BinaryFile::seek(std::int64_t position) {
    if (!file_) fail("seek", EBADF);
    if (position < 0) fail("seek", EINVAL);
    errno = 0;
    if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) fail("seek", errno);
}

std::int64_t BinaryFile::position() {
    if (!file_) fail("tell", EBADF);
    errno = 0;
    const off_t at = ftello(file_);
    if (at < 0) fail("tell", errno);
    return at;
}

std::int64_t BinaryFile::size() {
    const std::int64_t here = position();
    errno = 0;
    if (fseeko(file_, 0, SEEK_END) != 0) fail("seek", errno);
    const std::int64_t end = position();
    seek(here);
    return end;
}

std::size_t BinaryFile::readSome(void* buffer, std::size_t n) {
    if (!file_) fail("read", EBADF);
    if (n == 0) return 0;
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, n, file_);
    if (got < n && std::ferror(file_)) {
        const int error = errno;
        std::clearerr(file_);
        fail("read", error);
    }
    return got;
}

void BinaryFile::readExact(void* buffer, std::size_t n) {
    if (readSome(buffer, n) != n) throw FileError(path_, "read", "unexpected end of file");
}

void BinaryFile::write(const void* buffer, std::size_t n) {
    if (!file_) fail("write", EBADF);
    if (n == 0) return;
    if (const int injected = WriteFaults::next()) fail("write", injected);
    errno = 0;
    if (std::fwrite(buffer, 1, n, file_) != n) {
        const int error = errno;
        std::clearerr(file_);
        fail("write", error);
    }
}

void BinaryFile::flush() {
    if (!file_) fail("flush", EBADF);
    if (const int injected = WriteFaults::next()) fail("flush", injected);
    errno = 0;
    if (std::fflush(file_) != 0) fail("flush", errno);
    errno = 0;
    if (::fsync(fileno(file_)) != 0 && errno != EINVAL && errno != EROFS) fail("sync", errno);
}

void BinaryFile::close() {
    if (!file_) return;
    std::FILE* f = std::exchange(file_, nullptr);
    const int injected = WriteFaults::next();
    errno = 0;
    const bool closed = std::fclose(f) == 0;
    if (injected) fail("close", injected);
    if (!closed) fail("close", errno);
}

}  // namespace wright
