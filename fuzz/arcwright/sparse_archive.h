#pragma once
// A map archive built for one fuzz input: a sparse file that reaches the end
// of the directory, with the directory and a few runs of record bytes written
// at their places. It lies in the process's scratch folder under /dev/shm, so
// the 22 MB of the archive cost only the pages that are written.

#include "arcwright/maps_archive.h"
#include "fileio/little_endian.h"
#include "fuzz/scratch_folder.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace wright::arcwright::fuzzing {

using wright::fuzzing::scratchPath;

// One directory entry as the archive stores it.
inline std::string directoryEntry(std::string_view name, std::uint16_t field, std::int32_t size) {
    std::string entry(kDirectoryEntrySize, '\0');
    entry.replace(0, std::min(name.size(), kDirectoryNameSize), name.substr(0, kDirectoryNameSize));
    auto* p = reinterpret_cast<unsigned char*>(entry.data());
    wright::storeU16LE(p + kDirectoryNameSize, field);
    wright::storeI32LE(p + kDirectoryNameSize + 2, size);
    return entry;
}

class SparseFile {
public:
    // A file of `length` bytes, all zero, replacing the one before.
    SparseFile(std::string path, std::int64_t length) : path_(std::move(path)) {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(length)) != 0) std::abort();
    }
    ~SparseFile() { ::close(fd_); }
    SparseFile(const SparseFile&) = delete;
    SparseFile& operator=(const SparseFile&) = delete;

    // Bytes at a position; what would reach past `limit` is cut there.
    void put(std::int64_t position, std::string_view bytes, std::int64_t limit) {
        if (position < 0 || position >= limit) return;
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(bytes.size()), limit - position));
        if (::pwrite(fd_, bytes.data(), n, static_cast<off_t>(position)) != static_cast<ssize_t>(n)) std::abort();
    }
    std::string get(std::int64_t position, std::size_t n) const {
        std::string bytes(n, '\0');
        const ssize_t got = ::pread(fd_, bytes.data(), n, static_cast<off_t>(position));
        bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        return bytes;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

// Takes fields off the front of a fuzz input; a field past its end reads as zeros.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::int32_t i32() {
        unsigned char b[4] = {byte(), byte(), byte(), byte()};
        return wright::loadI32LE(b);
    }
    std::string_view take(std::size_t n) {
        const std::string_view part = rest_.substr(0, n);
        rest_.remove_prefix(part.size());
        return part;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace wright::arcwright::fuzzing
