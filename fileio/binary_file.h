#pragma once
// An owned std::FILE opened in binary mode. Every open, seek, read, write,
// flush and close is checked; a failure throws FileError, whose message names
// the file, the operation and the system's reason. The destructor closes a
// file that is still open without reporting: callers that write close()
// explicitly, so a failing close is seen.

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace wright {

class FileError : public std::runtime_error {
public:
    FileError(const std::string& path, const std::string& operation, const std::string& reason);
    // The system's failure: the reason is its text, and errorNumber() keeps it.
    FileError(const std::string& path, const std::string& operation, int errorNumber);

    const std::string& path() const { return path_; }
    const std::string& operation() const { return operation_; }
    const std::string& reason() const { return reason_; }
    // The errno of a failure the system reported, or 0.
    int errorNumber() const { return errorNumber_; }

private:
    std::string path_;
    std::string operation_;
    std::string reason_;
    int errorNumber_ = 0;
};

class BinaryFile {
public:
    // The C mode strings of the formats: "rb" to read, "rb+" to update an
    // existing file in place, "wb" / "wb+" to create or replace.
    BinaryFile(const std::string& path, const char* mode);
    ~BinaryFile();

    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    const std::string& path() const { return path_; }
    bool isOpen() const { return file_ != nullptr; }

    // Absolute position, as every block access of the formats starts with one.
    void seek(std::int64_t position);
    std::int64_t position();
    // The file's length; the position is left where it was.
    std::int64_t size();

    // Reads up to n bytes; a short count means the file ended. A read error throws.
    std::size_t readSome(void* buffer, std::size_t n);
    // Reads exactly n bytes or throws ("unexpected end of file").
    void readExact(void* buffer, std::size_t n);

    void write(const void* buffer, std::size_t n);
    void write(const std::string& bytes) { write(bytes.data(), bytes.size()); }
    // Pushes buffered data to the system and asks it to put the data on disk.
    void flush();
    void close();

private:
    [[noreturn]] void fail(const std::string& operation, int error) const;

    std::string path_;
    std::FILE* file_ = nullptr;
};

// The system's text for an errno value.
std::string systemReason(int error);

}  // namespace wright
