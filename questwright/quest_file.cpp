#include "questwright/quest_file.h"

#include "fileio/binary_file.h"
#include "fileio/file_writer.h"
#include "fileio/little_endian.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace wright::questwright {
namespace {

struct Extent {
    std::uint16_t id;
    std::uint32_t offset;
    std::uint32_t size;
};

const unsigned char* bytesOf(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

std::string number(std::uint64_t n) {
    return std::to_string(n);
}

// The record count the header gives. A header below one entry gives no
// record: such a file has no last record to end at the file's end, and
// writing it back would leave the header alone, so it is refused, not taken
// as an empty quest.
std::size_t countFromHeader(std::string_view header) {
    const std::uint16_t indexLength = loadU16LE(bytesOf(header));
    if (indexLength < kIndexEntrySize)
        throw QuestFileError("its header gives an index of " + number(indexLength) + " bytes, less than one " +
                             number(kIndexEntrySize) + "-byte entry: the file holds no record");
    return indexLength / kIndexEntrySize;
}

void checkFileSize(std::uint64_t fileSize) {
    if (fileSize > kMaxQuestFileSize)
        throw QuestFileError("the file is " + number(fileSize) + " bytes long, more than a quest file can be (" +
                             number(kMaxQuestFileSize) + " bytes)");
    if (fileSize < kHeaderSize)
        throw QuestFileError("the file is " + number(fileSize) + " bytes long and ends inside its " +
                             number(kHeaderSize) + "-byte header");
}

void checkIndexFits(std::size_t count, std::uint64_t fileSize) {
    const std::uint64_t indexEnd = firstRecordOffset(count);
    if (indexEnd > fileSize)
        throw QuestFileError("its index of " + number(count) + " records ends at byte " + number(indexEnd) +
                             ", beyond the end of the file (" + number(fileSize) + " bytes)");
}

// Reads the index entries and checks every record's place before any record
// byte is taken.
std::vector<Extent> extentsFromIndex(std::string_view index, std::size_t count, std::uint64_t fileSize) {
    std::vector<Extent> extents(count);
    const std::uint32_t indexEnd = firstRecordOffset(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = bytesOf(index) + i * kIndexEntrySize;
        extents[i].id = loadU16LE(entry);
        extents[i].offset = loadU32LE(entry + 2);
        const std::uint32_t offset = extents[i].offset;
        if (offset < indexEnd)
            throw QuestFileError("record " + number(i) + " starts at byte " + number(offset) +
                                 ", before the end of the index (byte " + number(indexEnd) + ")");
        if (offset > fileSize)
            throw QuestFileError("record " + number(i) + " starts at byte " + number(offset) +
                                 ", beyond the end of the file (" + number(fileSize) + " bytes)");
        if (i > 0 && offset < extents[i - 1].offset)
            throw QuestFileError("the offsets are not ascending: record " + number(i) + " starts at byte " +
                                 number(offset) + ", before record " + number(i - 1) + " (byte " +
                                 number(extents[i - 1].offset) + ")");
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t end = i + 1 < count ? extents[i + 1].offset : fileSize;
        const std::uint64_t size = end - extents[i].offset;
        if (size > kMaxRecordSize)
            throw QuestFileError("record " + number(i) + " is " + number(size) + " bytes long, more than " +
                                 number(kMaxRecordSize));
        extents[i].size = static_cast<std::uint32_t>(size);
    }
    return extents;
}

// The records from the bytes that start at byte `base` of the file.
RecordTable recordsFrom(const std::vector<Extent>& extents, std::string_view body, std::uint32_t base) {
    RecordTable table(extents.size());
    for (std::size_t i = 0; i < extents.size(); ++i) {
        table[i].id = extents[i].id;
        table[i].offset = extents[i].offset;
        table[i].data.assign(body.substr(extents[i].offset - base, extents[i].size));
    }
    return table;
}

}  // namespace

RecordTable parseQuestFile(std::string_view image) {
    checkFileSize(image.size());
    const std::size_t count = countFromHeader(image);
    checkIndexFits(count, image.size());
    const auto extents = extentsFromIndex(image.substr(kHeaderSize), count, image.size());
    return recordsFrom(extents, image, 0);
}

RecordTable ReadQuestFile(const std::string& path, const ReadProgress& progress) {
    // The system opens a folder too, and gives it a length that is no file's.
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (!statusError && std::filesystem::is_directory(status)) throw QuestFileError("it is a folder");
    if (!statusError && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw QuestFileError("it is not a regular file");
    try {
        BinaryFile file(path, "rb");
        if (progress) progress(ReadStep::Header);
        const std::int64_t fileSize = file.size();
        checkFileSize(static_cast<std::uint64_t>(fileSize));
        std::string header(kHeaderSize, '\0');
        file.seek(0);
        file.readExact(header.data(), header.size());
        const std::size_t count = countFromHeader(header);
        checkIndexFits(count, static_cast<std::uint64_t>(fileSize));
        std::string index(count * kIndexEntrySize, '\0');
        file.readExact(index.data(), index.size());
        const auto extents = extentsFromIndex(index, count, static_cast<std::uint64_t>(fileSize));

        if (progress) progress(ReadStep::Records);
        // Every record lies between the first offset and the end of the file,
        // which the checks above bound by the records' sizes: one block read.
        const std::uint32_t base = extents.front().offset;
        std::string body(static_cast<std::size_t>(fileSize - base), '\0');
        file.seek(base);
        file.readExact(body.data(), body.size());
        file.close();
        return recordsFrom(extents, body, base);
    } catch (const FileError& error) {
        throw QuestFileError("cannot " + error.operation() + " the file: " + error.reason());
    }
}

void checkWritable(const RecordTable& table) {
    if (table.size() > kMaxRecordCount)
        throw QuestFileError("the quest has " + number(table.size()) + " records, more than its index can hold (" +
                             number(kMaxRecordCount) + ")");
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].data.size() > kMaxRecordSize)
            throw QuestFileError("record " + number(i) + " is " + number(table[i].data.size()) +
                                 " bytes long, more than " + number(kMaxRecordSize));
}

