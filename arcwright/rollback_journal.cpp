#include "arcwright/rollback_journal.h"

#include "fileio/little_endian.h"
#include "fileio/write_faults.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace wright::arcwright {
namespace {

constexpr std::string_view kMagic{"WRJRNL01", 8};
constexpr std::uint64_t kFnvBasis = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;
// Magic, size, fingerprint, field count ... checksum.
constexpr std::size_t kHeaderSize = 8 + 8 + 8 + 4;
constexpr std::size_t kChecksumSize = 8;
constexpr std::size_t kFieldHeaderSize = 8 + 4;

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t hash = kFnvBasis) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kFnvPrime;
    }
    return hash;
}

void appendU64LE(std::string& out, std::uint64_t v) {
    wright::appendU32LE(out, static_cast<std::uint32_t>(v));
    wright::appendU32LE(out, static_cast<std::uint32_t>(v >> 32));
}

std::uint64_t loadU64LE(const unsigned char* p) {
    return wright::loadU32LE(p) | (static_cast<std::uint64_t>(wright::loadU32LE(p + 4)) << 32);
}

[[noreturn]] void fail(const std::string& path, const std::string& operation, int error) {
    throw wright::FileError(path, operation, wright::systemReason(error));
}

// Every write-side call on the journal and the folder counts for the
// WriteFaults seam, as the archive's own writes and syncs do.
void countCall(const std::string& path, const char* operation) {
    if (const int error = wright::WriteFaults::next()) fail(path, operation, error);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The archive's first and last kFingerprintSpan bytes, those of the fields
// counted as zeros: the fields hold old, new or torn bytes by the time a
// journal is read, the rest of the archive what it held when it was written.
std::uint64_t fingerprint(ArchiveFile& archive, std::int64_t size, const std::vector<JournalField>& fields) {
    const std::int64_t firstEnd = std::min(size, kFingerprintSpan);
    const std::int64_t lastStart = std::max(firstEnd, size - kFingerprintSpan);
    std::uint64_t hash = kFnvBasis;
    for (const auto& [start, end] : {std::pair{std::int64_t{0}, firstEnd}, std::pair{lastStart, size}}) {
        std::string bytes = archive.readAt(start, static_cast<std::size_t>(end - start));
        for (const JournalField& f : fields) {
            const std::int64_t from = std::max(start, f.position);
            const std::int64_t to = std::min(end, f.position + static_cast<std::int64_t>(f.oldBytes.size()));
            if (from < to) std::fill(bytes.begin() + (from - start), bytes.begin() + (to - start), '\0');
        }
        hash = fnv1a(bytes, hash);
    }
    return hash;
}

struct Journal {
    std::int64_t archiveSize = 0;
    std::uint64_t fingerprint = 0;
    std::vector<JournalField> fields;
};

std::string encode(const Journal& journal) {
    std::string out(kMagic);
    appendU64LE(out, static_cast<std::uint64_t>(journal.archiveSize));
    appendU64LE(out, journal.fingerprint);
    wright::appendU32LE(out, static_cast<std::uint32_t>(journal.fields.size()));
    for (const JournalField& f : journal.fields) {
        appendU64LE(out, static_cast<std::uint64_t>(f.position));
        wright::appendU32LE(out, static_cast<std::uint32_t>(f.oldBytes.size()));
        out += f.oldBytes;
        out += f.newBytes;
    }
    appendU64LE(out, fnv1a(out));
    return out;
}

// The journal, or nothing when it is torn: cut short, or not the bytes its
// checksum was made of.
std::optional<Journal> decode(std::string_view bytes) {
    if (bytes.size() < kHeaderSize + kChecksumSize) return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t bodySize = bytes.size() - kChecksumSize;
    if (loadU64LE(p + bodySize) != fnv1a(bytes.substr(0, bodySize))) return std::nullopt;
    if (bytes.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    Journal journal;
    journal.archiveSize = static_cast<std::int64_t>(loadU64LE(p + 8));
    journal.fingerprint = loadU64LE(p + 16);
    const std::uint32_t count = wright::loadU32LE(p + 24);
    std::size_t at = kHeaderSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bodySize - at < kFieldHeaderSize) return std::nullopt;
        JournalField f;
        f.position = static_cast<std::int64_t>(loadU64LE(p + at));
        const std::uint32_t length = wright::loadU32LE(p + at + 8);
        at += kFieldHeaderSize;
        if ((bodySize - at) / 2 < length) return std::nullopt;
        f.oldBytes = std::string(bytes.substr(at, length));
        f.newBytes = std::string(bytes.substr(at + length, length));
        at += 2 * static_cast<std::size_t>(length);
        journal.fields.push_back(std::move(f));
    }
    if (at != bodySize) return std::nullopt;
    return journal;
}

