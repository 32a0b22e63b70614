#include "fileio/file_writer.h"

#include "fileio/write_faults.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace wright {
namespace {

// Bytes gathered before they go to the system in one write.
constexpr std::size_t kWriteChunk = 256 * 1024;
// Links followed from the named target to the file it leads to, as the system does.
constexpr int kMaxLinkHops = 40;
// Temporary names tried beside one target while other writers hold them.
constexpr int kMaxTemporaryNames = 8;

constexpr const char* kTemporaryMark = ".wright-tmp";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryName(const std::string& final, int n) {
    std::string name = folderOf(final) + "/." + baseOf(final) + kTemporaryMark;
    if (n > 0) name += "." + std::to_string(n);
    return name;
}

// The descriptors of a process are reached through /proc/PID/fd (/dev/stdout
// and /dev/fd lead there): such a target is a stream its process already
// holds, written directly. One of ours is written through that very
// descriptor, so that the bytes land where the program's own writes go (a
// shell's "> file" or ">> file" included); opening the link again would
// start at the file's beginning.
struct Resolved {
    std::string path;
    bool stream = false;             // a descriptor of some process, written directly
    std::optional<int> descriptor{};  // when it is one of ours: its number
};

// Whether `path` names a descriptor in a /proc/PID/fd folder, and which of ours.
bool descriptorLink(Resolved& r) {
    char resolved[PATH_MAX];
    if (!::realpath(folderOf(r.path).c_str(), resolved)) return false;
    const std::string folder = resolved;
    if (folder.rfind("/proc/", 0) != 0 || folder.size() < 3 || folder.compare(folder.size() - 3, 3, "/fd") != 0)
        return false;
    r.stream = true;
    const std::string name = baseOf(r.path);
    if (folder == "/proc/" + std::to_string(::getpid()) + "/fd" && !name.empty() && name.size() <= 9 &&
        name.find_first_not_of("0123456789") == std::string::npos)
        r.descriptor = std::stoi(name);
    return true;
}

// Follows symbolic links from `target` to the file they lead to, which may
// not exist yet (a dangling link is written through and creates it).
Resolved followLinks(const std::string& target) {
    Resolved r{target};
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        if (descriptorLink(r)) return r;
        struct stat link {};
        if (::lstat(r.path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return r;
        std::string value(PATH_MAX, '\0');
        const ssize_t n = ::readlink(r.path.c_str(), value.data(), value.size());
        if (n < 0) throw FileError(target, "open", errno);
        value.resize(static_cast<std::size_t>(n));
        r.path = (!value.empty() && value.front() == '/') ? value : folderOf(r.path) + "/" + value;
    }
    throw FileError(target, "open", ELOOP);
}

int injected() {
    return WriteFaults::next();
}

// Makes a rename durable. Best effort, as in SQLite: by then the file's own
// bytes are on disk and the rename is done, so a folder that cannot be synced
// (some file systems refuse it) does not turn the write into a failure.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

// Removes a temporary file of ours that no writer holds any more: its lock
// went with the process that made it.
void removeIfStale(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat held {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
        ::lstat(name.c_str(), &named) == 0 && held.st_ino == named.st_ino && held.st_dev == named.st_dev)
        ::unlink(name.c_str());
    ::close(fd);
}

}  // namespace

void refuseReadOnly(const std::string& path, const struct stat& status, const std::string& operation) {
    if (!S_ISREG(status.st_mode)) return;
    const bool noWriteBit = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (noWriteBit || (::access(path.c_str(), W_OK) != 0 && errno != ENOENT))
        throw ReadOnlyFileError(path, operation, "the file is read-only");
}

namespace {

struct Examined {
    Resolved resolved;
    bool exists = false;
    struct stat status {};
    bool direct() const { return resolved.stream || (exists && !S_ISREG(status.st_mode)); }
};

Examined examine(const std::string& target) {
    if (target.empty()) throw FileError(target, "open", ENOENT);
    Examined e{followLinks(target)};
    e.exists = ::stat(e.resolved.path.c_str(), &e.status) == 0;
    if (!e.exists && errno != ENOENT) throw FileError(target, "open", errno);
    if (e.exists && S_ISDIR(e.status.st_mode)) throw FileError(target, "open", EISDIR);
    if (e.direct()) return e;
    if (e.exists) refuseReadOnly(e.resolved.path, e.status, "write");
    const std::string folder = folderOf(e.resolved.path);
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0) throw FileError(target, "create", errno);
    if ((folderStatus.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw ReadOnlyFileError(target, "create", "its folder is read-only");
    if (::access(folder.c_str(), W_OK | X_OK) != 0) throw FileError(target, "create", errno);
    return e;
}

}  // namespace

void checkReplaceable(const std::string& target) {
    examine(target);
}

FileWriter::FileWriter(const std::string& target) : target_(target) {
    const Examined examined = examine(target);
    final_ = examined.resolved.path;
    folder_ = folderOf(final_);
    existed_ = examined.exists;

    if (examined.resolved.descriptor) {
        if (const int error = injected()) throw FileError(target, "open", error);
        fd_ = ::fcntl(*examined.resolved.descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) throw FileError(target, "open", errno);
        return;
    }
    if (examined.direct()) {
        if (const int error = injected()) throw FileError(target, "open", error);
        // Not blocking on a FIFO that nobody reads (the system then says so);
        // once open, writes wait for the reader as usual.
        fd_ = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) throw FileError(target, "open", errno);
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) < 0) fail("open", errno);
        return;
    }

    replaces_ = true;
    if (existed_) old_ = examined.status;
    for (int n = 0; n < kMaxTemporaryNames; ++n) removeIfStale(temporaryName(final_, n));
    for (int n = 0; n < kMaxTemporaryNames; ++n) {
        const std::string name = temporaryName(final_, n);
        if (const int error = injected()) throw FileError(target, "create", error);
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            if (errno == EEXIST) continue;  // another writer's, in use
            throw FileError(target, "create", errno);
        }
        temporary_ = name;
        // Held until the file is closed; tells a live writer's file from a stale one.
        ::flock(fd_, LOCK_EX | LOCK_NB);
        return;
    }
    throw FileError(target, "create", EEXIST);
}

