#include "arcwright/region_export.h"

#include "fileio/binary_file.h"
#include "fileio/file_writer.h"

#include <optional>
#include <vector>

namespace wright::arcwright {
namespace {

using wright::FileWriter;

// Copies of at most this many bytes at a time, so a large record is never
// held whole.
constexpr std::size_t kCopyChunk = 64 * 1024;

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

}  // namespace

std::string regionMapFileName(int region) {
    return "Region" + std::to_string(region) + ".map";
}

std::optional<std::string> unusableFileName(const std::string& name) {
    if (name.empty()) return "the record has no name";
    if (name == "." || name == "..") return "\"" + name + "\" names a folder";
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return "the name holds a path separator";
    return std::nullopt;
}

void exportRegionRecords(MapsArchive& archive, int region, const std::string& folder, const LogLine& log,
                         const NameView& view) {
    std::vector<char> chunk(kCopyChunk);
    for (int slot = 0; slot < kSlotsPerRegion; ++slot) {
        const DirectoryEntry& entry = archive.entry(region, slot);
        const std::string file = "Export Region Data File " + view(entry.name);
        log(file + "...");
        if (const auto why = unusableFileName(entry.name)) {
            log(file + " skipped: " + *why + ".");
            continue;
        }
        const std::int64_t size = entry.size > 0 ? entry.size : 0;
        std::int64_t copied = 0;
        try {
            FileWriter out(inFolder(folder, entry.name));
            while (copied < size) {
                const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(size - copied, kCopyChunk));
                const std::size_t got = archive.file().readSomeAt(entry.offset + copied, chunk.data(), want);
                out.write(std::string_view(chunk.data(), got));
                copied += static_cast<std::int64_t>(got);
                if (got < want) break;
            }
            out.commit();
        } catch (const wright::FileError& error) {
            // The file's path is the record's name, shown already: only
            // the failing step and the system's reason follow it.
            log(file + " failed: " + error.operation() + " failed: " + error.reason());
            continue;
        }
        if (copied < size)
            log(file + ": the archive holds only " + std::to_string(copied) + " of its " + std::to_string(size) +
                " bytes.");
        log(file + " completed. (" + std::to_string(copied) + " bytes)");
    }
}

}  // namespace wright::arcwright