// Why the journal cannot be this archive's, or nothing when it is.
std::optional<std::string> identityProblem(ArchiveFile& archive, const Journal& journal) {
    const std::int64_t size = archive.size();
    if (size != journal.archiveSize)
        return "it was written for a file of " + std::to_string(journal.archiveSize) + " bytes; this one holds " +
               std::to_string(size);
    for (const JournalField& f : journal.fields)
        if (f.position < 0 || f.position > size - static_cast<std::int64_t>(f.oldBytes.size()))
            return "it names bytes at " + std::to_string(f.position) + ", beyond the end of the file";
    if (fingerprint(archive, size, journal.fields) != journal.fingerprint)
        return "the file's first and last bytes are not those it was written for";
    // A field torn by a power cut holds some old and some new bytes; a field
    // written twice in one save may also hold the other write's new bytes.
    for (const JournalField& f : journal.fields) {
        const std::string now = archive.readAt(f.position, f.oldBytes.size());
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] == f.oldBytes[i] || now[i] == f.newBytes[i]) continue;
            const std::int64_t at = f.position + static_cast<std::int64_t>(i);
            const auto wroteIt = [&](const JournalField& g) {
                const std::int64_t k = at - g.position;
                return k >= 0 && k < static_cast<std::int64_t>(g.newBytes.size()) &&
                       g.newBytes[static_cast<std::size_t>(k)] == now[i];
            };
            if (std::none_of(journal.fields.begin(), journal.fields.end(), wroteIt))
                return "the byte at " + std::to_string(at) +
                       " is neither the one it held before the save nor the one the save wrote";
        }
    }
    return std::nullopt;
}

// The journal's bytes, or nothing when there is none.
std::optional<std::string> readJournal(const std::string& archivePath) {
    const std::string path = journalPath(archivePath);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        fail(path, "open", errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) fail(path, "stat", errno);
    if (!S_ISREG(info.st_mode)) throw wright::FileError(path, "read", "it is not a plain file");
    if (info.st_size > kJournalSizeLimit)
        throw wright::FileError(archivePath, "open",
                                path + " holds " + std::to_string(info.st_size) +
                                    " bytes, more than any journal of a save: it was not left by this program; move it "
                                    "away to open this file");
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) fail(path, "read", errno);
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace

std::string journalPath(const std::string& archivePath) {
    return archivePath + kJournalSuffix;
}

bool journalExists(const std::string& archivePath) {
    struct stat info {};
    // A journal that cannot even be looked at counts as there: reading it
    // then says why.
    return ::lstat(journalPath(archivePath).c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

void syncFolder(const std::string& path) {
    const std::string folder = folderOf(path);
    countCall(folder, "sync");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) fail(folder, "sync", errno);
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    if (error != 0) fail(folder, "sync", error);
}

void unlinkJournal(const std::string& archivePath) {
    const std::string path = journalPath(archivePath);
    countCall(path, "remove");
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) fail(path, "remove", errno);
}

void writeJournal(ArchiveFile& archive, const std::vector<JournalField>& fields) {
    Journal journal;
    journal.archiveSize = archive.size();
    journal.fingerprint = fingerprint(archive, journal.archiveSize, fields);
    journal.fields = fields;
    const std::string bytes = encode(journal);

    const std::string path = journalPath(archive.path());
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            throw wright::FileError(path, "create",
                                    "the journal of an unfinished save is there; close the file and open it again to "
                                    "put back the bytes it keeps");
        fail(path, "create", errno);
    }
    try {
        countCall(path, "write");
        std::size_t put = 0;
        while (put < bytes.size()) {
            const ssize_t w = ::write(fd, bytes.data() + put, bytes.size() - put);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) fail(path, "write", w < 0 ? errno : EIO);
            put += static_cast<std::size_t>(w);
        }
        countCall(path, "sync");
        if (::fsync(fd) != 0 && errno != EINVAL) fail(path, "sync", errno);
        const int closing = fd;
        fd = -1;
        if (::close(closing) != 0) fail(path, "close", errno);
        syncFolder(path);
    } catch (...) {
        // The archive is untouched: a journal begun is of no use to anyone.
        if (fd >= 0) ::close(fd);
        ::unlink(path.c_str());
        throw;
    }
}

std::optional<std::string> rollBackUnfinishedSave(ArchiveFile& archive) {
    const std::string path = journalPath(archive.path());
    const std::optional<std::string> bytes = readJournal(archive.path());
    if (!bytes) return std::nullopt;
    const std::optional<Journal> journal = decode(*bytes);
    if (!journal) {
        // Torn before it was whole, so before the save's first write: the
        // archive holds its old bytes, and the journal none worth keeping.
        unlinkJournal(archive.path());
        syncFolder(path);
        return std::nullopt;
    }
    if (const std::optional<std::string> why = identityProblem(archive, *journal))
        throw wright::FileError(archive.path(), "open",
                                path + " was left by a save into another file (" + *why +
                                    "); it is left as it is: move it away to open this file");
    try {
        for (auto f = journal->fields.rbegin(); f != journal->fields.rend(); ++f)
            archive.writeAt(f->position, f->oldBytes);
        archive.flush();
    } catch (const wright::FileError& error) {
        throw wright::FileError(archive.path(), "open",
                                "putting back the bytes that " + path + " keeps of an unfinished save failed: " +
                                    error.what());
    }
    try {
        unlinkJournal(archive.path());
        syncFolder(path);
    } catch (const wright::FileError& error) {
        throw wright::FileError(archive.path(), "open",
                                "the bytes that " + path +
                                    " keeps of an unfinished save were put back, but the journal cannot be removed: " +
                                    error.what());
    }
    return archive.path() + ": an unfinished save was rolled back from " + path + ".";
}

}  // namespace wright::arcwright
