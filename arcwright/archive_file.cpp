#include "arcwright/archive_file.h"

namespace arcwright {

ArchiveFile::ArchiveFile(const std::string& path) : file_(path, "rb+") {}

std::int64_t ArchiveFile::size() {
    return file_.size();
}

std::string ArchiveFile::readAt(std::int64_t position, std::size_t n) {
    std::string bytes(n, '\0');
    file_.seek(position);
    file_.readExact(bytes.data(), n);
    return bytes;
}

std::size_t ArchiveFile::readSomeAt(std::int64_t position, char* buffer, std::size_t n) {
    file_.seek(position);
    return file_.readSome(buffer, n);
}

void ArchiveFile::writeAt(std::int64_t position, std::string_view bytes) {
    if (hook_) hook_(position, bytes.size());
    file_.seek(position);
    file_.write(bytes.data(), bytes.size());
}

}  // namespace arcwright
