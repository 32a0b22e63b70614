#pragma once
// An archive edited in place: opened for reading and writing on an existing
// file, never created, truncated or grown. Every block access names its
// absolute position. All writes pass one hook first, so a test can make the
// n-th write fail and see that the archive comes back as it was.

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

class ArchiveFile {
public:
    // Called before each write with its position and length; it may throw
    // wright::FileError to stand for a failing write.
    using WriteHook = std::function<void(std::int64_t position, std::size_t size)>;

    // Opens with "rb+"; throws wright::FileError when the file cannot be opened
    // for reading and writing.
    explicit ArchiveFile(const std::string& path);

    const std::string& path() const { return file_.path(); }
    bool isOpen() const { return file_.isOpen(); }
    std::int64_t size();

    // Exactly n bytes from position, or FileError.
    std::string readAt(std::int64_t position, std::size_t n);
    // Up to n bytes from position; fewer where the file ends.
    std::size_t readSomeAt(std::int64_t position, char* buffer, std::size_t n);
    void writeAt(std::int64_t position, std::string_view bytes);
    void flush() { file_.flush(); }
    void close() { file_.close(); }

    void setWriteHook(WriteHook hook) { hook_ = std::move(hook); }

private:
    wright::BinaryFile file_;
    WriteHook hook_;
};

}  // namespace arcwright