FileWriter::~FileWriter() {
    abandon();
}

FileWriter::FileWriter(FileWriter&& other) noexcept
    : target_(std::move(other.target_)),
      final_(std::move(other.final_)),
      folder_(std::move(other.folder_)),
      temporary_(std::move(other.temporary_)),
      buffer_(std::move(other.buffer_)),
      fd_(std::exchange(other.fd_, -1)),
      replaces_(other.replaces_),
      existed_(other.existed_),
      old_(other.old_),
      finished_(other.finished_),
      published_(std::exchange(other.published_, true)) {
    other.temporary_.clear();
}

void FileWriter::abandon() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty() && !published_) ::unlink(temporary_.c_str());
    temporary_.clear();
}

void FileWriter::fail(const std::string& step, int error) {
    abandon();
    throw FileError(target_, step, error);
}

void FileWriter::write(std::string_view bytes) {
    if (fd_ < 0 || finished_) throw FileError(target_, "write", EBADF);
    buffer_.append(bytes);
    if (buffer_.size() >= kWriteChunk) flushBuffer();
}

void FileWriter::flushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        if (const int error = injected()) fail("write", error);
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("write", errno);
        }
        if (n == 0) fail("write", EIO);
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

void FileWriter::finish(Sync sync) {
    if (fd_ < 0 || finished_) throw FileError(target_, "write", EBADF);
    flushBuffer();
    if (!replaces_) {
        // A stream is not synced (a pipe or a terminal cannot be), only handed over whole.
        if (const int error = injected()) fail("close", error);
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 && errno != EINTR) fail("close", errno);
        finished_ = true;
        return;
    }
    if (existed_) {
        if (::fchmod(fd_, old_.st_mode & 07777) != 0) fail("chmod", errno);
        // A file rewritten by another account keeps its owner where the
        // system allows it; where not, the new file is the writer's.
        if ((old_.st_uid != ::geteuid() || old_.st_gid != ::getegid()) && ::fchown(fd_, old_.st_uid, old_.st_gid) != 0) {
            // Not ours to give away: the new file stays the writer's.
        }
    }
    if (sync == Sync::File) {
        if (const int error = injected()) fail("sync", error);
        if (::fsync(fd_) != 0) fail("sync", errno);
    }
    if (const int error = injected()) fail("close", error);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) fail("close", errno);
    finished_ = true;
}

void FileWriter::publish(FolderSync folder) {
    if (!finished_ || published_) throw FileError(target_, "rename", EBADF);
    if (!replaces_) {
        published_ = true;
        return;
    }
    if (const int error = injected()) fail("rename", error);
    if (::rename(temporary_.c_str(), final_.c_str()) != 0) fail("rename", errno);
    published_ = true;
    temporary_.clear();
    if (folder == FolderSync::Now) syncFolder(folder_);
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
    FileWriter out(path);
    out.write(bytes);
    out.commit();
}

void writeWholeFiles(const std::vector<FileContents>& files) {
    std::vector<FileWriter> writers;
    writers.reserve(files.size());
    // Every target is checked and its temporary file made before any is written.
    for (const FileContents& file : files) writers.emplace_back(file.path);

    // One sync of each file system holding them, rather than one per file.
    // The folder is opened before the files are written: the system then
    // reports to its sync every write-back error that happens meanwhile.
    struct FileSystem {
        std::string folder;
        int fd = -1;
    };
    std::map<dev_t, FileSystem> fileSystems;
    const auto closeAll = [&] {
        for (auto& [device, fs] : fileSystems)
            if (fs.fd >= 0) ::close(std::exchange(fs.fd, -1));
    };
    try {
        for (const FileWriter& w : writers) {
            struct stat status {};
            if (!w.replaces() || ::stat(w.folder().c_str(), &status) != 0 || fileSystems.count(status.st_dev)) continue;
            FileSystem& fs = fileSystems[status.st_dev];
            fs.folder = w.folder();
            fs.fd = ::open(fs.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fs.fd < 0) throw FileError(fs.folder, "sync", errno);
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            writers[i].write(files[i].bytes);
            writers[i].finish(FileWriter::Sync::Deferred);
        }
        for (auto& [device, fs] : fileSystems) {
            if (const int error = injected()) throw FileError(fs.folder, "sync", error);
            if (::syncfs(fs.fd) != 0) throw FileError(fs.folder, "sync", errno);
        }
    } catch (...) {
        closeAll();
        throw;
    }
    closeAll();

    std::vector<std::string> replaced;
    std::set<std::string> folders;
    for (FileWriter& w : writers) {
        try {
            w.publish(FileWriter::FolderSync::Deferred);
        } catch (const FileError& error) {
            if (replaced.empty()) throw;
            throw PartialWriteError(error, replaced);
        }
        replaced.push_back(w.target());
        if (w.replaces()) folders.insert(w.folder());
    }
    for (const std::string& folder : folders) syncFolder(folder);
}

}  // namespace wright