std::vector<std::uint32_t> writtenOffsets(const RecordTable& table) {
    std::vector<std::uint32_t> offsets(table.size());
    std::uint32_t running = firstRecordOffset(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        offsets[i] = running;
        running += table[i].size();
    }
    return offsets;
}

std::vector<std::uint32_t> WriteQuestFile(const RecordTable& table, ByteSink& sink, const WriteProgress& progress) {
    checkWritable(table);
    const std::vector<std::uint32_t> offsets = writtenOffsets(table);

    // Phase one: the header and the index.
    std::string index;
    index.reserve(firstRecordOffset(table.size()));
    appendU16LE(index, static_cast<std::uint16_t>(table.size() * kIndexEntrySize));
    for (std::size_t i = 0; i < table.size(); ++i) {
        appendU16LE(index, table[i].id);
        appendU32LE(index, offsets[i]);
    }
    sink.write(index);
    if (progress) progress(WriteStep::IndexWritten);

    // Phase two: the records, back to back in table order.
    for (const QRCRecord& record : table) sink.write(record.data);
    return offsets;
}

std::string questFileImage(const RecordTable& table) {
    struct StringSink final : ByteSink {
        std::string out;
        void write(std::string_view bytes) override { out.append(bytes); }
    } sink;
    WriteQuestFile(table, sink);
    return sink.out;
}

namespace {

class WriterSink final : public ByteSink {
public:
    explicit WriterSink(FileWriter& out) : out_(out) {}
    void write(std::string_view bytes) override { out_.write(bytes); }

private:
    FileWriter& out_;
};

}  // namespace

QuestFileError saveFailure(const FileError& error) {
    if (dynamic_cast<const ReadOnlyFileError*>(&error)) return QuestFileError(error.reason());
    const std::string& step = error.operation();
    const char* what = step == "create" || step == "open" ? "cannot create the file: "
                       : step == "sync"                   ? "cannot write the file to disk: "
                       : step == "rename" || step == "sync folder" ? "cannot save the file: "
                                                                   : "cannot write the file: ";
    return QuestFileError(what + error.reason());
}

void saveQuestFile(const std::string& path, RecordTable& table, const WriteProgress& progress) {
    checkWritable(table);
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) throw QuestFileError("it is not a regular file");
    std::vector<std::uint32_t> offsets;
    try {
        FileWriter out(path);
        if (progress) progress(WriteStep::Created);
        WriterSink sink(out);
        offsets = WriteQuestFile(table, sink, progress);
        out.commit();
    } catch (const FileError& error) {
        throw saveFailure(error);
    }
    for (std::size_t i = 0; i < table.size(); ++i) table[i].offset = offsets[i];
}

}  // namespace wright::questwright
