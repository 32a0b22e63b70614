#include "fileio/replacement_file.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace wright {

ReplacementFile::ReplacementFile(const std::string& path) : path_(path) {
    for (int attempt = 0;; ++attempt) {
        temp_ = path + ".part" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        try {
            file_.emplace(temp_, "wbx");
            return;
        } catch (const FileError& error) {
            if (attempt >= 100 || error.reason() != systemReason(EEXIST))
                throw FileError(path, "create", error.reason());
        }
    }
}

ReplacementFile::~ReplacementFile() {
    if (done_) return;
    file_.reset();
    std::remove(temp_.c_str());
}

void ReplacementFile::commit(std::optional<mode_t> mode) {
    file_->flush();
    file_->close();
    if (mode && ::chmod(temp_.c_str(), *mode) != 0) throw FileError(path_, "chmod", systemReason(errno));
    if (std::rename(temp_.c_str(), path_.c_str()) != 0) throw FileError(path_, "rename", systemReason(errno));
    done_ = true;
}

}  // namespace wright
