#pragma once
// The one way the project writes a whole file (a saved quest, an export, a
// catalogue, a picture).
//
// A regular file is replaced, never rewritten in place: the bytes go to a
// temporary file created exclusively beside the target, which is flushed,
// synced and closed, given the target's permission bits (and its owner,
// where the system allows), renamed over the target; then the folder is
// synced. A failure at any step before the rename removes the temporary file
// and leaves the target as it was. Every failure throws FileError naming the
// target, the step and the system's reason, with its errno.
//
// A symbolic link is written through: the file it leads to is replaced and
// the link stays a link. A target that exists and is not a regular file (a
// FIFO, a terminal, a device, standard output and the /dev/fd links to it)
// is written directly, without a temporary file, and never replaced.
//
// A regular target without any write permission bit is the user's "do not
// touch": it is refused as read-only for every account, root included, as
// the in-place saves refuse it (refuseReadOnly).
//
// Temporary files are named ".NAME.wright-tmp" (".NAME.wright-tmp.1" and so
// on while another writer holds that name) and stay locked while written, so
// one that a killed writer left behind is told apart from one in use; the
// next write of the same target removes it.

#include "fileio/binary_file.h"

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace wright {

// A target refused because it is read-only.
class ReadOnlyFileError : public FileError {
public:
    using FileError::FileError;
};

// Throws ReadOnlyFileError(path, operation, "the file is read-only") for an existing
// regular file that has no write permission bit, or that the system will not
// let this process write.
void refuseReadOnly(const std::string& path, const struct stat& status, const std::string& operation);

// The checks FileWriter makes of `target` before it creates anything: throws
// what its constructor would throw for a read-only target or a folder that
// refuses the temporary file (a folder without any write permission bit
// counts as read-only too), so that a caller can list every problem of
// several targets before writing any.
void checkReplaceable(const std::string& target);

class FileWriter {
public:
    // Prepares the write of `target`: checks it, removes a stale temporary
    // file of it, and creates the temporary file (or opens a direct target).
    explicit FileWriter(const std::string& target);

    ~FileWriter();
    FileWriter(FileWriter&& other) noexcept;
    FileWriter& operator=(FileWriter&&) = delete;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    const std::string& target() const { return target_; }
    // Whether the target is replaced by rename (a regular file, or none yet).
    bool replaces() const { return replaces_; }

    void write(std::string_view bytes);

    // Writes what is buffered, syncs the file to disk (unless the caller
    // syncs the whole file system itself, see writeWholeFiles) and closes it.
    enum class Sync { File, Deferred };
    void finish(Sync sync = Sync::File);
    // Renames the finished temporary file over the target, then syncs the
    // folder unless the caller does (best effort: the rename is done by then).
    enum class FolderSync { Now, Deferred };
    void publish(FolderSync folder = FolderSync::Now);
    void commit() {
        finish();
        publish();
    }

    // The folder holding the target's temporary file ("." when relative).
    const std::string& folder() const { return folder_; }

private:
    FileWriter() = default;
    void flushBuffer();
    void abandon() noexcept;
    [[noreturn]] void fail(const std::string& step, int error);

    std::string target_;     // as the caller named it, for messages
    std::string final_;      // the file replaced, links followed
    std::string folder_;
    std::string temporary_;  // empty when written directly
    std::string buffer_;
    int fd_ = -1;
    bool replaces_ = false;
    bool existed_ = false;
    struct stat old_ {};
    bool finished_ = false;
    bool published_ = false;
};

// Writes `bytes` as the whole file at `path`.
void writeWholeFile(const std::string& path, std::string_view bytes);

struct FileContents {
    std::string path;
    std::string bytes;
};

// Some of several files were replaced before a rename failed.
class PartialWriteError : public FileError {
public:
    PartialWriteError(const FileError& error, std::vector<std::string> replaced)
        : FileError(error), replaced_(std::move(replaced)) {}
    // The targets that already hold their new bytes.
    const std::vector<std::string>& replaced() const { return replaced_; }

private:
    std::vector<std::string> replaced_;
};

// Writes several files as one change: every target is checked and every
// temporary file written and on disk (one sync of the file system) before the
// first rename, so a failure up to then leaves every target as it was. A
// rename failing part way throws PartialWriteError; any earlier failure throws
// FileError.
void writeWholeFiles(const std::vector<FileContents>& files);

}  // namespace wright
