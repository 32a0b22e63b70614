#pragma once
// An in-place save replaces fields of an archive with bytes of the same
// length. It keeps the bytes each field held, so that when a write fails the
// fields already written get their old bytes back: a failed save leaves the
// archive as it was. The data is flushed to the disk before the save returns,
// so a completion line shown afterwards is true.

#include "arcwright/archive_file.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace arcwright {

struct FieldPatch {
    std::int64_t position = 0;
    std::string bytes;
};

class SaveError : public std::runtime_error {
public:
    explicit SaveError(const std::string& message) : std::runtime_error(message) {}
};

// Writes every patch in order and flushes. `between` runs after each patch
// (the dungeon save lets the window process its messages there). On a failing
// read, write or flush, the fields written so far are restored and flushed,
// and SaveError says what failed and whether the restore succeeded. Nothing
// is written when the file's path no longer names the open file.
void writePatches(ArchiveFile& file, const std::vector<FieldPatch>& patches,
                  const std::function<void()>& between = {});

}  // namespace arcwright
