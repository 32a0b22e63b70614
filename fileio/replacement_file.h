#pragma once
// A whole-file rewrite: a temporary file beside the target, renamed over it
// once complete and flushed, removed when not. The target keeps its old
// bytes until the rename, so a failed write leaves it as it was.

#include "fileio/binary_file.h"

#include <optional>
#include <string>
#include <sys/types.h>

namespace wright {

class ReplacementFile {
public:
    // Creates the temporary file; FileError names the target when the
    // folder refuses it.
    explicit ReplacementFile(const std::string& path);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    BinaryFile& file() { return *file_; }
    // Flushes, closes, gives the file `mode` when one is given, and renames
    // it over the target. Throws FileError; the temporary file is then
    // removed by the destructor.
    void commit(std::optional<mode_t> mode = std::nullopt);

private:
    std::string path_;
    std::string temp_;
    std::optional<BinaryFile> file_;
    bool done_ = false;
};

}  // namespace wright
