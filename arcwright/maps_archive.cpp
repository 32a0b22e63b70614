#include "arcwright/maps_archive.h"

#include "fileio/little_endian.h"

namespace wright::arcwright {

RegionDirectory parseDirectory(std::string_view bytes) {
    RegionDirectory directory;  // every entry starts from its member initialisers
    std::int64_t offset = kFirstRecordOffset;
    for (int i = 0; i < kDirectoryEntryCount; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i * kDirectoryEntrySize;
        DirectoryEntry& entry = directory[i / kSlotsPerRegion][i % kSlotsPerRegion];
        const std::string_view name(reinterpret_cast<const char*>(p), kDirectoryNameSize);
        entry.name = std::string(name.substr(0, name.find('\0')));
        entry.field = wright::loadU16LE(p + kDirectoryNameSize);
        entry.size = wright::loadI32LE(p + kDirectoryNameSize + 2);
        entry.offset = offset;
        offset += entry.size;
    }
    return directory;
}

std::optional<std::string> directoryProblem(const RegionDirectory& directory) {
    for (int r = 0; r < kRegionCount; ++r) {
        for (int s = 0; s < kSlotsPerRegion; ++s) {
            const DirectoryEntry& e = directory[r][s];
            const std::string which = "the record " + e.name + " (region " + std::to_string(r) + ", slot " +
                                      std::to_string(s) + ")";
            if (e.size < 0) return which + " has the size " + std::to_string(e.size);
            if (e.offset < kFirstRecordOffset || e.offset + e.size > kMapsDirectoryOffset)
                return which + " runs from " + std::to_string(e.offset) + " to " + std::to_string(e.offset + e.size) +
                       ", past the directory at " + std::to_string(kMapsDirectoryOffset);
        }
    }
    return std::nullopt;
}

MapsArchive::MapsArchive(const std::string& path, Access access) : file_(path, access) {
    const std::int64_t size = file_.size();
    if (size < kMapsMinimumSize)
        throw ArchiveRejected("the file holds " + std::to_string(size) + " bytes, fewer than the " +
                              std::to_string(kMapsMinimumSize) + " that reach the end of the directory");
    directory_ = parseDirectory(file_.readAt(kMapsDirectoryOffset, kDirectorySize));
    if (const auto problem = directoryProblem(directory_)) throw ArchiveRejected(*problem);
}

std::string MapsArchive::readRecord(int region, int slot) {
    const DirectoryEntry& e = entry(region, slot);
    return file_.readAt(e.offset, static_cast<std::size_t>(e.size));
}

}  // namespace wright::arcwright
